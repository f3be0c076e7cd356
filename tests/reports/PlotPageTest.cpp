// The plot pages of the EMF details and the corona report: one page after the
// tables, under the report's own heading, holding the plot as vector drawing;
// the preferences turn each off.
#include "ReportTestSupport.h"

#include "engine/PageRenderer.h"
#include "plots/PlotPicture.h"
#include "prefs/Options.h"
#include "reports/ProfilePlotPage.h"
#include "reports/ReportKind.h"
#include "reports/ReptBPA.h"
#include "reports/ReptDET.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace corvalt {
namespace {

using test::CommandsOf;
using test::TextsOf;

// The texts of the page's pictures.
QStringList PictureTexts(const TPage& page) {
    QStringList texts;
    for (const TPictureCmd& picture : CommandsOf<TPictureCmd>(page))
        for (const TVectorItem& item : picture.Picture.Items)
            if (const auto* text = std::get_if<TVectorText>(&item)) texts << text->Text;
    return texts;
}

int PictureCount(const TPageList& pages) {
    int count = 0;
    for (const TPage& page : pages.Pages)
        count += static_cast<int>(CommandsOf<TPictureCmd>(page).size());
    return count;
}

struct PlotPage : ::testing::Test {
    std::unique_ptr<TEmfProject> project = test::MakeProject(English);
    TScenario& scenario = project->Scenarios[0];

