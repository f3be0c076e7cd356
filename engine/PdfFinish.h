#pragma once
// The last step of the PDF export: what Qt's PDF writer cannot write itself,
// added to the drawn document without touching its pages. The author goes
// into the document information and, where the document carries XMP metadata
// (PDF/A), into its dc:creator as well, so the two agree; the report's
// sections become bookmarks that open on their first pages. The document goes
// from file to file, so that a report of any length is never held in memory.

#include "engine/PageModel.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace corvalt {

// Reads the PDF document at draftPath and writes it to resultPath (a file
// that exists, which is overwritten) with /Author set (when author is not
// empty) and one bookmark per section (when there are any; the viewer then
// opens with the bookmarks shown). Object streams and stream data are left as
// the writer made them, so a PDF/A-1 document stays one. Returns an empty
// text, else why the document could not be read or written.
QString FinishPdfFile(const std::string& draftPath, const std::string& resultPath,
                      const QString& author, const std::vector<TSectionMark>& sections);

// The XMP packet with its dc:creator naming only the author: a dc:creator that
// is there is replaced (further ones are dropped), else one is added to the
// first rdf:Description. The rest of the packet is copied as it is. Unchanged
// when it has no rdf:Description or is not well-formed XML.
QByteArray XmpWithCreator(const QByteArray& xmp, const QString& author);

} // namespace corvalt
