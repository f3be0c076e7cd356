// The TLSA exemption notification: the marks of the exemption types, the
// attachments and the notification, the fields and the form's frame, read back
// from the recorded page.
#include "ReportTestSupport.h"

#include "reports/ReptTLSA.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace corvalt {
namespace {

using test::CommandsOf;
using test::FillsAt;
using test::OnlyText;
using test::TextsOf;

constexpr double kFieldX = 1.5;

TPage RunForm(TEmfProject& project) {
    TReptTLSA report(project);
    const TPageList pages = test::RunReport(report);
    EXPECT_EQ(pages.Pages.size(), 1u);
    return pages.Pages.empty() ? TPage{} : pages.Pages.front();
}

// The bold "X" marks on the line of the text, by their x.
std::vector<double> MarksBeside(const TPage& page, const QString& text) {
    const double y = OnlyText(page, text).Y;
    std::vector<double> marks;
    for (const TTextCmd* run : page.Texts())
        if (run->Text == QStringLiteral("X") && std::abs(run->Y - y) < 1e-9) {
            EXPECT_TRUE(run->Font.Bold);
            marks.push_back(run->X);
        }
    return marks;
}

// Whether the text lies inside the check box that starts at x.
bool InBox(double textX, double boxLeft) {
    return textX > boxLeft && textX < boxLeft + 0.25;
}

TEST(TlsaReport, ExemptionFlagsMarkTheirBoxes) {
    const char* types[] = {"Less than 15 miles", "One County", "Existing ROW", "DRI Binding Letter",
                           "DRI Dev. Order"};
    struct TCase {
        std::string Flags;
        std::vector<bool> Marked;
    };
    const TCase cases[] = {
        {"     ", {false, false, false, false, false}},
        {"  X", {false, false, true, false, false}}, // short: missing positions are clear
        {"X?X X", {true, true, true, false, true}},  // any character but a blank ticks
        {"", {false, false, false, false, false}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("'" + c.Flags + "'");
        TEmfProject project;
        project.ExemptionFlags = c.Flags;
        const TPage page = RunForm(project);
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(types[i]);
            const std::vector<double> marks = MarksBeside(page, QString::fromLatin1(types[i]));
            ASSERT_EQ(marks.size(), c.Marked[i] ? 1u : 0u);
            if (c.Marked[i]) {
                EXPECT_TRUE(InBox(marks[0], kFieldX + 1.9 + 0.2));
            }
        }
    }
}

TEST(TlsaReport, AttachmentsMarkYesOrNo) {
    for (const bool profile : {true, false}) {
        SCOPED_TRACE(profile);
        TEmfProject project;
        project.StructureProfile = profile;
        project.LocationMap = !profile;
        const TPage page = RunForm(project);
        const double yesBox = kFieldX + 2.0 + 0.25;
        const double noBox = yesBox + 0.25 + 0.5;
        const auto structure = MarksBeside(page, QStringLiteral("STRUCTURE PROFILE"));
        const auto map = MarksBeside(page, QStringLiteral("LOCATION MAP ATTACHED"));
        ASSERT_EQ(structure.size(), 1u);
        ASSERT_EQ(map.size(), 1u);
        EXPECT_TRUE(InBox(structure[0], profile ? yesBox : noBox));
        EXPECT_TRUE(InBox(map[0], profile ? noBox : yesBox));
        // Both boxes are boxed and shaded, marked or not.
        const double y = OnlyText(page, QStringLiteral("STRUCTURE PROFILE")).Y;
        EXPECT_EQ(FillsAt(page, yesBox + 0.1, y - 0.05).size(), 1u);
        EXPECT_EQ(FillsAt(page, noBox + 0.1, y - 0.05).size(), 1u);
    }
}

TEST(TlsaReport, NotificationMarksOneBoxAndOtherPrintsItsExplanation) {
    const char* rows[] = {"Previously Submitted", "Concurrently Submitted", "Other (explain)"};
    for (int notification = 0; notification < 3; ++notification) {
        SCOPED_TRACE(notification);
        TEmfProject project;
        project.Notification = static_cast<std::uint8_t>(notification);
        project.NotificationExplanation = "Filed with the annual plan";
        const TPage page = RunForm(project);
        for (int row = 0; row < 3; ++row) {
            const auto marks = MarksBeside(page, QString::fromLatin1(rows[row]));
            ASSERT_EQ(marks.size(), row == notification ? 1u : 0u);
            if (row == notification) {
                EXPECT_TRUE(InBox(marks[0], kFieldX + 1.5 + 0.2));
            }
        }
        const auto explanation = TextsOf(page, QStringLiteral("Filed with the annual plan"));
        ASSERT_EQ(explanation.size(), notification == 2 ? 1u : 0u);
        if (notification == 2) {
            EXPECT_TRUE(explanation[0].Font.Bold);
            EXPECT_NEAR(explanation[0].X, kFieldX + 1.5 + 0.2 + 0.25 + 0.15 + 1.0 + 0.15 + 0.03,
                        1e-9);
            EXPECT_NEAR(explanation[0].Y, OnlyText(page, QString::fromLatin1(rows[2])).Y, 1e-9);
        }
    }
}

TEST(TlsaReport, FieldsCarryTheProjectInformation) {
    TEmfProject project;
    project.Units = English;
    project.FacilityName = "Suncoast Electric";
    project.Title = "Palm to Cypress";
    project.Counties = "Hillsborough;Pasco";
    project.SetDisplayLineLength(12.74f);
    project.VoltageClass = 230;
    project.ConstructionDate = 45809; // 1 June 2025
    project.Notes = "Sample notes";
    const TPage page = RunForm(project);

    const TTextCmd facility = OnlyText(page, QStringLiteral("Suncoast Electric"));
    EXPECT_NEAR(facility.X + facility.Width / 2, 1.25 + (7.5 - 1.25) / 2, 1e-9);
    EXPECT_FALSE(facility.Font.Bold);
    for (const char* value :
         {"Palm to Cypress", "12.7 mi", "230 kV", "June, 01 2025", "Sample notes"}) {
        SCOPED_TRACE(value);
        EXPECT_TRUE(OnlyText(page, QString::fromLatin1(value)).Font.Bold);
    }
    // Line breaks in the counties become commas: the value stays in its field.
    const TTextCmd counties = OnlyText(page, QStringLiteral("Hillsborough, Pasco"));
    EXPECT_NEAR(counties.X, kFieldX + 0.03, 1e-9);
    const TTextCmd length = OnlyText(page, QStringLiteral("12.7 mi"));
    EXPECT_NEAR(length.X + length.Width / 2, kFieldX + 4.0 + 0.25 + 0.325, 1e-9);
    EXPECT_NEAR(length.Y, counties.Y, 1e-9);
    OnlyText(page, QStringLiteral("Corvalt (v1.19)"));
}

// A value wider than its field is printed smaller in the same box, and cut
// with "…" where 6 points are still too wide.
TEST(TlsaReport, ValueWiderThanItsFieldIsPrintedSmallerInTheSameBoxOrCut) {
    TEmfProject project;
    project.Title = std::string(50, 'W');
    project.Notes = std::string(200, 'W');
    const TPage page = RunForm(project);
    const double room = 5.8 - 0.06;
    const TTextCmd title = OnlyText(page, QString(50, QLatin1Char('W')));
    EXPECT_LT(title.Font.Size, 12);
    EXPECT_GE(title.Font.Size, 6);
    EXPECT_LE(title.Width, room);
    const TTextCmd* notes = nullptr;
    for (const TTextCmd* text : page.Texts())
        if (text->Text.endsWith(QChar(0x2026))) notes = text;
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->Font.Size, 6);
    EXPECT_LE(notes->Width, room);
    EXPECT_EQ(notes->Text.chopped(1), QString(notes->Text.size() - 1, QLatin1Char('W')));
    // The shaded field keeps the height of a 12-point line.
    const TTextCmd caption =
        OnlyText(page, QStringLiteral("  Name of Transmission Line/Substation"));
    const auto titleFill = FillsAt(page, kFieldX + 1, title.Y - 0.05);
    ASSERT_EQ(titleFill.size(), 1u);
    const auto notesFill = FillsAt(page, kFieldX + 1, notes->Y - 0.05);
    ASSERT_EQ(notesFill.size(), 1u);
    EXPECT_NEAR(titleFill[0].Bottom - titleFill[0].Top, notesFill[0].Bottom - notesFill[0].Top,
                1e-9);
    EXPECT_GT(caption.Y, titleFill[0].Bottom);
}

