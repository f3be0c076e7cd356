#pragma once
// Reading a plan's model from its JSON text, format "corvalt-map/1" (the
// model of corvalt-cli map): keys, their types and their defaults. What the
// values must be for a map to be computed is checked by BuildSpaceModel
// (MapModel.h); this reader refuses what is not a model at all: text that is
// not JSON (or nests deeper than 64 levels), a missing, unknown or repeated
// key, a value of the wrong type, a number too large to hold. Its messages
// name the conductor ("conductor "1A": missing key "kv"") or the key
// ("grid.step: must be a number").
//
// Keys: format, name, units ("metric" or "english"), conductors, grid,
// footprints (optional). A conductor: id, type ("phase" or "ground"), ac
// (default true), kv (a phase's; a ground conductor takes none), angle_deg
// (AC only, default 0), current_a (default 0), diameter, subconductors
// (default 1), spacing (default 0), and either path ([[x, y, z], ...]) or
// span ({"from": [x, y, z], "to": [x, y, z], "sag": s}). The grid: x0, x1,
// y0, y1, step, height. A footprint: name, polygon ([[x, y], ...]).

#include "model/Plan.h"
#include "space/MapModel.h"

#include <string_view>
#include <variant>

namespace corvalt::space {

std::variant<TPlan, TMapInputError> ReadMapModelJson(std::string_view text);

} // namespace corvalt::space
