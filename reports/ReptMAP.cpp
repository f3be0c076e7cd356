#include "reports/ReptMAP.h"

#include "engine/PageCanvas.h"
#include "engine/VectorPicture.h"
#include "limits/ComplianceStatement.h"
#include "limits/MaximaSummary.h"
#include "model/Project.h"
#include "model/Version.h"
#include "plots/FieldMapDrawing.h"
#include "plots/MapLevels.h"
#include "reports/ReportFormat.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvalt {
namespace {

constexpr double kBodyTop = 2.1;     // baseline of the first body line, at the least
constexpr double kBodyGap = 0.15;    // below a plan's name that took two lines
constexpr int kHeaderTitleLines = 2; // the header's titles wrap onto at most this many lines
constexpr int kMargin = 3;           // cell margin, hundredths of an inch
constexpr int kShade = 5;
constexpr double kRowRoom = 0.2;   // a table row needs this much room below it
constexpr double kTableRoom = 0.9; // a table starts on a new page with less room
constexpr double kSubtitleGap = 0.12;
// The map is laid out at its size on paper in pixels of a screen image, so
// that its fonts print at their own sizes; its colour fill, an image, goes on
// the page at the finer resolution.
constexpr double kLayoutPixelsPerInch = 96;
constexpr double kFillPixelsPerInch = 200;

// The largest voltage of the plan's phase conductors, kV.
double HighestPhaseKv(const TPlan& plan) {
    double highest = 0;
    for (const TPlanConductor& c : plan.Conductors)
        if (!c.IsGround) highest = std::max(highest, std::abs(c.Kv));
    return highest;
}

TLimitCheck CheckOf(TLimitQuantity quantity, const std::optional<space::TMapPeak>& peak,
                    const std::optional<float>& limit) {
    TLimitCheck check;
    check.Quantity = quantity;
    check.Place = TLimitPlace::InterestPoint;
    check.Side = TPointSide::OutsideRow;
    if (peak) check.Value = peak->Value;
    if (limit && *limit > 0) check.Limit = limit;
    return check;
}

// The first item of a recorded map is its white background, which would hide
// the colour fill laid under the picture; the page is white already.
bool DropWhiteBackground(TVectorPicture& picture) {
    if (picture.Items.empty()) return false;
    const auto* shape = std::get_if<TVectorShape>(&picture.Items.front());
    if (shape == nullptr || shape->PenStyle != Qt::NoPen ||
        shape->BrushColour != qRgb(255, 255, 255))
        return false;
    QRectF covered;
    for (const QPolygonF& polygon : shape->Polygons)
        covered |= polygon.boundingRect();
    if (!covered.contains(QRectF(0, 0, picture.Width, picture.Height).adjusted(1, 1, -1, -1)))
        return false;
    picture.Items.erase(picture.Items.begin());
    return true;
}

// Draws the map into the page rectangle (inches): axes, legend, titles and
// everything drawn over the field as vector drawing, the colour fill of the
// grid's rectangle as a bitmap (a vector picture keeps no images) under it.
void DrawMapOnPage(TPageCanvas& canvas, const QRectF& page, const TPlan& plan,
                   const space::TFieldMap& map, const TMapDrawOptions& options) {
    const QSizeF size(page.width() * kLayoutPixelsPerInch, page.height() * kLayoutPixelsPerInch);
    if (size.width() < 1 || size.height() < 1) return;
    const QRectF frame(QPointF(0, 0), size);
    QRectF grid;
    TVectorPicture picture =
        RecordVectorPicture(size.width(), size.height(), [&](QPainter& painter) {
            grid = DrawFieldMap(painter, frame, plan, map, options);
        });
    if (grid.isEmpty()) {
        canvas.DrawPicture(page.left(), page.top(), page.right(), page.bottom(),
                           std::move(picture));
        return;
    }
    const double scale = kFillPixelsPerInch / kLayoutPixelsPerInch;
    QImage image(static_cast<int>(std::ceil(size.width() * scale)),
                 static_cast<int>(std::ceil(size.height() * scale)), QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        DrawFieldMap(painter, frame, plan, map, options);
    }
    const QRect pixels =
        QRectF(grid.topLeft() * scale, grid.size() * scale).toAlignedRect() & image.rect();
    const auto inches = [&](double pixel) { return pixel / scale / kLayoutPixelsPerInch; };
    const auto drawFill = [&] {
        canvas.DrawBitmap(page.left() + inches(pixels.left()), page.top() + inches(pixels.top()),
                          page.left() + inches(pixels.left() + pixels.width()),
                          page.top() + inches(pixels.top() + pixels.height()), image.copy(pixels));
    };
    // Without a background to take away, the fill goes over the picture.
    const bool under = DropWhiteBackground(picture);
    if (under) drawFill();
    canvas.DrawPicture(page.left(), page.top(), page.right(), page.bottom(), std::move(picture));
    if (!under) drawFill();
}

QString LimitText(const std::optional<float>& limit) {
    return limit ? QString::fromStdString(LimitNumberText(*limit)) : QStringLiteral("none");
}

QString ValueText(const TLimitCheck& check) {
    if (!check.Value) return QString::fromLatin1(kNotAvailable);
    return QString::fromStdString(
        LimitValueText(*check.Value, check.Limit, LimitDecimals(check.Quantity)));
}

TCellText StatusCell(const TLimitCheck& check) {
    const TLimitStatus status = check.Status();
    return {QString::fromLatin1(MaximaStatusText(status)), status == TLimitStatus::Over};
}

} // namespace

