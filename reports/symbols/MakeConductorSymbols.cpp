// Writes the conductor symbols of the phase configuration drawing as PNG files
// (PHASEA.png ... NEWGROUND.png) into a folder; the committed files in
// reports/symbols are its output.
//
// usage: corvalt-make-symbols OUTPUT_FOLDER

#include "reports/symbols/SymbolPixels.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvalt-make-symbols OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const corvalt::symbols::TSymbolDesign& design : corvalt::symbols::SymbolDesigns()) {
        const QString path = folder.filePath(QString::fromLatin1(design.Name) + ".png");
        if (!corvalt::symbols::PaintSymbol(design).save(path, "PNG")) {
            std::fprintf(stderr, "corvalt-make-symbols: cannot write %s\n",
                         path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
