// corvalt-cli plot FILE.emf --out OUT.(png|svg|pdf) [--section N] [--corona]:
// computes cross section N (1-based, default 1) as compute does (without the
// data check) and draws its field profile, or with --corona its corona
// effects, into a picture whose format the extension names. It draws
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
    "usage: corvalt-cli plot FILE.emf --out OUT.(png|svg|pdf) [--section N] [--corona]";
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
    if (auto error = RejectUnknownOptions(args)) return Fail(ExitBadInput, *error);
    if (args.size() != 1 || !outGiven) return Fail(ExitBadInput, kUsage);
    const std::optional<TPictureFormat> format = PictureFormatOf(outFile);
    if (!format)
        return Fail(ExitBadInput, outFile + ": the picture's name must end in .png, .svg or .pdf");
    TEmfProject project;
    if (const int loaded = LoadProjectFile(args[0], project); loaded != ExitOk) return loaded;
    TScenario* scenario = SectionOrFail(project, section, args[0]);
    if (scenario == nullptr) return ExitBadInput;
    if (!ComputeScenario(*scenario)) return Fail(ExitCheckFailed, scenario->CalcError);

    TPlotOptions options;
    options.Kind = corona ? TPlotKind::Corona : TPlotKind::Fields;
    const TPlotData data = BuildPlotData(*scenario, {}, options);
    const THeadlessApplication application(THeadlessApplication::TKind::Widgets);
    const QString error = ExportPicture(data, outFile, *format);
    if (!error.isEmpty()) return Fail(ExitBadInput, error.toStdString());
    return ExitOk;
}

} // namespace corvalt::cli
