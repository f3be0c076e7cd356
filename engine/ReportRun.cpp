#include "engine/ReportRun.h"

#include "engine/PageCanvas.h"

namespace corvalt {

TPageFileResult RunReportToFile(TPageEvents& report, const QString& path,
                                std::function<void(int)> pageStarted) {
    {
        // The canvas and its pages are gone before the file is read back, so
        // the report is not held twice.
        TPageCanvas canvas;
        canvas.SetPageStartedHandler(std::move(pageStarted));
        const TRunResult run = canvas.Run(report);
        if (!run.Ok) return {false, run.Error, {}};
        const QString writeError = WritePageFile(path, canvas.TakePages());
        if (!writeError.isEmpty()) return {false, writeError, {}};
    }
    return ReadPageFile(path);
}

} // namespace corvalt
