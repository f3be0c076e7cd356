// corvalt-cli report --pdfa read back as an archive validator reads it.
#include "CliRun.h"
#include "model/Project.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

namespace corvalt::testing {
namespace {

class PdfArchive : public TCliTest {};

std::string Bytes(const std::shared_ptr<Buffer>& buffer) {
    return {reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize()};
}

// The XMP's properties by prefixed name, from attributes and from lists (the
// items joined, so that two creators would show).
std::map<std::string, std::string> XmpFields(const std::string& xmp) {
    std::map<std::string, std::string> fields;
    QXmlStreamReader in(QByteArray::fromStdString(xmp));
    std::string property;
    while (!in.atEnd()) {
        if (in.readNext() != QXmlStreamReader::StartElement) continue;
        for (const QXmlStreamAttribute& a : in.attributes())
            fields[a.qualifiedName().toString().toStdString()] = a.value().toString().toStdString();
        const std::string name = in.qualifiedName().toString().toStdString();
        if (name == "rdf:li") fields[property] += in.readElementText().toStdString();
        else if (!name.starts_with("rdf:")) property = name;
    }
    fields["error"] = in.errorString().toStdString();
    return fields;
}

// Transparency (soft masks, transparency groups, alpha below 1), fonts not
// embedded and object streams, in an object and the direct objects within.
void CheckObject(QPDFObjectHandle object, std::vector<std::string>& faults) {
    if (object.isStream()) object = object.getDict();
    std::vector<QPDFObjectHandle> inside;
    if (object.isArray()) inside = object.getArrayAsVector();
    if (object.isDictionary()) {
        const auto is = [&](const char* key, const char* name) {
            return object.getKey(key).isNameAndEquals(name);
        };
        if (object.hasKey("/SMask") && !is("/SMask", "/None")) faults.push_back("soft mask");
        if (object.getKey("/Group").isDictionary() &&
            object.getKey("/Group").getKey("/S").isNameAndEquals("/Transparency"))
            faults.push_back("transparency group");
        for (const char* alpha : {"/CA", "/ca"})
            if (object.hasKey(alpha) && object.getKey(alpha).getNumericValue() != 1)
                faults.push_back(alpha);
        if (is("/Type", "/FontDescriptor") && !object.hasKey("/FontFile") &&
            !object.hasKey("/FontFile2") && !object.hasKey("/FontFile3"))
            faults.push_back("font not embedded");
        if (is("/Type", "/ObjStm") || is("/Type", "/XRef")) faults.push_back("object stream");
        for (auto& [key, value] : object.getDictAsMap())
            inside.push_back(value);
    }
    for (QPDFObjectHandle& item : inside)
        if (!item.isIndirect()) CheckObject(item, faults);
}

// Names outside ASCII and with XML's special characters, on which the
// document information and the XMP must agree.
TEST_F(PdfArchive, ReportsWrittenAsPdfAKeepThePdfA1bRules) {
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-english.emf")).Ok);
    project.Title = "Zoë & <Ödegård> \"Lines\"";
    project.EngineerName = "José Müller & <Co>";
    ASSERT_TRUE(project.Save(PathOf("archive.emf")).Ok);
    const std::string title =
        "Corona and Field Effects Report \u2014 " + project.Title + " \u2014 230 SC";
    const std::string path = PathOf("archive.pdf");
    const TRun run = Run("report '" + PathOf("archive.emf") + "' --kind 4 --ini '" +
                         PathOf("none.INI") + "' --pdfa --pdf '" + path + "'");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    // Version 1.4 at most, a comment of bytes above 127, a cross-reference
    // table (startxref points at "xref"), not a stream.
    const std::string file = Slurp(path);
    EXPECT_EQ(file.substr(0, 9), "%PDF-1.4\n");
    EXPECT_TRUE(file[9] == '%' && (file[10] & file[11] & file[12] & file[13] & 0x80));
    const std::size_t startxref = file.rfind("startxref") + 9;
    EXPECT_EQ(file.compare(std::stoul(file.substr(startxref)), 4, "xref"), 0);

    QPDF pdf;
    pdf.processFile(path.c_str());
    EXPECT_FALSE(pdf.isEncrypted());
    EXPECT_EQ(pdf.getTrailer().getKey("/ID").getArrayNItems(), 2);
    // The XMP, unfiltered, says PDF/A-1b and agrees with the document
    // information on every entry both hold.
    QPDFObjectHandle metadata = pdf.getRoot().getKey("/Metadata");
    EXPECT_FALSE(metadata.getDict().hasKey("/Filter"));
    std::map<std::string, std::string> xmp = XmpFields(Bytes(metadata.getRawStreamData()));
    EXPECT_EQ(xmp["error"], "");
    EXPECT_EQ(xmp["pdfaid:part"] + xmp["pdfaid:conformance"], "1B");
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    EXPECT_EQ(info.getKey("/Title").getUTF8Value(), title);
    EXPECT_EQ(xmp["dc:title"], title);
    EXPECT_EQ(info.getKey("/Author").getUTF8Value(), project.EngineerName);
    EXPECT_EQ(xmp["dc:creator"], project.EngineerName);
    EXPECT_EQ(info.getKey("/Creator").getUTF8Value(), xmp["xmp:CreatorTool"]);
    EXPECT_EQ(info.getKey("/Producer").getUTF8Value(), xmp["pdf:Producer"]);
    // One output intent for PDF/A-1 with its ICC profile ("acsp" at byte 36).
    QPDFObjectHandle intents = pdf.getRoot().getKey("/OutputIntents");
    ASSERT_EQ(intents.getArrayNItems(), 1);
    EXPECT_TRUE(intents.getArrayItem(0).getKey("/S").isNameAndEquals("/GTS_PDFA1"));
    QPDFObjectHandle profile = intents.getArrayItem(0).getKey("/DestOutputProfile");
    EXPECT_EQ(Bytes(profile.getStreamData(qpdf_dl_generalized)).substr(36, 4), "acsp");

    std::vector<std::string> faults;
    for (QPDFObjectHandle object : pdf.getAllObjects())
        CheckObject(object, faults);
    EXPECT_EQ(faults, std::vector<std::string>{});
}

} // namespace
} // namespace corvalt::testing