TFootprintLimits FootprintLimitsOf(const TPlan& plan, const space::TFieldMap& map,
                                   const TFieldLimits& limits) {
    TFootprintLimits judged;
    judged.Class = PlanLimitClass(plan);
    judged.HighestKv = HighestPhaseKv(plan);
    judged.Row = limits.For(judged.Class);
    for (std::size_t f = 0; f < plan.Footprints.size(); ++f) {
        TFootprintVerdict verdict;
        verdict.Name = plan.Footprints[f].Name;
        if (f < map.Footprints.size()) {
            verdict.EPeak = map.Footprints[f].E;
            verdict.BPeak = map.Footprints[f].B;
        }
        verdict.E = CheckOf(TLimitQuantity::ElectricField, verdict.EPeak, judged.Row.EAtEdge);
        verdict.B = CheckOf(TLimitQuantity::MagneticField, verdict.BPeak, judged.Row.BAtEdge);
        for (const TLimitCheck* check : {&verdict.E, &verdict.B}) {
            const TLimitStatus status = check->Status();
            if (status == TLimitStatus::NoLimit) continue;
            ++judged.Count;
            if (status == TLimitStatus::Over) ++judged.Over;
            if (status == TLimitStatus::NotComputed) ++judged.NotComputed;
        }
        judged.Footprints.push_back(std::move(verdict));
    }
    judged.Verdict = ComplianceVerdict(judged.Count, judged.Over, judged.NotComputed);
    return judged;
}

TReptMAP::TReptMAP(TEmfProject& project, const std::vector<const TPlan*>& plans,
                   TFieldLimits limits)
    : TReport(project, nullptr), limits_(std::move(limits)) {
    for (const TPlan* plan : plans) {
        TPlanSection section{plan, space::ComputeFieldMap(*plan)};
        // The report draws the semi-major axes only.
        section.Run.Map.EResultant = {};
        section.Run.Map.BResultant = {};
        sections_.push_back(std::move(section));
    }
}

std::vector<std::string> TReptMAP::ComputeFailures() const {
    std::vector<std::string> failures;
    for (const TPlanSection& section : sections_)
        if (section.Run.Outcome != space::TMapOutcome::Computed)
            failures.push_back("plan '" + section.Plan->Name + "': " + section.Run.Message);
    return failures;
}

void TReptMAP::Prepare(TPageCanvas& canvas) {
    left_ = kReportLeftEdge;
    right_ = canvas.PageWidth() - kReportRightMargin;
    current_ = sections_.empty() ? nullptr : &sections_.front();
    planFirstPage_ = 1;
}

