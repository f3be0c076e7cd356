#include "reports/ReptTLSA.h"

#include "model/Project.h"
#include "model/TextHelpers.h"
#include "reports/ReportFormat.h"

#include <array>
#include <string>

namespace corvalt {
namespace {

constexpr int kShade = 5;
constexpr int kMargin = 3;

// Page geometry, inches.
constexpr double kLeftEdge = 1.25;
constexpr double kRightMargin = 1.0;  // right edge = page width - this
constexpr double kFieldIndent = 0.25; // fields from the left edge
constexpr double kBorderTop = 1.5;
constexpr double kBorderBottomMargin = 1.0; // border bottom = page height - this
constexpr double kBorderGap = 0.05;         // between the two lines of the double border
constexpr double kTitleBaseline = 0.8;
constexpr double kRuleInset = 0.25; // rules end this far left of the right edge
constexpr double kAfterRule = 0.4;
constexpr double kBetweenExemptions = 0.25;
constexpr double kStatuteWidth = 1.4; // to 0.1 in short of the inner border
constexpr double kLabelGrowth = 0.15; // a question's cell takes this much of the gap after it

// A shaded field with a line on its left and below it.
TCellSpec ValueCell(double width, TJustify justify = TJustify::Left) {
    return {width, justify, kMargin, BoxLeft | BoxBottom, kShade};
}
// A cell without lines or shade.
TCellSpec Blank(double width) {
    return {width, TJustify::Left, kMargin, 0, 0};
}
// A shaded, boxed square for a mark.
TCellSpec CheckBox() {
    return {0.25, TJustify::Centre, kMargin, BoxAll, kShade};
}

// The mark of a box: "X" when ticked.
std::string Mark(bool ticked) {
    return ticked ? "X" : "";
}

// A value printed bold in its field (made smaller, and cut at last, when it is
// wider than the field's room).
TCellText Value(const QString& text) {
    return {text, true};
}

// The counties on one line: the line breaks (";") of the text become ", ".
QString OneLine(const std::string& text) {
    QStringList parts;
    const int count = CountFields(text, ';');
    for (int i = 1; i <= count; ++i) {
        const std::string part = GetField(text, i, ';');
        if (!part.empty()) parts << ReportText(part);
    }
    return parts.join(QStringLiteral(", "));
}

std::string Bold(const std::string& text) {
    return kMarkupBoldOn + text + kMarkupBoldOff;
}

} // namespace

TReptTLSA::TReptTLSA(TEmfProject& project) : TReport(project, nullptr) {}

void TReptTLSA::Prepare(TPageCanvas& canvas) {
    left_ = kLeftEdge;
    right_ = canvas.PageWidth() - kRightMargin;
    centre_ = left_ + (right_ - left_) / 2;
    fieldX_ = left_ + kFieldIndent;
}

void TReptTLSA::PrintBody() {
    TPageCanvas& canvas = Canvas();
    PrintBorderAndTitle();
    PrintNameFields();
    canvas.SetCursorY(canvas.CursorY() + 0.2);
    PrintRule();
    canvas.SetCursorY(canvas.CursorY() + kAfterRule);
    PrintExemptionTypes();
    PrintAttachments();
    PrintNotification();
    PrintNotesAndSignatures();
}

void TReptTLSA::PrintBorderAndTitle() {
    TPageCanvas& canvas = Canvas();
    const double bottom = canvas.PageHeight() - kBorderBottomMargin;
    canvas.SetBrush(Qt::black, Qt::SolidPattern);
    canvas.FrameRect(left_, kBorderTop, right_, bottom);
    canvas.FrameRect(left_ + kBorderGap, kBorderTop + kBorderGap, right_ - kBorderGap,
                     bottom - kBorderGap);
    SelectTablePen();

    canvas.SetCursorY(kTitleBaseline);
    canvas.SelectFont(kTahoma, 18);
    canvas.KeepLineTop();
    canvas.SetUnderline(true);
    canvas.PrintCentredAt(QStringLiteral("TLSA EXEMPTION NOTIFICATION"), centre_);
    canvas.NewLine();
    canvas.NewLine();

    canvas.SelectFont(kTahoma, 12);
    canvas.KeepLineTop();
    canvas.SetCursorY(canvas.CursorY() - 0.02);
    PrintFittedLines(ReportText(Project().FacilityName), left_, right_ - left_, 1,
                     TJustify::Centre);
    canvas.NewLine();
}

void TReptTLSA::PrintField(const std::vector<TCellSpec>& cells,
                           const std::vector<TCellText>& values, const QString& captions) {
    TPageCanvas& canvas = Canvas();
    canvas.SelectFont(kTahoma, 12);
    canvas.KeepLineTop();
    DefineCells(fieldX_, cells);
    PrintCells(values);
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
    std::vector<TCellSpec> captionCells;
    for (const TCellSpec& cell : cells)
        captionCells.push_back(Blank(cell.Width));
    DefineCells(fieldX_, captionCells);
    canvas.PrintTextLine(captions);
}

void TReptTLSA::PrintNameFields() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    const TCellSpec wide = ValueCell(5.8);
    PrintField({wide}, {Value(ReportText(project.Title))},
               QStringLiteral("\t  Name of Transmission Line/Substation"));
    canvas.NewLine();
    canvas.NewLine();

