#include "engine/PdfFinish.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <exception>
#include <string>

namespace corvalt {

namespace {

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

void WriteFinished(QPDF& pdf, const std::string& resultPath) {
    QPDFWriter writer(pdf, resultPath.c_str());
    // PDF/A-1 allows no object streams; streams keep their filters as written.
    writer.setObjectStreamMode(qpdf_o_disable);
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setCompressStreams(false);
    writer.setNewlineBeforeEndstream(true);
    writer.write();
}

const QString kRdf = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");
const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");

bool IsElement(const QXmlStreamReader& in, const QString& namespaceUri, QStringView name) {
    return in.namespaceUri() == namespaceUri && in.name() == name;
}

// Copies the reader's current token as it was written: names with their
// prefixes, namespace declarations as they stand.
void CopyToken(const QXmlStreamReader& in, QXmlStreamWriter& out) {
    switch (in.tokenType()) {
    case QXmlStreamReader::StartElement:
        out.writeStartElement(in.qualifiedName().toString());
        for (const QXmlStreamNamespaceDeclaration& ns : in.namespaceDeclarations()) {
            const QString prefix = ns.prefix().toString();
            out.writeAttribute(prefix.isEmpty() ? QStringLiteral("xmlns")
                                                : QStringLiteral("xmlns:") + prefix,
                               ns.namespaceUri().toString());
        }
        for (const QXmlStreamAttribute& attribute : in.attributes())
            out.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
        break;
    case QXmlStreamReader::EndElement:
        out.writeEndElement();
        break;
    case QXmlStreamReader::Characters:
        if (in.isCDATA())
            out.writeCDATA(in.text().toString());
        else
            out.writeCharacters(in.text().toString());
        break;
    case QXmlStreamReader::Comment:
        out.writeComment(in.text().toString());
        break;
    case QXmlStreamReader::ProcessingInstruction:
        out.writeProcessingInstruction(in.processingInstructionTarget().toString(),
                                       in.processingInstructionData().toString());
        break;
    case QXmlStreamReader::StartDocument:
        if (!in.documentVersion().isEmpty()) out.writeStartDocument(in.documentVersion().toString());
        break;
    default: // the end of the document; no DTD or entity is expected in XMP
        break;
    }
}

// The content of dc:creator: an ordered list of one name, in the rdf prefix
// that the enclosing description uses.
void WriteCreatorList(QXmlStreamWriter& out, const QString& rdfPrefix, const QString& author) {
    const QString rdf = rdfPrefix.isEmpty() ? QString() : rdfPrefix + QLatin1Char(':');
    out.writeStartElement(rdf + QStringLiteral("Seq"));
    out.writeTextElement(rdf + QStringLiteral("li"), author);
    out.writeEndElement();
}

} // namespace

QByteArray XmpWithCreator(const QByteArray& xmp, const QString& author) {
    QXmlStreamReader in(xmp);
    QByteArray changed;
    QXmlStreamWriter out(&changed);
    bool written = false;
    QString rdfPrefix;
    bool dcDeclared = false; // by the description, for the dc:creator added to it
    while (!in.atEnd()) {
        in.readNext();
        if (in.isStartElement() && IsElement(in, kDc, u"creator")) {
            // The first keeps its start tag and gets the author; others go.
            if (!written) {
                CopyToken(in, out);
                WriteCreatorList(out, rdfPrefix, author);
                out.writeEndElement();
                written = true;
            }
            in.skipCurrentElement();
            continue;
        }
        if (in.isStartElement() && IsElement(in, kRdf, u"Description")) {
            rdfPrefix = in.prefix().toString();
            const QXmlStreamNamespaceDeclarations declared = in.namespaceDeclarations();
            dcDeclared = std::any_of(declared.begin(), declared.end(), [](const auto& ns) {
                return ns.prefix() == u"dc" && ns.namespaceUri() == kDc;
            });
        }
        if (in.isEndElement() && IsElement(in, kRdf, u"Description") && !written) {
            out.writeStartElement(QStringLiteral("dc:creator"));
            if (!dcDeclared) out.writeAttribute(QStringLiteral("xmlns:dc"), kDc);
            WriteCreatorList(out, rdfPrefix, author);
            out.writeEndElement();
            written = true;
        }
        CopyToken(in, out);
    }
    if (in.hasError() || !written) return xmp;
    return changed;
}

QString FinishPdfFile(const std::string& draftPath, const std::string& resultPath,
                      const QString& author, const std::vector<TSectionMark>& sections) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(draftPath.c_str());
        if (!author.isEmpty()) {
            SetInfoAuthor(pdf, author);
            SetXmpCreator(pdf, author);
        }
        AddOutline(pdf, sections);
        WriteFinished(pdf, resultPath);
        return {};
    } catch (const std::exception& e) {
        return QStringLiteral("its author and bookmarks could not be added (%1)")
            .arg(QString::fromUtf8(e.what()));
    }
}

} // namespace corvalt
