#pragma once
// The field maps' texts: a plan's model as JSON (format corvalt-map/1, as
// corvalt-cli span and plan --export print it and map reads it), a map's
// result as JSON (format corvalt-mapresult/1, corvalt-cli map's output).
// Numbers are the shortest text that reads back as the same value, "." as
// decimal point: the model's as doubles (so a model read and written
// again is the same model), the results as single-precision values, as
// corvalt-cli compute writes them. A value that cannot be computed is null.
// The CSV is space/MapCsv.h's.

#include "model/Plan.h"
#include "space/FieldMap.h"

#include <ostream>
#include <string>

namespace corvalt::cli {

// The whole model, or (spansOnly) the array of its conductors alone.
void WriteMapModelJson(std::ostream& out, const TPlan& plan, bool spansOnly = false);

// Keys: format, name, units, pieces (the straight pieces after subdivision),
// grid {x, y, height}, e_kv_m, e_resultant_kv_m, b_mg, b_resultant_mg (one
// array per grid line y, one value per x; null for a quantity not computed),
// max {e_kv_m, b_mg} and footprints [{name, e_kv_m, b_mg}], each peak
// {value, x, y} or null.
void WriteMapResultJson(std::ostream& out, const space::TFieldMap& map);

} // namespace corvalt::cli