TEST(TlsaReport, EmptyProjectPrintsTheWholeFormWithEmptyFields) {
    TEmfProject project;
    const TPage page = RunForm(project);
    // The double border.
    const auto frames = CommandsOf<TFrameCmd>(page);
    ASSERT_GE(frames.size(), 2u);
    const double border[2][4] = {{1.25, 1.5, 7.5, 10.0}, {1.3, 1.55, 7.45, 9.95}};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(frames[i].Left, border[i][0], 1e-9);
        EXPECT_NEAR(frames[i].Top, border[i][1], 1e-9);
        EXPECT_NEAR(frames[i].Right, border[i][2], 1e-9);
        EXPECT_NEAR(frames[i].Bottom, border[i][3], 1e-9);
    }
    // Horizontal rules from the field column to 0.25 in before the right edge.
    int rules = 0;
    for (std::size_t i = 2; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].Top, frames[i].Bottom);
        EXPECT_NEAR(frames[i].Left, kFieldX, 1e-9);
        EXPECT_NEAR(frames[i].Right, 7.25, 1e-9);
        ++rules;
    }
    EXPECT_EQ(rules, 6);
    // Only the marks of the values a new project has: no attachments, notified before.
    EXPECT_EQ(TextsOf(page, QStringLiteral("X")).size(), 3u);
    EXPECT_EQ(MarksBeside(page, QStringLiteral("Previously Submitted")).size(), 1u);
    EXPECT_EQ(TextsOf(page, QStringLiteral("0 kV")).size(), 1u);
    EXPECT_TRUE(OnlyText(page, QStringLiteral("TLSA EXEMPTION NOTIFICATION")).Font.Underline);
    for (const char* caption : {"  Submitted By", "  Phone", "  Date", "  Counties",
                                "  Anticipated Construction Start Date"})
        OnlyText(page, QString::fromLatin1(caption));
    // Everything lies on the page.
    for (const TTextCmd* text : page.Texts())
        EXPECT_LT(text->Y, 11 - 0.5) << text->Text.toStdString();
}

} // namespace
} // namespace corvalt
