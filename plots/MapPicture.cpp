#include "plots/MapPicture.h"

#include "plots/ModelText.h"

#include <QPainter>

namespace corvalt {

QByteArray MapPictureBytes(const TPlan& plan, const space::TFieldMap& map,
                           const TMapDrawOptions& options, TPictureFormat format, QSize size,
                           QString& error) {
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxMapPictureSide ||
        size.height() > kMaxMapPictureSide) {
        error = QStringLiteral("the size must be 1 to %1 on each side").arg(kMaxMapPictureSide);
        return {};
    }
    const TPicturePaint paint = [&](QPainter& painter, const QRectF& rect) {
        DrawFieldMap(painter, rect, plan, map, options);
    };
    return PaintedPictureBytes(paint, format, size, ToQString(plan.Name), error);
}

QByteArray LaidOutMapPictureBytes(const TPlan& plan, const space::TFieldMap& map,
                                  const TMapDrawOptions& options, TPictureFormat format,
                                  const TPictureLayout& layout, QString& error) {
    const TPicturePaint paint = [&](QPainter& painter, const QRectF& rect) {
        DrawFieldMap(painter, rect, plan, map, options);
    };
    return LaidOutPictureBytes(paint, format, layout, error);
}

TTitleBlock MapTitleBlock(const QString& projectTitle, const TPlan& plan) {
    return DatedTitleBlock(projectTitle, QStringLiteral("Plan"), ToQString(plan.Name));
}

QString ExportMapPicture(const TPlan& plan, const space::TFieldMap& map,
                         const TMapDrawOptions& options, const std::string& path,
                         TPictureFormat format, QSize size) {
    QString error;
    const QByteArray bytes = MapPictureBytes(plan, map, options, format, size, error);
    return WritePictureFile(path, bytes, error);
}

} // namespace corvalt