// ---- Header and footer ------------------------------------------------------

void TReptMAP::PrintHeader() {
    TPageCanvas& canvas = Canvas();
    canvas.SetSectionLeft(left_);
    canvas.SetSectionRight(right_);
    canvas.SetSectionTop(0.75);
    canvas.SelectFont(kArial, 16);
    canvas.KeepLineTop();
    canvas.SetUnderline(true);
    canvas.PrintOnFirstLine(QStringLiteral("Electric and Magnetic Field Map"), TJustify::Centre);
    canvas.NewLine();
    canvas.NewLine();
    canvas.SetUnderline(false);
    PrintFittedLines(ReportText(Project().Title), left_, right_ - left_, kHeaderTitleLines);
    if (current_ != nullptr) {
        const TPlan& plan = *current_->Plan;
        canvas.SelectFont(kTahoma, 8);
        canvas.KeepLineTop();
        canvas.NewLine();
        canvas.PrintTextLine(
            QStringLiteral("     Units: %1   Conductors: %2   Footprints: %3")
                .arg(plan.Units == English ? QStringLiteral("English") : QStringLiteral("Metric"))
                .arg(plan.Conductors.size())
                .arg(plan.Footprints.size()));
        canvas.NewLine();
        canvas.SelectFont(kArial, 14);
        canvas.KeepLineTop();
        QString title = ReportText(plan.Name);
        if (canvas.PageNumber() > planFirstPage_) title += QStringLiteral(" (continued)");
        PrintLabelledTitle(left_, QStringLiteral("Plan: "), title, kHeaderTitleLines);
    }
    const double bodyTop = std::max(kBodyTop, canvas.CursorY() + kBodyGap);
    PrintFooter();
    StartBody(bodyTop, false);
}

void TReptMAP::PrintFooter() {
    if (!StartFooterOnThisPage()) return;
    PrintStandardFooter(kArial, false,
                        current_ != nullptr ? ReportText(current_->Plan->Name) : QString());
}

// ---- Body -------------------------------------------------------------------

void TReptMAP::PrintBody() {
    for (const TPlanSection& section : sections_) {
        if (&section != current_) {
            current_ = &section;
            StartPlanPage(true);
        }
        PrintPlan(section);
    }
}

// A new page: the next plan's first, or the next page of the current plan.
void TReptMAP::StartPlanPage(bool nextPlan) {
    if (nextPlan) planFirstPage_ = Canvas().PageNumber() + 1;
    Canvas().NewPage();
}

void TReptMAP::PrintPlan(const TPlanSection& section) {
    TPageCanvas& canvas = Canvas();
    canvas.MarkSection(QStringLiteral("Plan: ") + ReportText(section.Plan->Name));
    if (section.Run.Outcome == space::TMapOutcome::Computed) {
        PrintMapPage(section, true);
        StartPlanPage(false);
        PrintMapPage(section, false);
        StartPlanPage(false);
        PrintFootprintTable(section);
    } else {
        canvas.SelectFont(kTahoma, 10);
        canvas.KeepLineTop();
        canvas.SetBold(true);
        PrintWrapped(QStringLiteral("The maps of this plan could not be computed: ") +
                     ReportText(section.Run.Message));
        canvas.SetBold(false);
    }
    PrintPlanData(section);
}

void TReptMAP::PrintMapPage(const TPlanSection& section, bool electric) {
    TPageCanvas& canvas = Canvas();
    const double top = canvas.LineTop();
    const QRectF page(QPointF(left_, top), QPointF(right_, canvas.SectionBottom()));
    TMapDrawOptions options;
    options.Quantity = electric ? TMapQuantity::Electric : TMapQuantity::Magnetic;
    options.Levels = DefaultMapLevels(*section.Plan, limits_, options.Quantity);
    DrawMapOnPage(canvas, page, *section.Plan, section.Run.Map, options);
    canvas.SetCursorY(canvas.SectionBottom());
}

// ---- Footprints ---------------------------------------------------------------

