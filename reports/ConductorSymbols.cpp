#include "reports/ConductorSymbols.h"

#include "model/Conductor.h"

#include <array>

// The resources of a static library are registered by hand before first use.
static void InitConductorSymbolResources() {
    Q_INIT_RESOURCE(ConductorSymbols);
}

namespace corvalt {
namespace {

constexpr int kTypes = 4; // PhaseA, PhaseB, PhaseC, Ground

constexpr std::array<const char*, kTypes> kExistingNames = {"PHASEA", "PHASEB", "PHASEC", "GROUND"};
constexpr std::array<const char*, kTypes> kNewNames = {"NEWPHASEA", "NEWPHASEB", "NEWPHASEC",
                                                       "NEWGROUND"};

struct TSymbolSet {
    std::array<QImage, kTypes> Existing, New;
    TSymbolSet() {
        InitConductorSymbolResources();
        for (int type = 0; type < kTypes; ++type) {
            Existing[type] = QImage(ConductorSymbolPath(kExistingNames[type]));
            New[type] = QImage(ConductorSymbolPath(kNewNames[type]));
        }
    }
};

} // namespace

QString ConductorSymbolPath(const char* name) {
    return QStringLiteral(":/conductor-symbols/") + QString::fromLatin1(name);
}

const QImage& ConductorSymbol(int condType, bool newCircuit) {
    static const TSymbolSet symbols;
    static const QImage none;
    if (condType < PhaseA || condType > Ground) return none;
    return newCircuit ? symbols.New[condType] : symbols.Existing[condType];
}

} // namespace corvalt