    void SetUp() override {
        test::AddLine(scenario, "PC 230", {{-26, 42}, {0, 42}, {26, 42}});
        test::FillProfile(scenario, 41); // -10 to 30 ft: the tables fill one page
    }
    TPageList Details(std::optional<TPlotOptions> plot) {
        TReptDET report(*project, scenario, std::move(plot));
        return test::RunReport(report);
    }
    TPageList Corona(std::optional<TPlotOptions> plot) {
        TReptBPA report(*project, scenario, std::move(plot));
        return test::RunReport(report);
    }
};

TEST_F(PlotPage, DetailsReportEndsWithTheFieldPlotUnderItsHeading) {
    ASSERT_EQ(Details(std::nullopt).Pages.size(), 1u);
    const TPageList pages = Details(FieldPlotOptions(DefaultFieldLimits()));
    ASSERT_EQ(pages.Pages.size(), 2u);
    EXPECT_EQ(PictureCount(pages), 1);
    const TPage& page = pages.Pages[1];
    EXPECT_EQ(TextsOf(page, QStringLiteral("CrossSection: ")).size(), 1u);
    EXPECT_TRUE(page.PlainText().contains(QStringLiteral("North segment (continued)")));
    EXPECT_TRUE(CommandsOf<TBitmapCmd>(page).empty());
    // Across the body (0.75 in to 8.5 − 0.5 in), 5/8 as high as wide, below the heading.
    const TPictureCmd plot = CommandsOf<TPictureCmd>(page).at(0);
    EXPECT_DOUBLE_EQ(plot.Left, 0.75);
    EXPECT_DOUBLE_EQ(plot.Right, 8.0);
    EXPECT_DOUBLE_EQ(plot.Bottom - plot.Top, 7.25 * 5 / 8);
    EXPECT_GT(plot.Top, TextsOf(page, QStringLiteral("CrossSection: ")).at(0).Y);

    // The axes, the legend and the 150 mG edge limit of a 230 kV line.
    const QStringList texts = PictureTexts(page);
    for (const char* expected : {"Distance (ft)", "Electric field (kV/m)", "Magnetic field (mG)"})
        EXPECT_TRUE(texts.contains(QLatin1String(expected))) << expected;
    EXPECT_FALSE(texts.filter(QStringLiteral("B limit 150")).isEmpty())
        << texts.join('|').toStdString();
    EXPECT_TRUE(PictureTexts(Details(FieldPlotOptions(std::nullopt)).Pages[1])
                    .filter(QStringLiteral("limit"))
                    .isEmpty());
    project->Units = Metric; // the plot follows the project's units
    EXPECT_TRUE(PictureTexts(Details(FieldPlotOptions(std::nullopt)).Pages[1])
                    .contains(QStringLiteral("Distance (m)")));
}

TEST_F(PlotPage, CoronaReportEndsWithNoiseAndInterferenceButNoOzone) {
    const std::size_t tablePages = Corona(std::nullopt).Pages.size();
    const TPageList pages = Corona(CoronaPlotOptions());
    ASSERT_EQ(pages.Pages.size(), tablePages + 1);
    const TPage& page = pages.Pages.back();
    EXPECT_TRUE(page.PlainText().contains(QStringLiteral("North segment (continued)")));
    const QStringList texts = PictureTexts(page);
    // The axis title and the legend's short names.
    for (const char* expected : {"Audible noise (dBA), RI and TVI (dBuV/m)", "AN rain", "AN fair",
                                 "RI rain", "RI fair", "TVI"})
        EXPECT_TRUE(texts.contains(QLatin1String(expected))) << expected;
    EXPECT_TRUE(texts.filter(QStringLiteral("Ozone")).isEmpty()) << texts.join('|').toStdString();
}

TEST_F(PlotPage, CrossSectionWithoutValuesGetsNoPlotPage) {
    scenario.CalcError = "North: a conductor lies below ground.";
    EXPECT_EQ(PictureCount(Details(FieldPlotOptions(std::nullopt))), 0);
    EXPECT_EQ(PictureCount(Corona(CoronaPlotOptions())), 0);
}

// Each preference turns its own report's plot page off, and only that one.
TEST_F(PlotPage, PreferencesTurnEachPlotPageOff) {
    QTemporaryDir folder;
    struct TCase {
        const char* Ini;
        int DetailsPictures, CoronaPictures;
    };
    for (const TCase& c : {TCase{"", 1, 1}, TCase{"[Reports]\nDetailsPlot=0\n", 0, 1},
                           TCase{"[Reports]\nCoronaPlot=0\n", 1, 0}}) {
        SCOPED_TRACE(c.Ini);
        const std::string ini = folder.filePath(QStringLiteral("prefs.ini")).toStdString();
        std::ofstream(ini) << c.Ini;
        const TOptions options(ini);
        for (const auto& [kind, expected] :
             {std::pair{TReportKind::EmfDetails, c.DetailsPictures},
              std::pair{TReportKind::CoronaEffects, c.CoronaPictures}}) {
            const auto report = CreateReport(kind, *project, &scenario, options);
            ASSERT_NE(report, nullptr);
            EXPECT_EQ(PictureCount(test::RunReport(*report)), expected) << ReportKindName(kind);
        }
    }
}

// Share of the pixels that differ by more than a quarter of full scale in a
// colour channel.
double DifferingShare(const QImage& a, const QImage& b) {
    const auto far = [](int u, int v) { return std::abs(u - v) > 64; };
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            differing +=
                far(qRed(p), qRed(q)) || far(qGreen(p), qGreen(q)) || far(qBlue(p), qBlue(q));
        }
    return double(differing) / (a.width() * a.height());
}

// The page rendered at the chart's layout resolution shows, where the plot
// lies, what the chart paints straight onto an image of that size.
TEST_F(PlotPage, RenderedPageShowsTheChartItself) {
    const TPlotOptions options = FieldPlotOptions(DefaultFieldLimits());
    const TPageList pages = Details(options);
    const TPictureCmd plot = CommandsOf<TPictureCmd>(pages.Pages.at(1)).at(0);
    const QSize size(qRound(plot.Picture.Width), qRound(plot.Picture.Height));
    ASSERT_EQ(size.width(), qRound(7.25 * 96)); // 96 layout pixels an inch
    QImage direct(size, QImage::Format_RGB32);
    direct.fill(Qt::white);
    {
        QPainter painter(&direct);
        PaintPlot(BuildPlotData(scenario, {}, options), painter, QRectF(QPointF(0, 0), size), size);
    }
    const QImage page = RenderPageImage(pages, 1, 96);
    const QImage onPage =
        page.copy(QRect(QPoint(qRound(plot.Left * 96), qRound(plot.Top * 96)), size));
    EXPECT_LT(DifferingShare(direct, onPage), 0.02);
    QImage blank(size, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_GT(DifferingShare(direct, blank), 0.01); // lines and texts, not an empty frame
}

} // namespace
} // namespace corvalt
