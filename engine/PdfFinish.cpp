#include "engine/PdfFinish.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QRegularExpression>

#include <exception>
#include <string>

namespace corvalt {

namespace {

QByteArray XmlEscaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

// /Author of the document information, which a document without one gets.
void SetInfoAuthor(QPDF& pdf, const QString& author) {
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!info.isDictionary()) {
        info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        trailer.replaceKey("/Info", info);
    }
    info.replaceKey("/Author", QPDFObjectHandle::newUnicodeString(author.toStdString()));
}

// The catalog's XMP metadata stream, when there is one, names the author too.
void SetXmpCreator(QPDF& pdf, const QString& author) {
    QPDFObjectHandle metadata = pdf.getRoot().getKey("/Metadata");
    if (!metadata.isStream()) return;
    const std::shared_ptr<Buffer> data = metadata.getStreamData(qpdf_dl_all);
    const QByteArray xmp(reinterpret_cast<const char*>(data->getBuffer()),
                         static_cast<qsizetype>(data->getSize()));
    const QByteArray changed = XmpWithCreator(xmp, author);
    // Metadata of PDF/A is stored unfiltered.
    metadata.replaceStreamData(changed.toStdString(), QPDFObjectHandle::newNull(),
                               QPDFObjectHandle::newNull());
}

// One outline item per section, in order, each opening its first page whole.
void AddOutline(QPDF& pdf, const std::vector<TSectionMark>& sections) {
    const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
    QPDFObjectHandle outlines = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    outlines.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
    std::vector<QPDFObjectHandle> items;
    for (const TSectionMark& section : sections) {
        if (section.Page < 0 || static_cast<std::size_t>(section.Page) >= pages.size()) continue;
        QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(section.Title.toStdString()));
        item.replaceKey("/Parent", outlines);
        item.replaceKey("/Dest", QPDFObjectHandle::newArray(
                                     {pages[static_cast<std::size_t>(section.Page)].getObjectHandle(),
                                      QPDFObjectHandle::newName("/Fit")}));
        if (!items.empty()) {
            item.replaceKey("/Prev", items.back());
            items.back().replaceKey("/Next", item);
        }
        items.push_back(item);
    }
    if (items.empty()) return;
    outlines.replaceKey("/First", items.front());
    outlines.replaceKey("/Last", items.back());
    outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(items.size())));
    QPDFObjectHandle root = pdf.getRoot();
    root.replaceKey("/Outlines", outlines);
    root.replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));
}

QByteArray WrittenBytes(QPDF& pdf) {
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    // PDF/A-1 allows no object streams; streams keep their filters as written.
    writer.setObjectStreamMode(qpdf_o_disable);
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setCompressStreams(false);
    writer.setNewlineBeforeEndstream(true);
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                      static_cast<qsizetype>(buffer->getSize()));
}

} // namespace

QByteArray XmpWithCreator(const QByteArray& xmp, const QString& author) {
    const QByteArray creator =
        "<dc:creator><rdf:Seq><rdf:li>" + XmlEscaped(author) + "</rdf:li></rdf:Seq></dc:creator>";
    QString text = QString::fromUtf8(xmp);
    static const QRegularExpression existing(
        QStringLiteral("<dc:creator\\s*/>|<dc:creator>.*?</dc:creator>"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch found = existing.match(text);
    if (found.hasMatch()) {
        text.replace(found.capturedStart(), found.capturedLength(), QString::fromUtf8(creator));
        return text.toUtf8();
    }
    static const QRegularExpression description(QStringLiteral("<rdf:Description\\b[^>]*[^/]>"));
    const QRegularExpressionMatch open = description.match(text);
    if (!open.hasMatch()) return xmp;
    QString added = QString::fromUtf8(creator);
    if (!open.captured().contains(QStringLiteral("xmlns:dc=")))
        added.replace(QStringLiteral("<dc:creator>"),
                      QStringLiteral("<dc:creator xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"));
    text.insert(open.capturedEnd(), added);
    return text.toUtf8();
}

QByteArray FinishPdf(const QByteArray& bytes, const QString& author,
                     const std::vector<TSectionMark>& sections, QString& error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("report.pdf", bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (!author.isEmpty()) {
            SetInfoAuthor(pdf, author);
            SetXmpCreator(pdf, author);
        }
        AddOutline(pdf, sections);
        return WrittenBytes(pdf);
    } catch (const std::exception& e) {
        error = QStringLiteral("its author and bookmarks could not be added (%1)")
                    .arg(QString::fromUtf8(e.what()));
        return {};
    }
}

} // namespace corvalt
