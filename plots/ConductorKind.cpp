#include "plots/ConductorKind.h"

#include "model/Conductor.h"

namespace corvalt {

TSymbolKind SymbolKindOf(const TConductor& conductor) {
    if (conductor.IsGround()) return TSymbolKind::Ground;
    if (conductor.AcFlag == 0)
        return conductor.MaxVoltage > 0 ? TSymbolKind::DcPlus : TSymbolKind::DcMinus;
    switch (conductor.CondType) {
    case PhaseB:
        return TSymbolKind::PhaseB;
    case PhaseC:
        return TSymbolKind::PhaseC;
    default:
        return TSymbolKind::PhaseA;
    }
}

QColor DrawingColourOf(TSymbolKind kind) {
    switch (kind) {
    case TSymbolKind::PhaseA:
        return {200, 30, 30}; // red
    case TSymbolKind::PhaseB:
        return {20, 140, 60}; // green, apart from the highlight's orange
    case TSymbolKind::PhaseC:
        return {30, 80, 210}; // blue
    case TSymbolKind::Ground:
        return {140, 140, 140}; // grey
    case TSymbolKind::DcPlus:
        return {176, 32, 32};
    case TSymbolKind::DcMinus:
        return {30, 80, 200};
    }
    return Qt::black;
}

QString KindName(TSymbolKind kind) {
    switch (kind) {
    case TSymbolKind::PhaseA:
        return QStringLiteral("Phase A");
    case TSymbolKind::PhaseB:
        return QStringLiteral("Phase B");
    case TSymbolKind::PhaseC:
        return QStringLiteral("Phase C");
    case TSymbolKind::Ground:
        return QStringLiteral("Ground wire");
    case TSymbolKind::DcPlus:
        return QStringLiteral("DC pole, positive");
    case TSymbolKind::DcMinus:
        return QStringLiteral("DC pole, negative");
    }
    return {};
}

QString PoleSign(TSymbolKind kind) {
    if (kind == TSymbolKind::DcPlus) return QStringLiteral("+");
    if (kind == TSymbolKind::DcMinus) return QStringLiteral("\u2212");
    return {};
}

} // namespace corvalt
