// The finished PDF: its author in the document information and the XMP
// metadata, its bookmarks, and pages left as the writer drew them.

#include "EngineTestSupport.h"

#include "engine/PageRenderer.h"
#include "engine/PdfFinish.h"
#include "engine/PageSource.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace corvalt {
namespace {

using test::HasTool;
using test::RunTool;
using test::SamplePages;

const QString kAuthor = QStringLiteral("José Müller");

QString WritePdf(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return path;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Pdf(const TPageList& pages, const TPdfOptions& options) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    EXPECT_EQ(ExportPdf(pages, path, options), QString());
    return FileBytes(path);
}

// The value of a "Key:   value" line of pdfinfo's report.
QString InfoField(const QString& info, const QString& key) {
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(key),
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1);
}

TEST(PdfFinish, AuthorIsAddedAndTheTextStaysAsDrawn) {
    if (!HasTool("pdfinfo") || !HasTool("pdftotext")) GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const TPageList pages = SamplePages(2);
    const QString plain = WritePdf(dir, "plain.pdf", Pdf(pages, {QStringLiteral("Sample")}));
    const QString finished =
        WritePdf(dir, "finished.pdf", Pdf(pages, {QStringLiteral("Sample"), false, kAuthor}));
    const QString info = RunTool(QStringLiteral("pdfinfo"), {finished});
    EXPECT_EQ(InfoField(info, QStringLiteral("Author")), kAuthor) << info.toStdString();
    EXPECT_EQ(InfoField(info, QStringLiteral("Title")), QStringLiteral("Sample"));
    const QString before = RunTool(QStringLiteral("pdftotext"), {plain, QStringLiteral("-")});
    EXPECT_TRUE(before.contains(QStringLiteral("Corvalt sample text")));
    EXPECT_EQ(RunTool(QStringLiteral("pdftotext"), {finished, QStringLiteral("-")}), before);
}

