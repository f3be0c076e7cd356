#include "model/PlanRecord.h"

#include "model/Limits.h"

#include <set>
#include <string>
#include <utility>

namespace corvalt {
namespace {

// Smallest size of each record: texts empty, no children. A count in the
// file is checked against these before any record is created.
constexpr std::size_t kIntBytes = 4;
constexpr std::size_t kRealBytes = TZuStream::kRealSize;
constexpr std::size_t kMinPlanBytes =
    kIntBytes + kIntBytes + kIntBytes + 6 * kRealBytes + kIntBytes;
constexpr std::size_t kMinConductorBytes = kIntBytes + 1 + 1 + 4 * kRealBytes + kIntBytes +
                                           kRealBytes + kIntBytes + kIntBytes + kRealBytes;
constexpr std::size_t kPointBytes = 3 * kRealBytes;
constexpr std::size_t kMinFootprintBytes = kIntBytes + kIntBytes;
constexpr std::size_t kCornerBytes = 2 * kRealBytes;

void WritePoint(TZuStream& stream, const TPlanPoint& point) {
    stream.WriteReal(point.X);
    stream.WriteReal(point.Y);
    stream.WriteReal(point.Z);
}

void WriteConductor(TZuStream& stream, const TPlanConductor& conductor) {
    stream.WriteText(conductor.Id);
    stream.WriteByte(conductor.IsGround ? 1 : 0);
    stream.WriteByte(conductor.IsAc ? 1 : 0);
    stream.WriteReal(conductor.Kv);
    stream.WriteReal(conductor.AngleDeg);
    stream.WriteReal(conductor.CurrentA);
    stream.WriteReal(conductor.Diameter);
    stream.WriteInt(conductor.SubConductors);
    stream.WriteReal(conductor.Spacing);
    stream.WriteInt(static_cast<std::int32_t>(conductor.Shape));
    stream.WriteInt(static_cast<std::int32_t>(conductor.Points.size()));
    for (const TPlanPoint& point : conductor.Points)
        WritePoint(stream, point);
    stream.WriteReal(conductor.Sag);
}

void WriteFootprint(TZuStream& stream, const TFootprint& footprint) {
    stream.WriteText(footprint.Name);
    stream.WriteInt(static_cast<std::int32_t>(footprint.Corners.size()));
    for (const TPlanCorner& corner : footprint.Corners) {
        stream.WriteReal(corner.X);
        stream.WriteReal(corner.Y);
    }
}

// A plan's name, a conductor's id or a footprint's name: never longer than a
// plan can hold, which no writer of the program exceeds.
std::string PlanText(TRecordReader& reader, const char* field) {
    const std::size_t offset = reader.Offset();
    std::string text = reader.Text(field);
    if (text.size() > kMaxPlanTextLength)
        reader.FailAt(field, offset,
                      "longer than " + std::to_string(kMaxPlanTextLength) + " bytes");
    return text;
}

// The straight pieces of a conductor before any subdivision.
int PiecesOf(TPlanShape shape, int points) {
    if (shape == TPlanShape::Span) return 1;
    return points > 1 ? points - 1 : 0;
}

class TPlanReader {
  public:
    TPlanReader(TRecordReader& reader, TPlan& plan) : reader_(reader), plan_(plan) {}

    void Read() {
        plan_.Name = PlanText(reader_, "name");
        plan_.Units = reader_.Code("measurement units", Metric);
        const int conductors =
            reader_.LimitedCount("number of conductors", kMinConductorBytes, kMaxPlanConductors,
                                 TooManyPlanConductorsText());
        for (int i = 0; i < conductors && !reader_.Failed(); ++i) {
            const TRecordReader::TScope scope(reader_, "conductor " + std::to_string(i + 1));
            ReadConductor(plan_.Conductors.emplace_back());
        }
        ReadGrid();
        const int footprints = reader_.LimitedCount("number of footprints", kMinFootprintBytes,
                                                    kMaxFootprints, TooManyFootprintsText());
        for (int i = 0; i < footprints && !reader_.Failed(); ++i) {
            const TRecordReader::TScope scope(reader_, "footprint " + std::to_string(i + 1));
            ReadFootprint(plan_.Footprints.emplace_back());
        }
    }

