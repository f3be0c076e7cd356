#include "ui/widgets/PlanEdits.h"

#include "model/Limits.h"
#include "space/MapModel.h"
#include "ui/app/TextConvert.h"
#include "ui/widgets/NumberField.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>
#include <set>
#include <variant>

namespace corvalt::ui {

namespace {

// A new conductor's height, and a new footprint's share of the grid's width.
constexpr double kNewConductorHeightM = 10, kNewConductorHeightFt = 33;
constexpr double kNewFootprintShare = 0.1;

// The shortest text that reads back as the same double.
QString NumberText(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return QString::fromLatin1(text.data(), static_cast<int>(end - text.data()));
}

bool English(const TPlan& plan) {
    return plan.Units == corvalt::English;
}

QString LengthUnit(const TPlan& plan) {
    return English(plan) ? QStringLiteral("ft") : QStringLiteral("m");
}

// "x,y,z; x,y,z" and "x,y; x,y": the points of a cell.
template <class Point, class Write>
QString PointsText(const std::vector<Point>& points, Write write) {
    QStringList texts;
    for (const Point& point : points)
        texts << write(point);
    return texts.join(QStringLiteral("; "));
}

// The points of a cell text, each of `count` numbers; or why not.
std::variant<std::vector<std::vector<double>>, QString> ParsePoints(const QString& text,
                                                                     int count) {
    std::vector<std::vector<double>> points;
    for (const QString& entry : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (entry.trimmed().isEmpty()) continue;
        const QStringList parts = entry.split(QLatin1Char(','));
        std::vector<double> values;
        for (const QString& part : parts)
            if (const std::optional<double> value = ParseNumber(part)) values.push_back(*value);
        if (parts.size() != count || static_cast<int>(values.size()) != count)
            return QStringLiteral("point %1 must be %2 numbers (%3), not \"%4\"")
                .arg(points.size() + 1)
                .arg(count)
                .arg(count == 3 ? QStringLiteral("x,y,z") : QStringLiteral("x,y"))
                .arg(entry.trimmed());
        points.push_back(std::move(values));
    }
    return points;
}

// A word of two (case does not matter): true for the first.
std::optional<bool> ParseChoice(const QString& text, const char* first, const char* second) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String(first), Qt::CaseInsensitive) == 0) return true;
    if (word.compare(QLatin1String(second), Qt::CaseInsensitive) == 0) return false;
    return std::nullopt;
}

QString ChoiceRefusal(const char* first, const char* second) {
    return QStringLiteral("must be \"%1\" or \"%2\"")
        .arg(QLatin1String(first), QLatin1String(second));
}

std::optional<QString> SetConductorCell(TPlanConductor& c, int column, const QString& text) {
    const auto number = [&](double& field) -> std::optional<QString> {
        const std::optional<double> value = ParseNumber(text);
        if (!value) return QStringLiteral("is not a number");
        field = *value;
        return std::nullopt;
    };
    switch (column) {
    case kIdColumn:
        c.Id = ToBytes(text.trimmed());
        return std::nullopt;
    case kTypeColumn: {
        const std::optional<bool> phase = ParseChoice(text, "Phase", "Ground");
        if (!phase) return ChoiceRefusal("Phase", "Ground");
        c.IsGround = !*phase;
        return std::nullopt;
    }
    case kAcDcColumn: {
        const std::optional<bool> ac = ParseChoice(text, "AC", "DC");
        if (!ac) return ChoiceRefusal("AC", "DC");
        c.IsAc = *ac;
        return std::nullopt;
    }
    case kKvColumn:
        return number(c.Kv);
    case kAngleColumn:
        return number(c.AngleDeg);
    case kCurrentColumn:
        return number(c.CurrentA);
    case kDiameterColumn:
        return number(c.Diameter);
    case kBundleColumn: {
        bool ok = false;
        const int count = text.trimmed().toInt(&ok);
        if (!ok) return QStringLiteral("is not a whole number");
        c.SubConductors = count;
        return std::nullopt;
    }
    case kSpacingColumn:
        return number(c.Spacing);
    case kShapeColumn: {
        const std::optional<bool> path = ParseChoice(text, "Path", "Span");
        if (!path) return ChoiceRefusal("Path", "Span");
        c.Shape = *path ? TPlanShape::Path : TPlanShape::Span;
        return std::nullopt;
    }
    case kPointsColumn: {
        auto parsed = ParsePoints(text, 3);
        if (const QString* refusal = std::get_if<QString>(&parsed)) return *refusal;
        c.Points.clear();
        for (const std::vector<double>& p : std::get<0>(parsed))
            c.Points.push_back({p[0], p[1], p[2]});
        return std::nullopt;
    }
    case kSagColumn:
        return number(c.Sag);
    default:
        return QStringLiteral("is not a column of the table");
    }
}