void TReptMAP::PrintFootprintTable(const TPlanSection& section) {
    const TPlan& plan = *section.Plan;
    const TFootprintLimits judged = FootprintLimitsOf(plan, section.Run.Map, limits_);
    PrintSubtitle(QStringLiteral("Footprints"));
    if (plan.Footprints.empty()) {
        PrintWrapped(QStringLiteral("The plan has no footprints."));
    } else {
        const QString where = QStringLiteral("x, y (%1)").arg(LengthUnit());
        const std::vector<TColumn> columns = {
            {1.35, TJustify::Left, QStringLiteral("Footprint"), {}},
            {0.6, TJustify::Right, QStringLiteral("Max E"), QStringLiteral("(kV/m)")},
            {1.0, TJustify::Right, QStringLiteral("where"), where},
            {0.55, TJustify::Right, QStringLiteral("E limit"), QStringLiteral("(kV/m)")},
            {0.55, TJustify::Centre, QStringLiteral("E"), QStringLiteral("status")},
            {0.65, TJustify::Right, QStringLiteral("Max B"), QStringLiteral("(mG)")},
            {1.0, TJustify::Right, QStringLiteral("where"), where},
            {0.55, TJustify::Right, QStringLiteral("B limit"), QStringLiteral("(mG)")},
            {0.55, TJustify::Centre, QStringLiteral("B"), QStringLiteral("status")},
        };
        std::vector<std::vector<TCellText>> rows;
        for (const TFootprintVerdict& f : judged.Footprints) {
            rows.push_back({{ReportText(f.Name), false, true},
                            {ValueText(f.E), f.E.Status() == TLimitStatus::Over},
                            {Where(f.EPeak)},
                            {LimitText(f.E.Limit)},
                            StatusCell(f.E),
                            {ValueText(f.B), f.B.Status() == TLimitStatus::Over},
                            {Where(f.BPeak)},
                            {LimitText(f.B.Limit)},
                            StatusCell(f.B)});
        }
        PrintTable(columns, rows);
        Canvas().SetCursorY(Canvas().CursorY() + 0.1);
        Canvas().SetBold(true);
        PrintWrapped(QString::fromStdString(judged.Verdict));
        Canvas().SetBold(false);
    }
    PrintLimitsNote(judged);
}

// Which row of the limits table applied, why, and which of its limits hold
// for a footprint.
void TReptMAP::PrintLimitsNote(const TFootprintLimits& judged) {
    PrintWrapped(QString::fromStdString(LimitsSourceText(limits_, judged.Class)));
    PrintWrapped(QStringLiteral(
                     "The row applies by the plan's highest phase voltage, %1 kV (up to 10 % above "
                     "230 kV counts as 230 kV; above it the 500 kV class, a double circuit with "
                     "two or more three-phase sets). A footprint lies beyond the right of way "
                     "and is held to the limits at the ROW edge: E %2 kV/m, B %3 mG.")
                     .arg(FixedText(judged.HighestKv, 2), LimitText(judged.Row.EAtEdge),
                          LimitText(judged.Row.BAtEdge)));
}

// ---- Plan data ----------------------------------------------------------------

void TReptMAP::PrintPlanData(const TPlanSection& section) {
    const TPlan& plan = *section.Plan;
    PrintConductors(plan);
    PrintConductorPoints(plan);
    PrintGrid(section);
    PrintFootprintCorners(plan);
    PrintSubtitle(QStringLiteral("Program"));
    QString program = QStringLiteral("Corvalt %1").arg(QLatin1String(kVersionText));
    if (section.Run.Outcome == space::TMapOutcome::Computed)
        program += QStringLiteral("; the conductors were cut into %1 straight pieces.")
                       .arg(section.Run.Map.Pieces);
    PrintWrapped(program);
}

