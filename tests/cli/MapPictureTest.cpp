// corvalt-cli map --out, run as the program: the colour map of a sample model
// as PNG, SVG and PDF of the size asked for, and the picture options it
// refuses.
#include "CliRun.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using corvalt::testing::Sample;
using corvalt::testing::Slurp;
using corvalt::testing::TRun;

namespace {

// A PNG's width and height: big-endian at bytes 16 and 20, in its IHDR chunk.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::string& bytes) {
    const auto word = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) v = v << 8 | static_cast<unsigned char>(bytes[at + k]);
        return v;
    };
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    return {word(16), word(20)};
}

class MapPicture : public corvalt::testing::TCliTest {};

} // namespace

TEST_F(MapPicture, WritesEveryFormatAtTheSizeAskedFor) {
    const std::string model = "'" + Sample("map-corner.json") + "'";
    const std::string png = PathOf("corner.png");
    TRun run = Run("map " + model + " --out '" + png + "' --size 640x480");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(PngSize(Slurp(png)), std::make_pair(640u, 480u));

    // Without --size: 1200 × 900. B of the crossing, on a logarithmic scale.
    run = Run("map '" + Sample("map-crossing.json") + "' --quantity b --scale log --out '" + png +
              "'");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(PngSize(Slurp(png)), std::make_pair(1200u, 900u));

    const std::string svg = PathOf("corner.svg");
    run = Run("map " + model + " --out '" + svg + "' --size 800x600 --levels 1.5,3");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const std::string svgText = Slurp(svg);
    EXPECT_NE(svgText.find("viewBox=\"0 0 800 600\""), std::string::npos);
    EXPECT_NE(svgText.find("</svg>"), std::string::npos);

    // A PDF page of 500 × 400 points, with the JSON's CSV beside it.
    const std::string pdf = PathOf("corner.pdf"), csv = PathOf("corner.csv");
    run = Run("map " + model + " --out '" + pdf + "' --size 500x400 --csv '" + csv + "'");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const std::string pdfText = Slurp(pdf);
    EXPECT_EQ(pdfText.rfind("%PDF-", 0), 0u);
    const std::size_t box = pdfText.find("/MediaBox [");
    ASSERT_NE(box, std::string::npos);
    std::istringstream numbers(pdfText.substr(box + 11, 60));
    double left = -1, bottom = -1, right = 0, top = 0;
    numbers >> left >> bottom >> right >> top;
    EXPECT_EQ(std::vector<double>({left, bottom, right, top}), std::vector<double>({0, 0, 500, 400}));
    EXPECT_TRUE(std::filesystem::exists(csv));
}

TEST_F(MapPicture, BadPictureOptionsExitTwoAndWriteNothing) {
    const std::string model = "'" + Sample("map-corner.json") + "'";
    const std::string png = PathOf("bad.png");
    struct TCase {
        std::string Options, Message;
    };
    for (const TCase& c : {
             TCase{"--out '" + PathOf("map.gif") + "'", "must end in .png, .svg or .pdf"},
             TCase{"--out '" + png + "' --size 640", "--size needs WIDTHxHEIGHT"},
             TCase{"--out '" + png + "' --size 0x480", "--size needs WIDTHxHEIGHT"},
             TCase{"--out '" + png + "' --size 10001x480", "--size needs WIDTHxHEIGHT"},
             TCase{"--out '" + png + "' --scale loud", "--scale needs linear or log"},
             TCase{"--out '" + png + "' --levels 2,,3", "--levels needs values above 0"},
             TCase{"--out '" + png + "' --levels -2", "--levels needs values above 0"},
         }) {
        SCOPED_TRACE(c.Options);
        const TRun run = Run("map " + model + " " + c.Options);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
        EXPECT_FALSE(std::filesystem::exists(png));
    }
}
