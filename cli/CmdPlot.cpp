// corvalt-cli plot FILE.emf --out OUT.(png|svg|pdf) [--section N] [--corona]
// [--size WxH] [--paper letter|a4]: computes cross section N (1-based,
// default 1) as compute does (without the data check) and draws its field
// profile, or with --corona its corona effects, into a picture whose format
// the extension names, of the size (pixels, or points for a PDF; 1200x750
// unless given), or for a PDF on the paper in landscape with a title block
// (project, cross section, date, program version). It draws
// offscreen when there is no display. A cross section that cannot be computed
// has no plot: the command says why, writes nothing and exits 1, as export does.
#include "cli/ArgOptions.h"
#include "cli/Commands.h"
#include "cli/HeadlessApplication.h"

#include "compute/Compute.h"
#include "model/Project.h"
#include "plots/PlotData.h"
#include "plots/PlotPicture.h"

namespace corvalt::cli {
namespace {
constexpr const char* kUsage =
    "usage: corvalt-cli plot FILE.emf --out OUT.(png|svg|pdf) [--section N] [--corona] "
    "[--size WxH] [--paper letter|a4]";

// Takes --size and --paper; the error message when either is wrong, when
// both are given, or when --paper is given for a picture that is no PDF.
std::optional<std::string> TakeLayout(Args& args, TPictureFormat format, TPictureLayout& layout) {
    int width = 0, height = 0; // stay 0 without --size
    if (auto error = TakeSizeOption(args, kMinPictureSide, kMaxPictureSide, width, height))
        return error;
    const bool sizeGiven = width > 0;
    if (sizeGiven) layout.Size = QSize(width, height);
    std::string paper;
    bool paperGiven = false;
    if (auto error = TakeOption(args, "--paper", "letter or a4", paper, paperGiven)) return error;
    if (!paperGiven) return std::nullopt;
    layout.Paper = PaperOf(paper);
    if (!layout.Paper) return "--paper needs letter or a4, not '" + paper + "'";
    if (format != TPictureFormat::Pdf) return "--paper is for a PDF only (OUT.pdf)";
    if (sizeGiven) return "--size and --paper cannot go together: a PDF on paper has its size";
    return std::nullopt;
}
} // namespace

int RunPlot(const Args& arguments) {
    Args args = arguments;
    std::string outFile;
    bool outGiven = false;
    int section = 1;
    if (auto error = TakeOption(args, "--out", "a file name", outFile, outGiven))
        return Fail(ExitBadInput, *error);
    if (auto error = TakeSectionOption(args, section)) return Fail(ExitBadInput, *error);
    const bool corona = TakeFlag(args, "--corona");
    if (!outGiven) return Fail(ExitBadInput, kUsage);
    const std::optional<TPictureFormat> format = PictureFormatOf(outFile);
    if (!format)
        return Fail(ExitBadInput, outFile + ": the picture's name must end in .png, .svg or .pdf");
    TPictureLayout layout;
    if (auto error = TakeLayout(args, *format, layout)) return Fail(ExitBadInput, *error);
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1) return Fail(ExitBadInput, kUsage);
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    TScenario* scenario = SectionOrFail(project, section, args[0]);
    if (scenario == nullptr) return ExitBadInput;
    if (!ComputeScenario(*scenario)) return Fail(ExitCheckFailed, scenario->CalcError);

    TPlotOptions options;
    options.Kind = corona ? TPlotKind::Corona : TPlotKind::Fields;
    const TPlotData data = BuildPlotData(*scenario, {}, options);
    const THeadlessApplication application(THeadlessApplication::TKind::Widgets);
    layout.Title = TitleBlockOf(*scenario);
    const QString error = ExportPicture(data, outFile, *format, layout);
    if (!error.isEmpty()) return Fail(ExitBadInput, error.toStdString());
    return ExitOk;
}

} // namespace corvalt::cli
