#include "engine/ReportRun.h"

#include "engine/PageCanvas.h"

namespace corvalt {

TPageFileResult RunReportToFile(TPageEvents& report, const QString& path,
                                std::function<void(int)> pageStarted) {
    TPageCanvas canvas;
    canvas.SetPageStartedHandler(std::move(pageStarted));
    const TRunResult run = canvas.Run(report);
    if (!run.Ok) return {false, run.Error, {}};
    const QString writeError = WritePageFile(path, canvas.Pages());
    if (!writeError.isEmpty()) return {false, writeError, {}};
    return ReadPageFile(path);
}

} // namespace corvalt