    const TCellSpec counties = ValueCell(4.0);
    const TCellSpec length = ValueCell(0.65, TJustify::Centre);
    const TCellSpec voltage = ValueCell(0.65, TJustify::Centre);
    const QString lengthText = FixedText(project.DisplayLineLength(), 1) + QLatin1Char(' ') +
                               QString::fromLatin1(project.LongLengthUnit());
    const QString voltageText = FixedText(project.VoltageClass, 0) + QStringLiteral(" kV");
    PrintField({counties, Blank(0.25), length, Blank(0.25), voltage},
               {Value(OneLine(project.Counties)),
                {QString(), true},
                Value(lengthText),
                {QString(), true},
                Value(voltageText)},
               QStringLiteral("\t  Counties\t\t  Length\t\t  Voltage"));
    canvas.NewLine();

    PrintField({wide},
               {Value(LongDateCommaAfterMonth(DateOfDayNumber(project.ConstructionDate)))},
               QStringLiteral("\t  Anticipated Construction Start Date"));
}

void TReptTLSA::PrintRule() {
    const double y = Canvas().CursorY();
    Canvas().FrameRect(fieldX_, y, right_ - kRuleInset, y);
}

// Five boxes, one per exemption type, marked from the project's flags.
void TReptTLSA::PrintExemptionTypes() {
    TPageCanvas& canvas = Canvas();
    const std::string& flags = Project().ExemptionFlags;
    const auto ticked = [&](std::size_t position) {
        return position < flags.size() && flags[position] != ' ';
    };
    canvas.SelectFont(kTahoma, 12);
    canvas.KeepLineTop();
    // The statute's cell reaches to the border's side, so that it holds it.
    DefineCells(fieldX_, {Blank(1.9), Blank(0.2), CheckBox(), Blank(0.2), Blank(1.5),
                          Blank(kStatuteWidth)});
    struct TType {
        const char* Name;
        const char* Statute;
    };
    constexpr std::array<TType, 5> kTypes = {{{"Less than 15 miles", "[403.524(d)]"},
                                              {"One County", "[403.524(d)]"},
                                              {"Existing ROW", "[403.524(c)]"},
                                              {"DRI Binding Letter", "[403.524(b)]"},
                                              {"DRI Dev. Order", "[403.524(a)]"}}};
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        const std::string label = i == 0 ? ";EXEMPTION TYPE:;;" : ";;;";
        PrintMarkupLine(label + Bold(Mark(ticked(i))) + ";;" + kTypes[i].Name + ";" +
                        kTypes[i].Statute);
        if (i == 0) {
            canvas.PrintTextLine(QStringLiteral("\t  per ch 403 F.S."));
        } else if (i + 1 < kTypes.size()) {
            canvas.SetCursorY(canvas.CursorY() + kBetweenExemptions);
        }
    }
}

