// Plot pictures: each format by its extension; PNG, SVG and PDF files that
// their readers accept, drawn offscreen for every cross section of every
// sample; a plot whose cross section failed still draws (its reason); and a
// pipe as the target refused by the safe writer, the pipe left alone.
#include "plots/PlotPicture.h"

#include "compute/Compute.h"
#include "model/Project.h"

#include <QApplication>
#include <QImage>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace corvalt {
namespace {

namespace fs = std::filesystem;

class PlotPicture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "corvalt_plots_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr) app_ = new QApplication(argc, argv);
    }
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("corvalt-plots-" + std::to_string(getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::unique_ptr<TEmfProject> Sample(const char* name) {
        auto project = std::make_unique<TEmfProject>();
        EXPECT_TRUE(project->Load((fs::path(CORVALT_SOURCE_DIR) / "examples" / name).string()).Ok);
        ComputeAll(*project);
        return project;
    }

    static inline QApplication* app_ = nullptr;
    fs::path folder_;
};

TEST_F(PlotPicture, FormatFollowsTheExtensionInAnyCase) {
    EXPECT_EQ(PictureFormatOf("a.png"), TPictureFormat::Png);
    EXPECT_EQ(PictureFormatOf("/x/b.PNG"), TPictureFormat::Png);
    EXPECT_EQ(PictureFormatOf("c.Svg"), TPictureFormat::Svg);
    EXPECT_EQ(PictureFormatOf("d.pdf"), TPictureFormat::Pdf);
    EXPECT_FALSE(PictureFormatOf("e.jpg"));
    EXPECT_FALSE(PictureFormatOf("png"));
    EXPECT_FALSE(PictureFormatOf("f.png.txt"));
}

TEST_F(PlotPicture, EveryFormatReadsBackForEverySampleAndKind) {
    for (const char* name : {"sample-english.emf", "sample-metric.emf"}) {
        const auto project = Sample(name);
        for (const TScenario& scenario : project->Scenarios) {
            for (const TPlotKind kind : {TPlotKind::Fields, TPlotKind::Corona}) {
                SCOPED_TRACE(std::string(name) + " " + scenario.TabTitle +
                             (kind == TPlotKind::Corona ? " corona" : " fields"));
                TPlotOptions options;
                options.Kind = kind;
                const TPlotData data = BuildPlotData(scenario, {}, options);
                QString error;
                const QByteArray png = PictureBytes(data, TPictureFormat::Png, error);
                ASSERT_TRUE(error.isEmpty()) << error.toStdString();
                QImage image;
                ASSERT_TRUE(image.loadFromData(png, "PNG"));
                EXPECT_EQ(image.size(), kPictureSize);
                const QByteArray svg = PictureBytes(data, TPictureFormat::Svg, error);
                ASSERT_TRUE(error.isEmpty());
                QSvgRenderer renderer(svg);
                EXPECT_TRUE(renderer.isValid());
                EXPECT_TRUE(svg.contains("Distance ("));
                const QByteArray pdf = PictureBytes(data, TPictureFormat::Pdf, error);
                ASSERT_TRUE(error.isEmpty());
                EXPECT_TRUE(pdf.startsWith("%PDF-"));
                EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
            }
        }
    }
}

TEST_F(PlotPicture, ThePictureShowsTheLines) {
    // The E line's colour appears in the picture; with E switched off it does not.
    const auto project = Sample("sample-metric.emf");
    const auto countBlue = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(0x1f, 0x4e, 0xb4)) ++count;
        return count;
    };
    TPlotOptions options;
    QString error;
    QImage with;
    with.loadFromData(PictureBytes(BuildPlotData(project->Scenarios[0], {}, options),
                                   TPictureFormat::Png, error));
    options.Shown[static_cast<std::size_t>(TPlotQuantity::EField)] = false;
    QImage without;
    without.loadFromData(PictureBytes(BuildPlotData(project->Scenarios[0], {}, options),
                                      TPictureFormat::Png, error));
    EXPECT_GT(countBlue(with), 200);
    EXPECT_EQ(countBlue(without), 0);
}

TEST_F(PlotPicture, WritesThroughTheSafeWriterAndRefusesAPipe) {
    const auto project = Sample("sample-metric.emf");
    const TPlotData data = BuildPlotData(project->Scenarios[0], {}, {});
    const fs::path file = folder_ / "plot.svg";
    EXPECT_TRUE(ExportPicture(data, file.string(), TPictureFormat::Svg).isEmpty());
    EXPECT_GT(fs::file_size(file), 1000u);

    const fs::path pipe = folder_ / "pipe.png";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    const QString error = ExportPicture(data, pipe.string(), TPictureFormat::Png);
    EXPECT_TRUE(error.startsWith("The picture file \"pipe.png\" cannot be written: "))
        << error.toStdString();
    EXPECT_TRUE(error.contains("is not a regular file")) << error.toStdString();
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(pipe)));
}

} // namespace
} // namespace corvalt