std::optional<QString> SetFootprintCell(TFootprint& f, int column, const QString& text) {
    if (column == kNameColumn) {
        f.Name = ToBytes(text.trimmed());
        return std::nullopt;
    }
    if (column != kCornersColumn) return QStringLiteral("is not a column of the table");
    auto parsed = ParsePoints(text, 2);
    if (const QString* refusal = std::get_if<QString>(&parsed)) return *refusal;
    f.Corners.clear();
    for (const std::vector<double>& p : std::get<0>(parsed))
        f.Corners.push_back({p[0], p[1]});
    return std::nullopt;
}

} // namespace

int ColumnCount(TPlanTable table) {
    return table == TPlanTable::Conductors ? int{kConductorColumns} : int{kFootprintColumns};
}

int RowCount(const TPlan& plan, TPlanTable table) {
    return static_cast<int>(table == TPlanTable::Conductors ? plan.Conductors.size()
                                                            : plan.Footprints.size());
}

QString ColumnTitle(const TPlan& plan, TPlanTable table, int column) {
    const QString length = LengthUnit(plan);
    if (table == TPlanTable::Footprints)
        return column == kNameColumn ? QStringLiteral("Name")
                                     : QStringLiteral("Corners x,y (%1)").arg(length);
    switch (column) {
    case kIdColumn: return QStringLiteral("Id");
    case kTypeColumn: return QStringLiteral("Type");
    case kAcDcColumn: return QStringLiteral("AC/DC");
    case kKvColumn: return QStringLiteral("kV");
    case kAngleColumn: return QStringLiteral("Angle (\u00B0)");
    case kCurrentColumn: return QStringLiteral("Current (A)");
    case kDiameterColumn:
        return QStringLiteral("Diameter (%1)").arg(English(plan) ? "in" : "mm");
    case kBundleColumn: return QStringLiteral("Bundle");
    case kSpacingColumn:
        return QStringLiteral("Spacing (%1)").arg(English(plan) ? "in" : "cm");
    case kShapeColumn: return QStringLiteral("Shape");
    case kPointsColumn: return QStringLiteral("Points / span ends x,y,z (%1)").arg(length);
    case kSagColumn: return QStringLiteral("Sag (%1)").arg(length);
    default: return {};
    }
}

QString CellText(const TPlan& plan, TPlanTable table, int row, int column) {
    if (row < 0 || row >= RowCount(plan, table)) return {};
    if (table == TPlanTable::Footprints) {
        const TFootprint& f = plan.Footprints[row];
        if (column == kNameColumn) return ToQString(f.Name);
        return PointsText(f.Corners, [](const TPlanCorner& p) {
            return NumberText(p.X) + QLatin1Char(',') + NumberText(p.Y);
        });
    }
    const TPlanConductor& c = plan.Conductors[row];
    switch (column) {
    case kIdColumn: return ToQString(c.Id);
    case kTypeColumn: return c.IsGround ? QStringLiteral("Ground") : QStringLiteral("Phase");
    case kAcDcColumn: return c.IsAc ? QStringLiteral("AC") : QStringLiteral("DC");
    case kKvColumn: return NumberText(c.Kv);
    case kAngleColumn: return NumberText(c.AngleDeg);
    case kCurrentColumn: return NumberText(c.CurrentA);
    case kDiameterColumn: return NumberText(c.Diameter);
    case kBundleColumn: return QString::number(c.SubConductors);
    case kSpacingColumn: return NumberText(c.Spacing);
    case kShapeColumn:
        return c.Shape == TPlanShape::Path ? QStringLiteral("Path") : QStringLiteral("Span");
    case kPointsColumn:
        return PointsText(c.Points, [](const TPlanPoint& p) {
            return NumberText(p.X) + QLatin1Char(',') + NumberText(p.Y) + QLatin1Char(',') +
                   NumberText(p.Z);
        });
    case kSagColumn: return c.Shape == TPlanShape::Span ? NumberText(c.Sag) : QString();
    default: return {};
    }
}

std::optional<QString> SetCellText(TPlan& plan, TPlanTable table, int row, int column,
                                   const QString& text) {
    if (row < 0 || row >= RowCount(plan, table) || column < 0 || column >= ColumnCount(table))
        return QStringLiteral("There is no such cell.");
    std::optional<QString> refusal =
        table == TPlanTable::Conductors
            ? SetConductorCell(plan.Conductors[row], column, text)
            : SetFootprintCell(plan.Footprints[row], column, text);
    if (refusal)
        return ColumnTitle(plan, table, column) + QStringLiteral(": \"") + text.trimmed() +
               QStringLiteral("\" ") + *refusal + QLatin1Char('.');
    return std::nullopt;
}