// Two Yes/No questions; the mark goes in the box before "Yes" or before "No".
void TReptTLSA::PrintAttachments() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    // The questions take most of the gap before their boxes, which stay where
    // they are, so that "LOCATION MAP ATTACHED" fits in 12 points.
    DefineCells(fieldX_, {Blank(2.0 + kLabelGrowth), Blank(0.25 - kLabelGrowth), CheckBox(),
                          Blank(0.5), CheckBox(), Blank(0.5)});
    const auto question = [&](const char* label, bool yes) {
        PrintMarkupLine(std::string(";") + label + ";;" + Bold(Mark(yes)) + ";Yes" + kMarkupBoldOn +
                        ";" + Mark(!yes) + kMarkupBoldOff + ";No");
    };
    PrintRule();
    canvas.SetCursorY(canvas.CursorY() + kAfterRule);
    question("STRUCTURE PROFILE", project.StructureProfile);
    canvas.PrintTextLine(QStringLiteral("\tATTACHED"));
    PrintRule();
    canvas.SetCursorY(canvas.CursorY() + kAfterRule);
    question("LOCATION MAP ATTACHED", project.LocationMap);
    PrintRule();
}

// Three boxes, one marked by the project's notification; the explanation only
// with "Other".
void TReptTLSA::PrintNotification() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    // The first two choices' labels have the room of the explanation field,
    // which only the third line has.
    const TCellSpec explanation = ValueCell(2.5);
    // "EMF NOTIFICATION:" takes most of the gap before the boxes, which stay.
    const TCellSpec label = Blank(1.5 + kLabelGrowth);
    const TCellSpec gap = Blank(0.2 - kLabelGrowth);
    DefineCells(fieldX_, {label, gap, CheckBox(), Blank(0.15), Blank(1.0 + 0.15 + 2.5)});
    PrintRule();
    canvas.SetCursorY(canvas.CursorY() + kAfterRule);
    const int notification = project.Notification;
    PrintMarkupLine(";EMF NOTIFICATION:;;" + Bold(Mark(notification == 0)) +
                    ";;Previously Submitted");
    PrintMarkupLine(";;;" + Bold(Mark(notification == 1)) + ";;Concurrently Submitted");
    DefineCells(fieldX_, {label, gap, CheckBox(), Blank(0.15), Blank(1.0), Blank(0.15),
                          explanation});
    const QString explained =
        notification == 2 ? ReportText(project.NotificationExplanation) : QString();
    PrintCells({{},
                {},
                {QString::fromStdString(Mark(notification == 2)), true},
                {},
                {QStringLiteral("Other (explain)")},
                {},
                Value(explained)});
    PrintRule();
    canvas.SetCursorY(canvas.CursorY() + kAfterRule);
}

void TReptTLSA::PrintNotesAndSignatures() {
    TPageCanvas& canvas = Canvas();
    const TCellSpec wide = ValueCell(5.8);
    PrintField({wide}, {Value(ReportText(Project().Notes))},
               QStringLiteral("\t  Other Notes"));
    canvas.NewLine();
    canvas.NewLine();

    PrintField({ValueCell(2.3), Blank(0.25), ValueCell(1.5, TJustify::Centre), Blank(0.25),
                ValueCell(1.5, TJustify::Centre)},
               {{}, {}, {}, {}, {}}, QStringLiteral("\t  Submitted By\t\t  Phone\t\t  Date"));
    canvas.NewLine();
    canvas.NewLine();

    canvas.SetCursorX(fieldX_);
    canvas.PrintLeftAt(QStringLiteral("Corvalt (%1)").arg(QLatin1String(kVersionText)),
                       canvas.CursorX());
}

} // namespace corvalt
