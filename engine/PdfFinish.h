#pragma once
// The last step of the PDF export: what Qt's PDF writer cannot write itself,
// added to the finished document without touching its pages. The author goes
// into the document information and, where the document carries XMP metadata
// (PDF/A), into its dc:creator as well, so the two agree; the report's
// sections become bookmarks that open on their first pages.

#include "engine/PageModel.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace corvalt {

// The document with /Author set (when author is not empty) and one bookmark
// per section (when there are any; the viewer then opens with the bookmarks
// shown). Object streams and stream data are left as the writer made them, so
// a PDF/A-1 document stays one. Empty, with error set, when the document could
// not be read or written.
QByteArray FinishPdf(const QByteArray& pdf, const QString& author,
                     const std::vector<TSectionMark>& sections, QString& error);

// The XMP packet with its dc:creator naming only the author (text escaped for
// XML). A dc:creator that is there is replaced; else one is added to the
// first rdf:Description. Unchanged when it has no rdf:Description.
QByteArray XmpWithCreator(const QByteArray& xmp, const QString& author);

} // namespace corvalt
