// corvalt-cli report --pdfa read back as an archive validator reads it: what
// PDF/A-1b asks of a document's structure and metadata.
#include "CliRun.h"
#include "model/Project.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <QByteArray>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvalt::testing {
namespace {

class PdfArchive : public TCliTest {};

std::string Bytes(const std::shared_ptr<Buffer>& buffer) {
    return {reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize()};
}

// The XMP packet's properties by prefixed name: those written as attributes
// and as elements with text, the rdf:li items of dc:title and dc:creator
// joined (so two creators would show).
std::map<std::string, std::string> XmpFields(const std::string& xmp) {
    std::map<std::string, std::string> fields;
    QXmlStreamReader in(QByteArray::fromStdString(xmp));
    std::string list; // the dc property whose items are being read
    while (!in.atEnd()) {
        if (in.readNext() != QXmlStreamReader::StartElement) continue;
        for (const QXmlStreamAttribute& attribute : in.attributes())
            fields[attribute.qualifiedName().toString().toStdString()] =
                attribute.value().toString().toStdString();
        const std::string name = in.qualifiedName().toString().toStdString();
        if (name == "dc:title" || name == "dc:creator") list = name;
        if (name == "rdf:li") fields[list] += in.readElementText().toStdString();
        if (name.starts_with("pdfaid:")) fields[name] = in.readElementText().toStdString();
    }
    if (in.hasError()) fields["error"] = in.errorString().toStdString();
    return fields;
}

// What breaks the archive rules in an object and the direct objects within:
// transparency (soft masks, transparency groups, alpha below 1, blend modes),
// fonts not embedded, object and cross-reference streams.
void CheckObject(QPDFObjectHandle object, std::vector<std::string>& faults) {
    if (object.isStream()) object = object.getDict();
    if (object.isArray()) {
        for (QPDFObjectHandle item : object.getArrayAsVector())
            if (!item.isIndirect()) CheckObject(item, faults);
        return;
    }
    if (!object.isDictionary()) return;
    const auto name = [&object](const char* key) {
        QPDFObjectHandle value = object.getKey(key);
        return value.isName() ? value.getName() : std::string();
    };
    if (object.hasKey("/SMask") && name("/SMask") != "/None") faults.push_back("soft mask");
    if (object.getKey("/Group").isDictionary() &&
        object.getKey("/Group").getKey("/S").isNameAndEquals("/Transparency"))
        faults.push_back("transparency group");
    for (const char* alpha : {"/CA", "/ca"})
        if (object.hasKey(alpha) && object.getKey(alpha).getNumericValue() != 1.0)
            faults.push_back(std::string("alpha ") + alpha);
    if (object.hasKey("/BM") && name("/BM") != "/Normal" && name("/BM") != "/Compatible")
        faults.push_back("blend mode " + name("/BM"));
    if (name("/Type") == "/FontDescriptor" && !object.hasKey("/FontFile") &&
        !object.hasKey("/FontFile2") && !object.hasKey("/FontFile3"))
        faults.push_back("font not embedded: " + name("/FontName"));
    if (name("/Type") == "/ObjStm" || name("/Type") == "/XRef") faults.push_back(name("/Type"));
    for (const std::string& key : object.getKeys())
        if (!object.getKey(key).isIndirect()) CheckObject(object.getKey(key), faults);
}

// Names outside ASCII and with XML's special characters, so that the document
// information (PDF text strings) and the XMP (escaped XML) must agree on them.
TEST_F(PdfArchive, ReportsWrittenAsPdfAKeepThePdfA1bRules) {
    TEmfProject project;
    ASSERT_TRUE(project.Load(Sample("sample-english.emf")).Ok);
    project.Title = "Zoë & <Ödegård> \"Lines\"";
    project.EngineerName = "José Müller & <Co>";
    ASSERT_TRUE(project.Save(PathOf("archive.emf")).Ok);
    const std::string dash = " \u2014 ";
    const std::pair<int, std::string> titles[] = {
        {1, "Florida Compliance Report" + dash + project.Title},
        {4, "Corona and Field Effects Report" + dash + project.Title + dash + "230 SC"}};
    for (const auto& [kind, title] : titles) {
        SCOPED_TRACE(kind);
        const std::string path = PathOf("archive.pdf");
        const TRun run = Run("report '" + PathOf("archive.emf") + "' --kind " +
                             std::to_string(kind) + " --ini '" + PathOf("none.INI") +
                             "' --pdfa --pdf '" + path + "'");
        ASSERT_EQ(run.Exit, 0) << run.Err;
        const std::string file = Slurp(path);
        // Version 1.4 at most, then a comment of four bytes above 127.
        ASSERT_GT(file.size(), 14u);
        EXPECT_EQ(file.substr(0, 7), "%PDF-1.");
        EXPECT_LE(file[7], '4');
        EXPECT_EQ(file.substr(8, 2), "\n%");
        EXPECT_TRUE(std::all_of(file.begin() + 10, file.begin() + 14,
                                [](char c) { return static_cast<unsigned char>(c) > 127; }));
        // A cross-reference table, not a stream: startxref points at "xref".
        const std::size_t startxref = file.rfind("startxref");
        ASSERT_NE(startxref, std::string::npos);
        EXPECT_EQ(file.compare(std::stoul(file.substr(startxref + 9)), 4, "xref"), 0);

        QPDF pdf;
        pdf.processFile(path.c_str());
        EXPECT_FALSE(pdf.isEncrypted());
        QPDFObjectHandle id = pdf.getTrailer().getKey("/ID");
        EXPECT_TRUE(id.isArray() && id.getArrayNItems() == 2 && id.getArrayItem(0).isString());

        // The XMP, unfiltered, says PDF/A-1b and agrees with the document
        // information on every entry both hold.
        QPDFObjectHandle metadata = pdf.getRoot().getKey("/Metadata");
        ASSERT_TRUE(metadata.isStream());
        EXPECT_FALSE(metadata.getDict().hasKey("/Filter"));
        std::map<std::string, std::string> xmp =
            XmpFields(Bytes(metadata.getRawStreamData()));
        EXPECT_EQ(xmp["error"], "");
        EXPECT_EQ(xmp["pdfaid:part"], "1");
        EXPECT_EQ(xmp["pdfaid:conformance"], "B");
        QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
        EXPECT_EQ(info.getKey("/Title").getUTF8Value(), title);
        EXPECT_EQ(xmp["dc:title"], title);
        EXPECT_EQ(info.getKey("/Author").getUTF8Value(), project.EngineerName);
        EXPECT_EQ(xmp["dc:creator"], project.EngineerName);
        EXPECT_EQ(info.getKey("/Creator").getUTF8Value(), xmp["xmp:CreatorTool"]);
        EXPECT_EQ(info.getKey("/Producer").getUTF8Value(), xmp["pdf:Producer"]);

        // One output intent for PDF/A-1, its ICC profile embedded (an ICC
        // profile carries "acsp" at byte 36).
        QPDFObjectHandle intents = pdf.getRoot().getKey("/OutputIntents");
        ASSERT_TRUE(intents.isArray() && intents.getArrayNItems() == 1);
        EXPECT_TRUE(intents.getArrayItem(0).getKey("/S").isNameAndEquals("/GTS_PDFA1"));
        QPDFObjectHandle profile = intents.getArrayItem(0).getKey("/DestOutputProfile");
        ASSERT_TRUE(profile.isStream());
        EXPECT_EQ(Bytes(profile.getStreamData(qpdf_dl_generalized)).substr(36, 4), "acsp");

        std::vector<std::string> faults;
        for (QPDFObjectHandle object : pdf.getAllObjects())
            CheckObject(object, faults);
        EXPECT_EQ(faults, std::vector<std::string>{});
    }
}

} // namespace
} // namespace corvalt::testing