// PDF/A needs the document information and the XMP metadata to agree; the
// metadata stays unfiltered and no object streams appear.
TEST(PdfFinish, PdfAKeepsItsMetadataInAgreement) {
    const QByteArray pdf =
        Pdf(SamplePages(1), {QStringLiteral("Archive"), true, QStringLiteral("A & B <Lines>")});
    EXPECT_TRUE(pdf.startsWith("%PDF-1.4"));
    EXPECT_FALSE(pdf.contains("/ObjStm"));
    EXPECT_TRUE(pdf.contains("pdfaid:part"));
    const QString text = QString::fromUtf8(pdf);
    const QRegularExpression creator(QStringLiteral(
        "<dc:creator>\\s*<rdf:Seq>\\s*<rdf:li>([^<]*)</rdf:li>\\s*</rdf:Seq>\\s*</dc:creator>"));
    EXPECT_EQ(text.count(QStringLiteral("<dc:creator")), 1);
    EXPECT_EQ(creator.match(text).captured(1), QStringLiteral("A &amp; B &lt;Lines&gt;"));
    if (!HasTool("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const QString path = WritePdf(dir, "archive.pdf", pdf);
    EXPECT_EQ(InfoField(RunTool(QStringLiteral("pdfinfo"), {path}), QStringLiteral("Author")),
              QStringLiteral("A & B <Lines>"));
}

// The packet's dc:creator names the author: one there keeps its start tag
// (others go); else one is added to the first description, declaring dc
// where the description does not.
TEST(PdfFinish, CreatorInTheXmpPacketNamesTheAuthor) {
    const QByteArray rdf = "<x:m xmlns:x=\"adobe:ns:meta/\"><r:RDF "
                           "xmlns:r=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">";
    const QByteArray dc = " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";
    const QByteArray open = rdf + "<r:Description" + dc + "><dc:title/>";
    const QByteArray end = "</r:RDF></x:m>", close = "</r:Description>" + end;
    const QByteArray list = "<r:Seq><r:li>José Müller &amp; &lt;Co&gt;</r:li></r:Seq></dc:creator>";
    const QByteArray old = "<dc:creator><r:Seq><r:li>Old</r:li></r:Seq></dc:creator>";
    const std::pair<QByteArray, QByteArray> cases[] = {
        {open + old + "<dc:creator/>" + close, open + "<dc:creator>" + list + close},
        {rdf + "<r:Description/>" + end, rdf + "<r:Description><dc:creator" + dc + ">" + list + close},
        {"<r:Description/>", "<r:Description/>"}, // not well-formed: no namespace
    };
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(XmpWithCreator(given, QStringLiteral("José Müller & <Co>")), expected) << given.data();
}

// Five pages; sections start on pages 1, 3 and 4 (indices 0, 2, 3), the
// second with a title outside Latin-1.
TEST(PdfFinish, EachSectionIsABookmarkOnItsFirstPage) {
    TPageList pages = SamplePages(5);
    pages.Sections = {{QStringLiteral("North"), 0},
                      {QStringLiteral("Süd — 2 ≥ 1"), 2},
                      {QStringLiteral("East"), 3}};
    const QByteArray bytes = Pdf(pages, {});
    QPDF pdf;
    pdf.processMemoryFile("bookmarks.pdf", bytes.constData(), std::size_t(bytes.size()));
    EXPECT_EQ(pdf.getRoot().getKey("/PageMode").getName(), "/UseOutlines");
    EXPECT_EQ(pdf.getRoot().getKey("/Outlines").getKey("/Count").getIntValue(), 3);
    const std::vector<QPDFPageObjectHelper> pdfPages = QPDFPageDocumentHelper(pdf).getAllPages();
    std::vector<TSectionMark> found;
    for (QPDFOutlineObjectHelper& item : QPDFOutlineDocumentHelper(pdf).getTopLevelOutlines()) {
        const auto page = std::find_if(pdfPages.begin(), pdfPages.end(), [&](auto& p) {
            return p.getObjectHandle().getObjGen() == item.getDestPage().getObjGen();
        });
        found.push_back({QString::fromStdString(item.getTitle()), int(page - pdfPages.begin())});
    }
    EXPECT_EQ(found, pages.Sections);
}

TEST(PdfFinish, DamagedDocumentGivesAnError) {
    QTemporaryDir dir;
    const QString draft = WritePdf(dir, "draft.pdf", "%PDF-1.4 nothing else");
    const QString result = WritePdf(dir, "result.pdf", "");
    const QString error = FinishPdfFile(QFile::encodeName(draft).toStdString(),
                                        QFile::encodeName(result).toStdString(), kAuthor, {});
    EXPECT_TRUE(error.contains(QStringLiteral("could not be added"))) << error.toStdString();
}

// Pages from a list, the one at failAt unreadable; each read notes the files
// then in the folder.
struct TWatchedSource final : TPageSource {
    TWatchedSource(const TPageList& pages, const QString& folder, std::size_t failAt)
        : List(pages), Folder(folder), FailAt(failAt) {}
    TPageListSource List;
    QString Folder;
    std::size_t FailAt;
    QStringList Seen = {};
    double PaperWidth() const override { return List.PaperWidth(); }
    double PaperHeight() const override { return List.PaperHeight(); }
    std::size_t PageCount() const override { return List.PageCount(); }
    const std::vector<TSectionMark>& Sections() const override { return List.Sections(); }
    const TPage* Page(std::size_t index) override {
        Seen = QDir(Folder).entryList(QDir::Files | QDir::Hidden);
        return index == FailAt ? nullptr : List.Page(index);
    }
    QString Error() const override { return QStringLiteral("page 2 is unreadable"); }
};

// The pages are painted into a draft beside the target, not into memory; the
// finished file replaces the target, or on failure the target stays as it
// was; nothing else is left in the folder.
TEST(PdfFinish, TheDocumentIsDraftedBesideTheTargetAndReplacesItWhole) {
    const TPageList pages = SamplePages(3);
    for (const std::size_t failAt : {3, 1}) {
        QTemporaryDir dir;
        const QString target = WritePdf(dir, "out.pdf", "old");
        TWatchedSource source(pages, dir.path(), failAt);
        const QString error = ExportPdfFile(source, QFile::encodeName(target).toStdString(), {});
        // The target, the draft and the file that is to replace the target.
        EXPECT_EQ(source.Seen.filter(QStringLiteral(".out.pdf.saving-")).size(), 2) << failAt;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
        const QByteArray written = FileBytes(target);
        if (failAt == 1) {
            EXPECT_EQ(written, "old");
            EXPECT_TRUE(error.endsWith(QStringLiteral("\"out.pdf\" cannot be written: page 2 is "
                                                      "unreadable.")))
                << error.toStdString();
        } else {
            QPDF pdf;
            pdf.processMemoryFile("out.pdf", written.constData(), std::size_t(written.size()));
            EXPECT_EQ(QPDFPageDocumentHelper(pdf).getAllPages().size(), 3u) << error.toStdString();
        }
    }
}

} // namespace
} // namespace corvalt
