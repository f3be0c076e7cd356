#pragma once
// One preview run of a report: lay it out on a fresh page canvas, write the
// page file and read it back. The pages returned are what the preview shows,
// prints and exports; the window keeps them in memory, so a later run that
// rewrites the same file does not change them.

#include "engine/PageEvents.h"
#include "engine/PageFile.h"

#include <functional>

namespace corvalt {

// pageStarted is called with each page number as the layout reaches it (for the
// status line, see PageStatusText). On failure Error says what went wrong and no
// pages are returned.
TPageFileResult RunReportToFile(TPageEvents& report,
                                const QString& path = QString::fromLatin1(kDefaultPageFileName),
                                std::function<void(int)> pageStarted = {});

} // namespace corvalt
