#pragma once
// The conductor symbols of the phase configuration drawing, from the report
// library's resources: PHASEA, PHASEB, PHASEC and GROUND for conductors of
// existing circuits, NEWPHASEA ... NEWGROUND for those of new circuits.

#include <QImage>
#include <QString>

namespace corvalt {

// The resource path of a symbol by its name, e.g. ":/conductor-symbols/PHASEA".
QString ConductorSymbolPath(const char* name);

// The symbol of a conductor of the type (TCondType) of a new or an existing
// circuit; a null image for a type that has none.
const QImage& ConductorSymbol(int condType, bool newCircuit);

} // namespace corvalt
