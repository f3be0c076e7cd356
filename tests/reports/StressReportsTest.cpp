// Every report of the stress projects (texts at the dialogs' limits and far
// beyond them) keeps every text where it belongs: on the recorded pages no
// text meets another text, a line or a frame, or the page's margins; and in
// the PDF files no word box of pdftotext -bbox crosses another or the margins.
// The PDF files stay in the build tree (tests/reports/stress/) to be looked at.
#include "ReportTestSupport.h"
#include "StressProjects.h"

#include "compute/Compute.h"
#include "engine/PageRenderer.h"
#include "engine/ReportFonts.h"
#include "reports/ReptBPA.h"
#include "reports/ReptDET.h"
#include "reports/ReptFCR2.h"
#include "reports/ReptTLSA.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <filesystem>

namespace corvalt {
namespace {

// Two boxes cross when they share more than this in both directions; touching
// is allowed (a text flush against the side of a cell without margin, a
// descender reaching down to the font's descent, where the line under its row
// runs). Half a printer pixel: the ink is measured in whole pixels of the
// layout resolution.
constexpr double kOverlap = kDevicePixel / 2; // in

// Where text may be: inside the report's left and right edges and 0.4 in from
// the paper's top and bottom.
struct TMargins {
    double Left, Right, Top = 0.4, Bottom = kLetterHeight - 0.4;
};
constexpr TMargins kReportMargins{0.75, kLetterWidth - 0.5};
constexpr TMargins kFormMargins{1.25, kLetterWidth - 1.0};

struct TReportPages {
    std::string Name;
    TPageList Pages;
    TMargins Margins;
};

// The project saved and read back, as a report sees a file, and computed.
std::unique_ptr<TEmfProject> ThroughFile(test::TStressProject& stress, const QDir& folder) {
    // A long file name shows in the compliance report's footer.
    const std::string name =
        stress.Name == "beyond-metric" ? test::Repeated(stress.Name + "-", 200) : stress.Name;
    const std::string path = folder.filePath(QString::fromStdString(name + ".emf")).toStdString();
    EXPECT_TRUE(stress.Project->Save(path).Ok) << path;
    auto project = std::make_unique<TEmfProject>();
    EXPECT_TRUE(project->Load(path).Ok) << path;
    project->FileName = path;
    ComputeAll(*project);
    for (const TScenario& scenario : project->Scenarios)
        EXPECT_EQ(scenario.CalcError, "") << stress.Name;
    return project;
}

std::vector<TReportPages> RunEveryReport(TEmfProject& project, const std::string& name) {
    std::vector<TReportPages> reports;
    TReptFCR2 compliance(project, nullptr, TReptFCR2::PrintAll);
    reports.push_back({name + "-compliance", test::RunReport(compliance), kReportMargins});
    TReptTLSA form(project);
    reports.push_back({name + "-tlsa", test::RunReport(form), kFormMargins});
    int section = 1;
    for (TScenario& scenario : project.Scenarios) {
        const std::string suffix = "-s" + std::to_string(section++);
        TReptDET details(project, scenario);
        reports.push_back({name + "-details" + suffix, test::RunReport(details), kReportMargins});
        TReptBPA corona(project, scenario);
        reports.push_back({name + "-corona" + suffix, test::RunReport(corona), kReportMargins});
    }
    return reports;
}

// ---- The recorded pages -------------------------------------------------------

// The box a text covers: its advance across, and the ink of its glyphs from
// top to bottom, measured at the layout resolution.
QRectF TextBox(const TTextCmd& text) {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setDotsPerMeterX(qRound(kLayoutDpi / 0.0254));
        image.setDotsPerMeterY(qRound(kLayoutDpi / 0.0254));
        return image;
    }();
    const QRectF ink =
        QFontMetricsF(LayoutFont(text.Font), &device).tightBoundingRect(PrintableText(text.Text));
    return QRectF(text.X, text.Y + ink.top() / kLayoutDpi, text.Width, ink.height() / kLayoutDpi);
}

bool Cross(const QRectF& a, const QRectF& b) {
    return std::min(a.right(), b.right()) - std::max(a.left(), b.left()) > kOverlap &&
           std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) > kOverlap;
}

// Whether a line of the given pen width runs through the box (the box shrunk
// by kOverlap, so that a line along its edge does not count). A hairline (one
// printer pixel, the box lines of tables) counts as its middle only: a table's
// box lines run along the edges of the lines of text they frame.
bool Crosses(const QLineF& line, double width, const QRectF& box) {
    const QRectF inner = box.adjusted(kOverlap, kOverlap, -kOverlap, -kOverlap);
    const double half = std::max(width - kDevicePixel, 0.0) / 2;
    if (line.x1() == line.x2() || line.y1() == line.y2()) {
        const QRectF band = QRectF(line.p1(), line.p2()).normalized().adjusted(-half, -half, half, half);
        return Cross(band, inner);
    }
    // A slanting line (a leader): sampled along its length against the box
    // grown by half the pen.
    const QRectF grown = inner.adjusted(-half, -half, half, half);
    const int steps = std::max(2, static_cast<int>(line.length() / 0.002));
    for (int i = 0; i <= steps; ++i)
        if (grown.contains(line.pointAt(static_cast<double>(i) / steps))) return true;
    return false;
}

