#include "EngineTestSupport.h"

#include <QDir>
#include <QGuiApplication>
#ifdef CORVALT_TEST_WIDGETS
#include <QApplication>
#endif
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace corvalt::test {

namespace {

// The engine measures fonts, which needs a QGuiApplication; tests of pages that
// hold charts (the reports' plot pages) build with CORVALT_TEST_WIDGETS and get
// a QApplication. CTest gives every test a private XDG_RUNTIME_DIR in the build
// tree.
class TQtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
#ifdef CORVALT_TEST_WIDGETS
        app_ = std::make_unique<QApplication>(argc_, argv_);
#else
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
#endif
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "engine-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

} // namespace

TPageList RunBody(const std::function<void(TPageCanvas&)>& body) {
    TLambdaReport report;
    report.Body = body;
    TPageCanvas canvas;
    EXPECT_TRUE(canvas.Run(report).Ok);
    return canvas.TakePages();
}

QImage SampleBitmap() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::cyan, 3));
    painter.setBrush(Qt::red);
    painter.drawEllipse(QRectF(2, 2, 28, 28));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("A"));
    return image;
}

TLambdaReport SampleReport(int pages) {
    TLambdaReport report;
    report.Header = [](TPageCanvas& c) {
        c.PushFont();
        c.SetSectionTop(0.5);
        c.SetSectionLeft(0.75);
        c.SetSectionRight(c.PageWidth() - 0.5);
        c.SelectFont(QStringLiteral("Arial"), 16);
        c.SetUnderline(true);
        c.PrintOnFirstLine(QStringLiteral("Engine Sample Page"), TJustify::Centre);
        c.SetSectionBottom(c.PageHeight() - 0.9);
        c.PopFont();
        c.SetCursorY(1.2);
        c.MarkTopOfPage();
        c.GoHome();
    };
    report.Footer = [](TPageCanvas& c) {
        c.PushFont();
        c.SelectFont(QStringLiteral("Tahoma"), 10);
        c.KeepLineTop();
        c.SetSectionBottom(c.PageHeight() - 0.6);
        c.PrintOnLastLine(QStringLiteral("December 08, 2025"), TJustify::Left);
        c.PrintOnLastLine(QStringLiteral("sample.emf"), TJustify::Centre);
        c.PrintOnLastLine(QStringLiteral("Page %1 ").arg(c.PageNumber()), TJustify::Right);
        c.PopFont();
    };
    report.Body = [pages](TPageCanvas& c) {
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) c.NewPage();
            c.SelectFont(QStringLiteral("Tahoma"), 12);
            c.KeepLineTop();
            c.SetBold(true);
            c.PrintTextLine(QStringLiteral("Corvalt sample text, bold Tahoma 12"));
            c.SetBold(false);
            c.NewLine();
            c.SelectFont(QStringLiteral("Tahoma"), 8);
            c.KeepLineTop();
            c.ClearTabs();
            c.DefineTab(1.25, TJustify::Centre, 1.4, 3, BoxLeft | BoxRight | BoxTop, 5);
            c.DefineTab(kTabAfterPrevious, TJustify::Centre, 0.75, 3, BoxAll, 5);
            c.DefineTab(kTabAfterPrevious, TJustify::Centre, 1.5, 3, BoxAll, 5);
            c.PrintTextLine(QStringLiteral("\tCross Section\tWidth\tWithin ROW"));
            c.ClearTabs();
            c.DefineTab(1.25, TJustify::Left, 1.4, 3, BoxAll, 0);
            c.DefineTab(kTabAfterPrevious, TJustify::Right, 0.75, 3, BoxAll, 0);
            c.DefineTab(kTabAfterPrevious, TJustify::Right, 1.5, 3, BoxAll, 0);
            c.SelectFont(QStringLiteral("Tahoma"), 10);
            c.KeepLineTop();
            for (int row = 1; row <= 4; ++row) {
                c.PrintText(QStringLiteral("\tLine %1\t%2").arg(row).arg(100 * row));
                c.SetBold(true);
                c.NextTab(TTabOverrides{.Shade = 5});
                c.PrintText(QStringLiteral("%1.5").arg(row));
                c.SetBold(false);
                c.NewLine();
            }
            c.NewLine();
            c.SetPen(Qt::black, Qt::DashLine, TLineWidth::Inches(0.01));
            c.MoveTo(1.25, c.CursorY());
            c.LineTo(6.5, c.CursorY());
            c.SetPen(Qt::black, Qt::SolidLine, TLineWidth::Inches(0.03));
            c.MoveTo(1.25, c.CursorY() + 0.2);
            c.LineTo(6.5, c.CursorY() + 1.2);
            c.SetBrush(Qt::black, Qt::SolidPattern);
            c.FrameRect(1.25, c.CursorY() + 1.5, 6.5, c.CursorY() + 3.0);
            c.SetDrawOrigin(1.25, c.CursorY() + 1.5);
            c.DrawBitmap(0.2, 0.2, 0.3, 0.3, SampleBitmap());
            c.DrawBitmap(0.5, 0.2, 1.5, 1.2, SampleBitmap());
            c.SetDrawOrigin(0, 0);
            c.SetPen(Qt::black, Qt::SolidLine, TLineWidth::DevicePixels(1));
        }
    };
    return report;
}

TPageList SamplePages(int pages) {
    TLambdaReport report = SampleReport(pages);
    TPageCanvas canvas;
    EXPECT_TRUE(canvas.Run(report).Ok);
    return canvas.TakePages();
}

bool HasTool(const char* tool) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty();
}

QString RunTool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace corvalt::test