void TReptMAP::PrintConductors(const TPlan& plan) {
    PrintSubtitle(QStringLiteral("Conductors"));
    const bool english = plan.Units == English;
    const QString length = LengthUnit();
    const std::vector<TColumn> columns = {
        {1.2, TJustify::Left, QStringLiteral("Id"), {}},
        {0.55, TJustify::Centre, QStringLiteral("Type"), {}},
        {0.45, TJustify::Centre, QStringLiteral("AC/DC"), {}},
        {0.6, TJustify::Right, QStringLiteral("Voltage"), QStringLiteral("(kV)")},
        {0.55, TJustify::Right, QStringLiteral("Angle"), QStringLiteral("(deg)")},
        {0.7, TJustify::Right, QStringLiteral("Current"), QStringLiteral("(A)")},
        {0.7, TJustify::Right, QStringLiteral("Diameter"),
         english ? QStringLiteral("(in)") : QStringLiteral("(mm)")},
        {0.95, TJustify::Right, QStringLiteral("Bundle"),
         english ? QStringLiteral("n x spacing (in)") : QStringLiteral("n x spacing (cm)")},
        {0.55, TJustify::Centre, QStringLiteral("Shape"), {}},
        {0.55, TJustify::Right, QStringLiteral("Sag"), QStringLiteral("(%1)").arg(length)},
    };
    std::vector<std::vector<TCellText>> rows;
    for (const TPlanConductor& c : plan.Conductors) {
        const bool span = c.Shape == TPlanShape::Span;
        const QString bundle =
            c.SubConductors > 1
                ? QStringLiteral("%1 x %2").arg(c.SubConductors).arg(FixedText(c.Spacing, 2))
                : QStringLiteral("1");
        rows.push_back({{ReportText(c.Id), false, true},
                        {c.IsGround ? QStringLiteral("ground") : QStringLiteral("phase")},
                        {c.IsAc ? QStringLiteral("AC") : QStringLiteral("DC")},
                        {FixedText(c.Kv, 2)},
                        {c.IsAc ? FixedText(c.AngleDeg, 1) : QStringLiteral("-")},
                        {FixedText(c.CurrentA, 1)},
                        {FixedText(c.Diameter, 2)},
                        {bundle},
                        {span ? QStringLiteral("span") : QStringLiteral("path")},
                        {span ? FixedText(c.Sag, 2) : QStringLiteral("-")}});
    }
    PrintTable(columns, rows);
}

void TReptMAP::PrintConductorPoints(const TPlan& plan) {
    PrintSubtitle(QStringLiteral("Conductor points (paths) and span ends"));
    const QString unit = QStringLiteral("(%1)").arg(LengthUnit());
    const std::vector<TColumn> columns = {
        {1.9, TJustify::Left, QStringLiteral("Conductor"), {}},
        {0.7, TJustify::Centre, QStringLiteral("Point"), {}},
        {1.0, TJustify::Right, QStringLiteral("x"), unit},
        {1.0, TJustify::Right, QStringLiteral("y"), unit},
        {1.0, TJustify::Right, QStringLiteral("z"), unit},
    };
    std::vector<std::vector<TCellText>> rows;
    for (const TPlanConductor& c : plan.Conductors) {
        const bool span = c.Shape == TPlanShape::Span;
        for (std::size_t k = 0; k < c.Points.size(); ++k) {
            const TPlanPoint& p = c.Points[k];
            const QString point = span ? (k == 0 ? QStringLiteral("from") : QStringLiteral("to"))
                                       : QString::number(k + 1);
            rows.push_back({{ReportText(c.Id), false, true},
                            {point},
                            {FixedText(p.X, 2)},
                            {FixedText(p.Y, 2)},
                            {FixedText(p.Z, 2)}});
        }
    }
    PrintTable(columns, rows);
}

void TReptMAP::PrintGrid(const TPlanSection& section) {
    const TPlanGrid& grid = section.Plan->Grid;
    const space::TFieldMap& map = section.Run.Map;
    PrintSubtitle(QStringLiteral("Grid"));
    QString text = QStringLiteral("x from %1 to %2 %5, y from %3 to %4 %5, step %6 %5, at %7 %5 "
                                  "above ground")
                       .arg(FixedText(grid.X0, 2), FixedText(grid.X1, 2), FixedText(grid.Y0, 2),
                            FixedText(grid.Y1, 2), LengthUnit(), FixedText(grid.Step, 2),
                            FixedText(grid.Height, 2));
    if (!map.X.empty())
        text += QStringLiteral(": %1 x %2 points").arg(map.X.size()).arg(map.Y.size());
    PrintWrapped(text + QLatin1Char('.'));
}