// Every way in which a text of the page is out of place, one line each.
QStringList Misplaced(const TPage& page, const TMargins& margins) {
    QStringList found;
    std::vector<std::pair<QRectF, QString>> boxes;
    for (const TTextCmd* text : page.Texts()) {
        if (text->Text.trimmed().isEmpty()) continue;
        boxes.emplace_back(TextBox(*text), text->Text);
    }
    std::vector<std::pair<QLineF, double>> lines;
    for (const TPageCommand& command : page.Commands) {
        if (const auto* line = std::get_if<TLineCmd>(&command)) {
            lines.emplace_back(QLineF(line->X1, line->Y1, line->X2, line->Y2), line->Pen.Width);
        } else if (const auto* frame = std::get_if<TFrameCmd>(&command)) {
            const QRectF r(QPointF(frame->Left, frame->Top), QPointF(frame->Right, frame->Bottom));
            for (const QLineF& edge : {QLineF(r.topLeft(), r.topRight()),
                                       QLineF(r.bottomLeft(), r.bottomRight()),
                                       QLineF(r.topLeft(), r.bottomLeft()),
                                       QLineF(r.topRight(), r.bottomRight())})
                lines.emplace_back(edge, frame->Width);
        }
    }
    const QRectF paper(QPointF(margins.Left, margins.Top), QPointF(margins.Right, margins.Bottom));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto& [box, text] = boxes[i];
        const QString name = QStringLiteral("\"%1\"").arg(text.left(40));
        if (!paper.adjusted(-kOverlap, -kOverlap, kOverlap, kOverlap).contains(box))
            found << name + QStringLiteral(" leaves the margins");
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            if (Cross(box, boxes[j].first))
                found << name + QStringLiteral(" meets \"%1\"").arg(boxes[j].second.left(40));
        for (const auto& [line, width] : lines)
            if (Crosses(line, width, box))
                found << name + QStringLiteral(" meets a line from (%1, %2) to (%3, %4)")
                                    .arg(line.x1())
                                    .arg(line.y1())
                                    .arg(line.x2())
                                    .arg(line.y2());
    }
    return found;
}

class StressReports : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<QTemporaryDir>();
        for (test::TStressProject& stress : test::StressProjects()) {
            projects_.push_back(ThroughFile(stress, QDir(folder_->path())));
            for (TReportPages& report : RunEveryReport(*projects_.back(), stress.Name))
                reports_.push_back(std::move(report));
        }
    }
    static void TearDownTestSuite() {
        reports_.clear();
        projects_.clear();
        folder_.reset();
    }
    static std::unique_ptr<QTemporaryDir> folder_;
    static std::vector<std::unique_ptr<TEmfProject>> projects_;
    static std::vector<TReportPages> reports_;
};
std::unique_ptr<QTemporaryDir> StressReports::folder_;
std::vector<std::unique_ptr<TEmfProject>> StressReports::projects_;
std::vector<TReportPages> StressReports::reports_;

TEST_F(StressReports, NoTextMeetsAnotherTextALineOrTheMargins) {
    ASSERT_EQ(reports_.size(), 3u * 2 + 2u * (3 + 2 + 1));
    for (const TReportPages& report : reports_) {
        for (std::size_t p = 0; p < report.Pages.Pages.size(); ++p) {
            SCOPED_TRACE(report.Name + " page " + std::to_string(p + 1));
            EXPECT_EQ(Misplaced(report.Pages.Pages[p], report.Margins)
                          .join(QStringLiteral("\n"))
                          .toStdString(),
                      "");
        }
    }
}

// ---- The PDF files ------------------------------------------------------------

struct TWord {
    QRectF Box; // points
    QString Text;
};

// The words of each page as pdftotext -bbox finds them.
std::vector<std::vector<TWord>> PdfWords(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    process.waitForFinished(120000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    std::vector<std::vector<TWord>> pages;
    static const QRegularExpression item(
        QStringLiteral("<page |<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" "
                       "yMax=\"([-\\d.]+)\">([^<]*)</word>"));
    for (auto it = item.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(0).startsWith(QStringLiteral("<page"))) {
            pages.emplace_back();
        } else if (!pages.empty()) {
            pages.back().push_back(
                {QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                        QPointF(match.captured(3).toDouble(), match.captured(4).toDouble())),
                 match.captured(5)});
        }
    }
    return pages;
}

TEST_F(StressReports, NoWordOfThePdfFilesCrossesAnotherOrTheMargins) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
    const QDir folder(QStringLiteral(CORVALT_BINARY_DIR "/tests/reports/stress"));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    constexpr double kPoints = 72;
    constexpr double kWordOverlap = 0.05; // pt: pdftotext rounds its boxes
    for (const TReportPages& report : reports_) {
        SCOPED_TRACE(report.Name);
        const QString pdf = folder.filePath(QString::fromStdString(report.Name + ".pdf"));
        ASSERT_EQ(ExportPdf(report.Pages, pdf), QString());
        const std::vector<std::vector<TWord>> pages = PdfWords(pdf);
        ASSERT_EQ(pages.size(), report.Pages.Pages.size());
        const QRectF paper(QPointF(report.Margins.Left, report.Margins.Top) * kPoints,
                           QPointF(report.Margins.Right, report.Margins.Bottom) * kPoints);
        for (std::size_t p = 0; p < pages.size(); ++p) {
            SCOPED_TRACE("page " + std::to_string(p + 1));
            QStringList found;
            const std::vector<TWord>& words = pages[p];
            for (std::size_t i = 0; i < words.size(); ++i) {
                const QRectF& box = words[i].Box;
                if (!paper.adjusted(-kWordOverlap, -kWordOverlap, kWordOverlap, kWordOverlap)
                         .contains(box))
                    found << words[i].Text + QStringLiteral(" leaves the margins");
                for (std::size_t j = i + 1; j < words.size(); ++j) {
                    const QRectF common = box.intersected(words[j].Box);
                    if (common.width() > kWordOverlap && common.height() > kWordOverlap)
                        found << words[i].Text + QStringLiteral(" meets ") + words[j].Text;
                }
            }
            EXPECT_EQ(found.join(QStringLiteral("\n")).toStdString(), "");
        }
    }
}

} // namespace
} // namespace corvalt
