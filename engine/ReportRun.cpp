#include "engine/ReportRun.h"

#include "engine/PageCanvas.h"

namespace corvalt {

namespace {

// Lays the report out into the page file at path, a page at a time. Returns
// an empty string on success, else the error text.
QString RunIntoFile(TPageEvents& report, const QString& path,
                    std::function<void(int)> pageStarted) {
    TPageCanvas canvas;
    TPageFileWriter writer(path, canvas.PageWidth(), canvas.PageHeight());
    canvas.SetPageStartedHandler(std::move(pageStarted));
    canvas.SetPageSink([&writer](TPage&& page) { writer.AddPage(page); });
    const TRunResult run = canvas.Run(report);
    if (!run.Ok) return run.Error; // the writer, unfinished, leaves no file
    return writer.Finish(canvas.Pages().Sections);
}

} // namespace

TPageFileResult RunReportToFile(TPageEvents& report, const QString& path,
                                std::function<void(int)> pageStarted) {
    if (const QString error = RunIntoFile(report, path, std::move(pageStarted)); !error.isEmpty())
        return {false, error, {}};
    return ReadPageFile(path);
}

TStreamedRun RunReportStreamed(TPageEvents& report, const QString& path,
                               std::function<void(int)> pageStarted) {
    if (const QString error = RunIntoFile(report, path, std::move(pageStarted)); !error.isEmpty())
        return {error, nullptr};
    auto pages = std::make_shared<TPageFileReader>(path);
    if (!pages->Ok()) return {pages->Error(), nullptr};
    return {{}, std::move(pages)};
}

} // namespace corvalt
