// corvalt-make-icon OUT.png [SIDE]: writes the program's icon, the glyph the
// windows show, as a PNG of SIDE × SIDE pixels (256 when not given) for the
// desktop's menus. The build runs it; the icon is installed with the program.
#include "ui/windows/ToolIcons.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: corvalt-make-icon OUT.png [SIDE]\n");
        return 2;
    }
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int side = argc == 3 ? std::atoi(argv[2]) : 256;
    const QImage icon = corvalt::ui::ToolImage(QStringLiteral("app"), side);
    if (icon.isNull() || !icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "corvalt-make-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
