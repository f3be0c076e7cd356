#pragma once
// One run of a report: lay it out on a fresh page canvas, streaming each page
// into the page file as it is finished, and read the file back. The preview
// gets the pages in memory (RunReportToFile): a window keeps them, so a later
// run that rewrites the same file does not change them. An export gets a
// reader of the file (RunReportStreamed), which holds one page at a time.

#include "engine/PageEvents.h"
#include "engine/PageFile.h"

#include <functional>
#include <memory>

namespace corvalt {

// pageStarted is called with each page number as the layout reaches it (for the
// status line, see PageStatusText). On failure Error says what went wrong and no
// pages are returned.
TPageFileResult RunReportToFile(TPageEvents& report,
                                const QString& path = QString::fromLatin1(kDefaultPageFileName),
                                std::function<void(int)> pageStarted = {});

// The run's page file, checked and open for reading a page at a time; on
// failure Error says what went wrong and Pages is null.
struct TStreamedRun {
    QString Error;
    std::shared_ptr<TPageFileReader> Pages;
};
TStreamedRun RunReportStreamed(TPageEvents& report, const QString& path,
                               std::function<void(int)> pageStarted = {});

} // namespace corvalt