std::optional<QString> PasteBlock(TPlan& plan, TPlanTable table, int row, int column,
                                  const QString& block) {
    QStringList lines = block.split(QLatin1Char('\n'));
    // A spreadsheet ends its block with a line break; it adds no row.
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    TPlan edited = plan;
    for (int k = 0; k < lines.size(); ++k) {
        const QStringList cells = QString(lines[k]).remove(QLatin1Char('\r')).split(QLatin1Char('\t'));
        if (column + cells.size() > ColumnCount(table))
            return QStringLiteral("Line %1 of the block has more cells than the table has columns "
                                  "from the one selected.")
                .arg(k + 1);
        while (row + k >= RowCount(edited, table))
            AddRow(edited, table);
        for (int j = 0; j < cells.size(); ++j)
            if (std::optional<QString> refusal =
                    SetCellText(edited, table, row + k, column + j, cells[j]))
                return QStringLiteral("Line %1: ").arg(k + 1) + *refusal;
    }
    plan = std::move(edited);
    return std::nullopt;
}

void AddRow(TPlan& plan, TPlanTable table) {
    const TPlanGrid& g = plan.Grid;
    if (table == TPlanTable::Footprints) {
        const double side = std::max((g.X1 - g.X0) * kNewFootprintShare, g.Step);
        const double x = (g.X0 + g.X1 - side) / 2, y = (g.Y0 + g.Y1 - side) / 2;
        TFootprint f;
        std::set<std::string> names;
        for (const TFootprint& other : plan.Footprints)
            names.insert(other.Name);
        for (int n = static_cast<int>(plan.Footprints.size()) + 1; f.Name.empty(); ++n)
            if (const std::string name = "Area " + std::to_string(n); !names.contains(name))
                f.Name = name;
        f.Corners = {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
        plan.Footprints.push_back(std::move(f));
        return;
    }
    TPlanConductor c;
    std::set<std::string> ids;
    for (const TPlanConductor& other : plan.Conductors)
        ids.insert(other.Id);
    for (int n = static_cast<int>(plan.Conductors.size()) + 1; c.Id.empty(); ++n)
        if (const std::string id = "C" + std::to_string(n); !ids.contains(id)) c.Id = id;
    const double z = English(plan) ? kNewConductorHeightFt : kNewConductorHeightM;
    const double x1 = g.X1 > g.X0 ? g.X1 : g.X0 + 100;
    c.Diameter = English(plan) ? 1 : 25.4;
    c.Points = {{g.X0, g.Y0, z}, {x1, g.Y0, z}};
    plan.Conductors.push_back(std::move(c));
}

bool RemoveRow(TPlan& plan, TPlanTable table, int row) {
    if (row < 0 || row >= RowCount(plan, table)) return false;
    if (table == TPlanTable::Conductors)
        plan.Conductors.erase(plan.Conductors.begin() + row);
    else
        plan.Footprints.erase(plan.Footprints.begin() + row);
    return true;
}

std::optional<TPlanCorner> HandlePosition(const TPlan& plan, const TPlanHandle& handle) {
    const auto inside = [](const auto& list, int index) {
        return index >= 0 && index < static_cast<int>(list.size());
    };
    if (handle.Kind == TPlanHandle::FootprintCorner) {
        if (!inside(plan.Footprints, handle.Index) ||
            !inside(plan.Footprints[handle.Index].Corners, handle.Vertex))
            return std::nullopt;
        return plan.Footprints[handle.Index].Corners[handle.Vertex];
    }
    if (!inside(plan.Conductors, handle.Index) ||
        !inside(plan.Conductors[handle.Index].Points, handle.Vertex))
        return std::nullopt;
    const TPlanPoint& p = plan.Conductors[handle.Index].Points[handle.Vertex];
    return TPlanCorner{p.X, p.Y};
}

bool MoveHandle(TPlan& plan, const TPlanHandle& handle, double x, double y) {
    const std::optional<TPlanCorner> from = HandlePosition(plan, handle);
    if (!from) return false;
    if (handle.Kind == TPlanHandle::FootprintCorner) {
        plan.Footprints[handle.Index].Corners[handle.Vertex] = {x, y};
        return true;
    }
    for (TPlanConductor& c : plan.Conductors)
        for (TPlanPoint& p : c.Points)
            if (p.X == from->X && p.Y == from->Y) {
                p.X = x;
                p.Y = y;
            }
    return true;
}

std::optional<QString> EditRefusal(const TPlan& before, const TPlan& after) {
    const auto messageOf = [](const TPlan& plan) -> std::optional<std::string> {
        auto built = space::BuildSpaceModel(plan);
        if (const auto* error = std::get_if<space::TMapInputError>(&built)) return error->Message;
        return std::nullopt;
    };
    const std::optional<std::string> now = messageOf(after);
    if (!now) return std::nullopt;
    const std::optional<std::string> earlier = messageOf(before);
    if (earlier && *earlier == *now) return std::nullopt;
    return ToQString(*now);
}

} // namespace corvalt::ui
