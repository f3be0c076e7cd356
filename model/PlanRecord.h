#pragma once
// The record of a plan in the project file ("1.04" and later): its values as
// the plan keeps them, in its own measurement system, each real exactly as
// the double it is. The reader checks every claim the file makes (counts,
// codes, text lengths, finite reals, a span's two ends) and the limits of
// model/Limits.h, so that any plan it returns writes back to the same bytes.
//
// Plan record, in this order:
//   text name; integer units (0 English, 1 Metric);
//   integer number of conductors N, then N conductor records;
//   reals x0, x1, y0, y1, step, height of the grid;
//   integer number of footprints F, then F footprint records.
// Conductor record:
//   text id; byte ground; byte AC; reals kV, angle (degrees), current (A),
//   diameter; integer sub-conductors; real spacing; integer shape (0 path,
//   1 span); integer number of points K (2 for a span), then K points of
//   three reals x, y, z; real sag.
// Footprint record: text name; integer number of corners M, then M corners of
// two reals x, y.

#include "model/Plan.h"
#include "model/ProjectFile.h"

namespace corvalt {

void WritePlanRecord(TZuStream& stream, const TPlan& plan);
void ReadPlanRecord(TRecordReader& reader, TPlan& plan);

// Writes the number of plans and each plan's record; reads them back, refusing
// more plans than a project holds and two plans of one name.
void WritePlans(TZuStream& stream, const std::vector<TPlan>& plans);
void ReadPlans(TRecordReader& reader, std::vector<TPlan>& plans);

} // namespace corvalt