void TReptMAP::PrintFootprintCorners(const TPlan& plan) {
    if (plan.Footprints.empty()) return;
    PrintSubtitle(QStringLiteral("Footprint corners"));
    const QString unit = QStringLiteral("(%1)").arg(LengthUnit());
    const std::vector<TColumn> columns = {
        {1.9, TJustify::Left, QStringLiteral("Footprint"), {}},
        {0.7, TJustify::Centre, QStringLiteral("Corner"), {}},
        {1.0, TJustify::Right, QStringLiteral("x"), unit},
        {1.0, TJustify::Right, QStringLiteral("y"), unit},
    };
    std::vector<std::vector<TCellText>> rows;
    for (const TFootprint& f : plan.Footprints)
        for (std::size_t k = 0; k < f.Corners.size(); ++k)
            rows.push_back({{ReportText(f.Name), false, true},
                            {QString::number(k + 1)},
                            {FixedText(f.Corners[k].X, 2)},
                            {FixedText(f.Corners[k].Y, 2)}});
    PrintTable(columns, rows);
}

// ---- Tables -------------------------------------------------------------------

void TReptMAP::PrintSubtitle(const QString& text) {
    TPageCanvas& canvas = Canvas();
    canvas.ClearTabs();
    canvas.SetCursorY(canvas.CursorY() + kSubtitleGap);
    if (RemainingHeight() < kTableRoom) StartPlanPage(false);
    canvas.SelectFont(kTahoma, 12);
    canvas.KeepLineTop();
    canvas.SetBold(true);
    canvas.PrintLeftAt(text, left_);
    canvas.SetBold(false);
    canvas.NewLine();
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
}

void TReptMAP::PrintTableHeading(const std::vector<TColumn>& columns) {
    TPageCanvas& canvas = Canvas();
    SelectTablePen();
    canvas.SelectFont(kTahoma, 8);
    canvas.KeepLineTop();
    QStringList tops, bottoms;
    std::vector<TCellSpec> topCells, bottomCells, dataCells;
    for (const TColumn& column : columns) {
        tops << column.Top;
        bottoms << column.Bottom;
        topCells.push_back({column.Width, TJustify::Centre, kMargin, kLinesLeftRightTop, kShade});
        bottomCells.push_back(
            {column.Width, TJustify::Centre, kMargin, kLinesLeftRightBottom, kShade});
        dataCells.push_back(DataCell(column.Width, column.Justify, kMargin));
    }
    DefineCells(left_, topCells);
    PrintRow(tops);
    DefineCells(left_, bottomCells);
    PrintRow(bottoms);
    canvas.SelectFont(kTahoma, 9);
    canvas.KeepLineTop();
    DefineCells(left_, dataCells);
}

void TReptMAP::PrintTable(const std::vector<TColumn>& columns,
                          const std::vector<std::vector<TCellText>>& rows) {
    PrintTableHeading(columns);
    for (const std::vector<TCellText>& row : rows)
        PrintTableRow(row, kRowRoom, [&] { PrintTableHeading(columns); });
    Canvas().ClearTabs();
    Canvas().SelectFont(kTahoma, 10);
    Canvas().KeepLineTop();
}

QString TReptMAP::LengthUnit() const {
    return current_ != nullptr && current_->Plan->Units == English ? QStringLiteral("ft")
                                                                   : QStringLiteral("m");
}

QString TReptMAP::Where(const std::optional<space::TMapPeak>& peak) const {
    if (!peak) return QString::fromLatin1(kNotAvailable);
    return FixedText(peak->X, 1) + QStringLiteral(", ") + FixedText(peak->Y, 1);
}

} // namespace corvalt
