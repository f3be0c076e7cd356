#pragma once
// What a conductor carries, as the drawings tell it apart: phase A, B or C,
// a ground wire, or a DC pole by its sign; and the colours the cross-section
// drawing gives each. The report's phase drawing marks conductors by the same kinds.

#include <QColor>
#include <QString>

namespace corvalt {

class TConductor;

enum class TSymbolKind { PhaseA, PhaseB, PhaseC, Ground, DcPlus, DcMinus };

// A ground wire by its type; a DC pole (not AC, not a ground wire) by the sign
// of its voltage, a pole at 0 kV counting as negative as in the computation;
// an AC conductor by its phase.
TSymbolKind SymbolKindOf(const TConductor& conductor);

// The fill of a conductor of the kind in the cross-section drawing: three
// distinct phase colours, grey ground wires, DC poles red (+) and blue (-).
QColor DrawingColourOf(TSymbolKind kind);

// The kind's name in a legend ("Phase A", "Ground wire", "DC pole, positive").
QString KindName(TSymbolKind kind);

// The sign a DC pole is marked with ("+" or "\u2212"); empty for the other kinds.
QString PoleSign(TSymbolKind kind);

} // namespace corvalt
