#pragma once
// corvalt-cli map --out: the colour map's options as the command line takes
// them (no Qt here: corvalt-cli reads them, corvalt-cli-render draws), and
// the drawing, which only corvalt-cli-render holds. A map with --out runs in
// corvalt-cli-render from the start (RendererHandoff.h).

#include "cli/Commands.h"
#include "model/Plan.h"
#include "space/FieldMap.h"

#include <optional>
#include <string>
#include <vector>

namespace corvalt::cli {

inline constexpr int kDefaultMapWidth = 1200, kDefaultMapHeight = 900;
inline constexpr int kMaxMapSide = 10000;

struct TMapPictureRequest {
    bool Given = false; // --out was given
    std::string File;
    int Width = kDefaultMapWidth, Height = kDefaultMapHeight; // pixels, or points for PDF
    bool LogScale = false;
    bool Magnetic = false;                       // B, else E
    std::optional<std::vector<double>> Levels;   // empty: the field limits
};

// Whether the arguments of map ask for a picture (--out before any "--").
bool MapDrawsPicture(const Args& args);

// Renderer only: why the file's name names no picture format (empty when it
// does), and the picture drawn and written, with its exit code.
std::string MapPictureNameProblem(const std::string& file);
int WriteMapPicture(const TPlan& plan, const space::TFieldMap& map,
                    const TMapPictureRequest& request);

} // namespace corvalt::cli