  private:
    void ReadConductor(TPlanConductor& conductor) {
        conductor.Id = PlanText(reader_, "id");
        conductor.IsGround = reader_.Bool("ground mark");
        conductor.IsAc = reader_.Bool("AC mark");
        conductor.Kv = reader_.Real("voltage");
        conductor.AngleDeg = reader_.Real("phase angle");
        conductor.CurrentA = reader_.Real("current");
        conductor.Diameter = reader_.Real("diameter");
        conductor.SubConductors = reader_.Code("sub-conductor count", kMaxPlanSubConductors);
        conductor.Spacing = reader_.Real("sub-conductor spacing");
        conductor.Shape = static_cast<TPlanShape>(reader_.Code("shape", 1));
        ReadPoints(conductor);
        conductor.Sag = reader_.Real("sag");
    }

    // The points, after the count is checked against the bytes left, a span's
    // two ends and the pieces the whole plan may have.
    void ReadPoints(TPlanConductor& conductor) {
        const std::size_t offset = reader_.Offset();
        const int points = reader_.Count("number of points", kPointBytes);
        if (reader_.Failed()) return;
        if (conductor.Shape == TPlanShape::Span && points != 2) {
            reader_.FailAt("number of points", offset,
                           "a span has two ends, not " + std::to_string(points));
            return;
        }
        pieces_ += PiecesOf(conductor.Shape, points);
        if (pieces_ > kMaxMapPieces) {
            reader_.RefuseBeyondLimit("number of points", offset,
                                      std::to_string(pieces_) + " pieces in the plan",
                                      TooManyPlanPiecesText());
            return;
        }
        conductor.Points.resize(static_cast<std::size_t>(points));
        for (TPlanPoint& point : conductor.Points) {
            point.X = reader_.Real("x");
            point.Y = reader_.Real("y");
            point.Z = reader_.Real("z");
        }
    }

    void ReadGrid() {
        TPlanGrid& grid = plan_.Grid;
        grid.X0 = reader_.Real("grid x0");
        grid.X1 = reader_.Real("grid x1");
        grid.Y0 = reader_.Real("grid y0");
        grid.Y1 = reader_.Real("grid y1");
        grid.Step = reader_.Real("grid step");
        grid.Height = reader_.Real("grid height");
    }

    void ReadFootprint(TFootprint& footprint) {
        footprint.Name = PlanText(reader_, "name");
        const int corners = reader_.LimitedCount(
            "number of corners", kCornerBytes, kMaxFootprintCorners, TooManyFootprintCornersText());
        footprint.Corners.resize(static_cast<std::size_t>(corners));
        for (TPlanCorner& corner : footprint.Corners) {
            corner.X = reader_.Real("x");
            corner.Y = reader_.Real("y");
        }
    }

    TRecordReader& reader_;
    TPlan& plan_;
    int pieces_ = 0;
};

} // namespace

void WritePlanRecord(TZuStream& stream, const TPlan& plan) {
    stream.WriteText(plan.Name);
    stream.WriteInt(plan.Units);
    stream.WriteInt(static_cast<std::int32_t>(plan.Conductors.size()));
    for (const TPlanConductor& conductor : plan.Conductors)
        WriteConductor(stream, conductor);
    const TPlanGrid& grid = plan.Grid;
    for (const double value : {grid.X0, grid.X1, grid.Y0, grid.Y1, grid.Step, grid.Height})
        stream.WriteReal(value);
    stream.WriteInt(static_cast<std::int32_t>(plan.Footprints.size()));
    for (const TFootprint& footprint : plan.Footprints)
        WriteFootprint(stream, footprint);
}

void ReadPlanRecord(TRecordReader& reader, TPlan& plan) {
    TPlanReader(reader, plan).Read();
}

void WritePlans(TZuStream& stream, const std::vector<TPlan>& plans) {
    stream.WriteInt(static_cast<std::int32_t>(plans.size()));
    for (const TPlan& plan : plans)
        WritePlanRecord(stream, plan);
}

void ReadPlans(TRecordReader& reader, std::vector<TPlan>& plans) {
    const int count =
        reader.LimitedCount("number of plans", kMinPlanBytes, kMaxPlans, TooManyPlansText());
    std::set<std::string> names;
    for (int i = 0; i < count && !reader.Failed(); ++i) {
        const TRecordReader::TScope scope(reader, "plan " + std::to_string(i + 1));
        const std::size_t offset = reader.Offset();
        TPlan& plan = plans.emplace_back();
        ReadPlanRecord(reader, plan);
        // Plans are found by their names: a second plan of a name would be
        // out of reach.
        if (!reader.Failed() && !names.insert(plan.Name).second)
            reader.FailAt("name", offset, "a second plan named '" + plan.Name + "'");
    }
}

} // namespace corvalt
