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

// The PDF/A export names the author in the packet's dc:creator: one already
// there gets the author (its start tag kept, further ones dropped); else one
// is added to the first description. Everything else is copied as it was.
TEST(PdfFinish, CreatorInTheXmpPacketNamesTheAuthor) {
    const QByteArray rdf = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><r:RDF "
                           "xmlns:r=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">";
    const QByteArray dc = " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";
    const QByteArray open = rdf + "<r:Description" + dc + " r:about=\"\"><dc:title/>";
    const QByteArray close = "</r:Description></r:RDF></x:xmpmeta>";
    const QByteArray list = "<r:Seq><r:li>José Müller &amp; &lt;Co&gt;</r:li></r:Seq>";
    const QByteArray creator = "<dc:creator>" + list + "</dc:creator>";
    const QByteArray old = "<dc:creator><r:Seq><r:li>Old</r:li></r:Seq></dc:creator>";
    const struct {
        QByteArray Given, Expected;
    } cases[] = {
        {open + old + close, open + creator + close},
        {open + old + "<dc:creator/>" + close, open + creator + close},
        {open + close, open + creator + close},
        // The dc namespace declared where the creator goes when it is not there.
        {rdf + "<r:Description/></r:RDF></x:xmpmeta>",
         rdf + "<r:Description><dc:creator" + dc + ">" + list + "</dc:creator>" + close},
        {"<r:Description/>", "<r:Description/>"}, // not well-formed: no namespace
    };
    for (const auto& c : cases)
        EXPECT_EQ(XmpWithCreator(c.Given, QStringLiteral("José Müller & <Co>")), c.Expected)
            << c.Given.toStdString();
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

// Pages from a list; the page at failAt cannot be read. Each read notes the
// files then in the target's folder.
class TWatchedSource final : public TPageSource {
  public:
    TWatchedSource(const TPageList& pages, const QString& folder, std::size_t failAt)
        : list_(pages), folder_(folder), failAt_(failAt) {}
    double PaperWidth() const override { return list_.PaperWidth(); }
    double PaperHeight() const override { return list_.PaperHeight(); }
    std::size_t PageCount() const override { return list_.PageCount(); }
    const std::vector<TSectionMark>& Sections() const override { return list_.Sections(); }
    const TPage* Page(std::size_t index) override {
        Seen = QDir(folder_).entryList(QDir::Files | QDir::Hidden);
        return index == failAt_ ? nullptr : list_.Page(index);
    }
    QString Error() const override { return QStringLiteral("page 2 is unreadable"); }
    QStringList Seen;

  private:
    TPageListSource list_;
    QString folder_;
    std::size_t failAt_;
};

// The pages are painted into a draft beside the target, never into memory
// whole; the finished document replaces the target, or on failure the target
// stays as it was; either way nothing else is left in the folder.
TEST(PdfFinish, TheDocumentIsDraftedBesideTheTargetAndReplacesItWhole) {
    const TPageList pages = SamplePages(3);
    for (const std::size_t failAt : {std::size_t{3}, std::size_t{1}}) {
        SCOPED_TRACE(failAt);
        QTemporaryDir dir;
        const QString target = WritePdf(dir, "out.pdf", "old");
        TWatchedSource source(pages, dir.path(), failAt);
        const QString error = ExportPdfFile(source, QFile::encodeName(target).toStdString(),
                                            {QStringLiteral("Out"), false, kAuthor});
        // The target, the draft and the file that is to replace the target.
        EXPECT_EQ(source.Seen.size(), 3);
        EXPECT_EQ(source.Seen.filter(QRegularExpression(QStringLiteral("^\\.out\\.pdf\\.saving-")))
                      .size(),
                  2);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("out.pdf")});
        const QByteArray written = FileBytes(target);
        if (failAt == 1) {
            EXPECT_EQ(written, "old");
            EXPECT_TRUE(error.contains(QStringLiteral("\"out.pdf\" cannot be written: page 2 is "
                                                      "unreadable")))
                << error.toStdString();
            continue;
        }
        ASSERT_EQ(error, QString());
        QPDF pdf;
        pdf.processMemoryFile("out.pdf", written.constData(), std::size_t(written.size()));
        EXPECT_EQ(QPDFPageDocumentHelper(pdf).getAllPages().size(), 3u);
    }
}

} // namespace
} // namespace corvalt
