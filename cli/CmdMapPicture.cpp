// corvalt-cli-render map --out: draws the computed map offscreen into the
// picture file (plots/MapPicture.h).
#include "cli/HeadlessApplication.h"
#include "cli/MapPicture.h"

#include "plots/MapPicture.h"

namespace corvalt::cli {

static_assert(kMaxMapSide == kMaxMapPictureSide);
static_assert(kDefaultMapWidth == kMapPictureSize.width() &&
              kDefaultMapHeight == kMapPictureSize.height());

std::string MapPictureNameProblem(const std::string& file) {
    if (PictureFormatOf(file)) return {};
    return file + ": the picture's name must end in .png, .svg or .pdf";
}

int WriteMapPicture(const TPlan& plan, const space::TFieldMap& map,
                    const TMapPictureRequest& request) {
    TMapDrawOptions options;
    options.Quantity = request.Magnetic ? TMapQuantity::Magnetic : TMapQuantity::Electric;
    options.LogScale = request.LogScale;
    if (request.Levels) {
        options.Levels.emplace();
        for (const double value : *request.Levels) options.Levels->push_back({value, {}});
    }
    const THeadlessApplication application(THeadlessApplication::TKind::Gui);
    const QString error = ExportMapPicture(plan, map, options, request.File,
                                           *PictureFormatOf(request.File),
                                           QSize(request.Width, request.Height));
    if (!error.isEmpty()) return Fail(ExitBadInput, error.toStdString());
    return ExitOk;
}

} // namespace corvalt::cli
