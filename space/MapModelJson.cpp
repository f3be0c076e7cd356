#include "space/MapModelJson.h"

#include "model/Limits.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace corvalt::space {

namespace {

using TJson = nlohmann::json;

constexpr std::size_t kDeepestNesting = 64;

// A refusal found while the text is parsed, where the position says enough.
struct TParseRefusal {
    std::string Message;
};

// Follows the parser through the document: where it is (for messages), which
// keys each open object has had (a repeated key is refused, where a JSON
// parser would keep the last), and how deep it is.
class TParseTracker {
  public:
    bool operator()(int, TJson::parse_event_t event, TJson& parsed) {
        using E = TJson::parse_event_t;
        switch (event) {
        case E::object_start:
        case E::array_start:
            Enter();
            if (frames_.size() >= kDeepestNesting)
                throw TParseRefusal{Where() + "nests deeper than " +
                                    std::to_string(kDeepestNesting) + " levels"};
            frames_.push_back({event == E::object_start, {}, 0, {}});
            break;
        case E::key:
            frames_.back().Key = parsed.get<std::string>();
            if (!frames_.back().Keys.insert(frames_.back().Key).second)
                throw TParseRefusal{Where() + "the key is given twice"};
            break;
        case E::value:
            Enter();
            break;
        case E::object_end:
        case E::array_end:
            frames_.pop_back();
            break;
        }
        return true;
    }

    // "conductors[2].kv: ", or nothing at the top.
    std::string Where() const {
        std::string path;
        for (const TFrame& f : frames_) {
            if (f.Object) {
                if (!f.Key.empty()) path += (path.empty() ? "" : ".") + f.Key;
            } else if (f.Count > 0) {
                path += "[" + std::to_string(f.Count - 1) + "]";
            }
        }
        return path.empty() ? std::string() : path + ": ";
    }

  private:
    struct TFrame {
        bool Object;
        std::string Key;
        std::size_t Count; // elements of an array begun so far
        std::set<std::string> Keys;
    };

    void Enter() {
        if (!frames_.empty() && !frames_.back().Object) ++frames_.back().Count;
    }

    std::vector<TFrame> frames_;
};

// The parser's message without its code ("[json.exception.parse_error.101] ").
std::string ParserMessage(const std::exception& error) {
    const std::string what = error.what();
    const std::size_t code = what.find("] ");
    return what.rfind("[json.exception.", 0) == 0 && code != std::string::npos
               ? what.substr(code + 2)
               : what;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

class TModelReader {
  public:
    std::variant<TPlan, TMapInputError> Read(const TJson& doc) {
        if (!ReadPlan(doc)) return TMapInputError{error_};
        return std::move(plan_);
    }

  private:
    bool Fail(const std::string& where, const std::string& what) {
        error_ = where.empty() ? what : where + ": " + what;
        return false;
    }

    // Refuses keys of object not in allowed, and missing keys of required.
    bool CheckKeys(const TJson& object, const std::string& where,
                   std::initializer_list<const char*> allowed,
                   std::initializer_list<const char*> required) {
        for (const auto& [key, value] : object.items()) {
            bool known = false;
            for (const char* name : allowed)
                known = known || key == name;
            if (!known) return Fail(where, "unknown key " + Quoted(key));
        }
        for (const char* name : required)
            if (!object.contains(name)) return Fail(where, "missing key " + Quoted(name));
        return true;
    }

    bool Number(const TJson& object, const char* key, const std::string& where, double& out) {
        const auto it = object.find(key);
        if (it == object.end()) return true; // optional: the default stays
        if (!it->is_number()) return Fail(where, std::string(key) + ": must be a number");
        out = it->get<double>();
        if (!std::isfinite(out)) return Fail(where, std::string(key) + ": not a finite number");
        return true;
    }

    bool Text(const TJson& object, const char* key, const std::string& where, std::string& out) {
        const auto it = object.find(key);
        if (it == object.end()) return true;
        if (!it->is_string()) return Fail(where, std::string(key) + ": must be a text");
        out = it->get<std::string>();
        return true;
    }

    // [x, y] or [x, y, z]: an array of exactly as many numbers.
    bool Coordinates(const TJson& value, const std::string& where, std::size_t count,
                     double* out) {
        const char* shape = count == 3 ? "must be a point [x, y, z]" : "must be a corner [x, y]";
        if (!value.is_array() || value.size() != count) return Fail(where, shape);
        for (std::size_t k = 0; k < count; ++k) {
            if (!value[k].is_number()) return Fail(where, shape);
            out[k] = value[k].get<double>();
            if (!std::isfinite(out[k])) return Fail(where, "not a finite number");
        }
        return true;
    }

    bool Point(const TJson& value, const std::string& where, TPlanPoint& point) {
        double xyz[3];
        if (!Coordinates(value, where, 3, xyz)) return false;
        point = {xyz[0], xyz[1], xyz[2]};
        return true;
    }

    bool ReadPlan(const TJson& doc) {
        if (!doc.is_object()) return Fail("", "a model must be a JSON object");
        if (!CheckKeys(doc, "", {"format", "name", "units", "conductors", "grid", "footprints"},
                       {"format", "name", "units", "conductors", "grid"}))
            return false;
        std::string format, units;
        if (!Text(doc, "format", "", format) || !Text(doc, "name", "", plan_.Name) ||
            !Text(doc, "units", "", units))
            return false;
        if (format != kMapModelFormat)
            return Fail("format", "must be " + Quoted(kMapModelFormat) + ", not " + Quoted(format));
        if (units == "metric")
            plan_.Units = Metric;
        else if (units == "english")
            plan_.Units = English;
        else
            return Fail("units", "must be \"metric\" or \"english\", not " + Quoted(units));
        return ReadConductors(doc["conductors"]) && ReadGrid(doc["grid"]) &&
               (!doc.contains("footprints") || ReadFootprints(doc["footprints"]));
    }

    bool ReadConductors(const TJson& list) {
        if (!list.is_array()) return Fail("conductors", "must be an array");
        if (list.size() > static_cast<std::size_t>(kMaxPlanConductors))
            return Fail("conductors", "more than " + std::to_string(kMaxPlanConductors));
        for (std::size_t k = 0; k < list.size(); ++k)
            if (!ReadConductor(list[k], "conductors[" + std::to_string(k) + "]")) return false;
        return true;
    }

    bool ReadConductor(const TJson& c, std::string where) {
        if (!c.is_object()) return Fail(where, "must be an object");
        TPlanConductor p;
        if (!c.contains("id")) return Fail(where, "missing key \"id\"");
        if (!Text(c, "id", where, p.Id)) return false;
        where = "conductor " + Quoted(p.Id);
        if (!CheckKeys(c, where,
                       {"id", "type", "ac", "kv", "angle_deg", "current_a", "diameter",
                        "subconductors", "spacing", "path", "span"},
                       {"type", "diameter"}))
            return false;
        std::string type;
        if (!Text(c, "type", where, type)) return false;
        if (type != "phase" && type != "ground")
            return Fail(where, "type: must be \"phase\" or \"ground\", not " + Quoted(type));
        p.IsGround = type == "ground";
        if (!p.IsGround && !c.contains("kv")) return Fail(where, "missing key \"kv\"");
        if (c.contains("ac")) {
            if (!c["ac"].is_boolean()) return Fail(where, "ac: must be true or false");
            p.IsAc = c["ac"].get<bool>();
        }
        double subconductors = 1;
        if (!Number(c, "kv", where, p.Kv) || !Number(c, "angle_deg", where, p.AngleDeg) ||
            !Number(c, "current_a", where, p.CurrentA) ||
            !Number(c, "diameter", where, p.Diameter) ||
            !Number(c, "subconductors", where, subconductors) ||
            !Number(c, "spacing", where, p.Spacing))
            return false;
        if (subconductors != std::floor(subconductors) || std::abs(subconductors) > 1e6)
            return Fail(where, "subconductors: must be a whole number from 1 to " +
                                   std::to_string(kMaxPlanSubConductors));
        p.SubConductors = static_cast<int>(subconductors);
        const bool path = c.contains("path"), span = c.contains("span");
        if (path && span) return Fail(where, "has both a path and a span");
        if (!path && !span) return Fail(where, "missing key \"path\" or \"span\"");
        if (!(path ? ReadPath(c["path"], where, p) : ReadSpan(c["span"], where, p))) return false;
        plan_.Conductors.push_back(std::move(p));
        return true;
    }

    bool ReadPath(const TJson& path, const std::string& where, TPlanConductor& p) {
        p.Shape = TPlanShape::Path;
        if (!path.is_array()) return Fail(where, "path: must be an array of points [x, y, z]");
        if (path.size() > static_cast<std::size_t>(kMaxPathPoints))
            return Fail(where, "path: more than " + std::to_string(kMaxPathPoints) + " points");
        p.Points.resize(path.size());
        for (std::size_t k = 0; k < path.size(); ++k)
            if (!Point(path[k], where + ": path point " + std::to_string(k + 1), p.Points[k]))
                return false;
        return true;
    }

    bool ReadSpan(const TJson& span, const std::string& where, TPlanConductor& p) {
        p.Shape = TPlanShape::Span;
        if (!span.is_object()) return Fail(where, "span: must be an object");
        if (!CheckKeys(span, where + ": span", {"from", "to", "sag"}, {"from", "to", "sag"}))
            return false;
        p.Points.resize(2);
        return Point(span["from"], where + ": span.from", p.Points[0]) &&
               Point(span["to"], where + ": span.to", p.Points[1]) &&
               Number(span, "sag", where + ": span", p.Sag);
    }

    bool ReadGrid(const TJson& grid) {
        if (!grid.is_object()) return Fail("grid", "must be an object");
        if (!CheckKeys(grid, "grid", {"x0", "x1", "y0", "y1", "step", "height"},
                       {"x0", "x1", "y0", "y1", "step", "height"}))
            return false;
        TPlanGrid& g = plan_.Grid;
        return Number(grid, "x0", "grid", g.X0) && Number(grid, "x1", "grid", g.X1) &&
               Number(grid, "y0", "grid", g.Y0) && Number(grid, "y1", "grid", g.Y1) &&
               Number(grid, "step", "grid", g.Step) && Number(grid, "height", "grid", g.Height);
    }

    bool ReadFootprints(const TJson& list) {
        if (!list.is_array()) return Fail("footprints", "must be an array");
        if (list.size() > static_cast<std::size_t>(kMaxFootprints))
            return Fail("footprints", "more than " + std::to_string(kMaxFootprints));
        for (std::size_t k = 0; k < list.size(); ++k) {
            std::string where = "footprints[" + std::to_string(k) + "]";
            const TJson& f = list[k];
            if (!f.is_object()) return Fail(where, "must be an object");
            TFootprint footprint;
            if (!f.contains("name")) return Fail(where, "missing key \"name\"");
            if (!Text(f, "name", where, footprint.Name)) return false;
            where = "footprint " + Quoted(footprint.Name);
            if (!CheckKeys(f, where, {"name", "polygon"}, {"polygon"})) return false;
            const TJson& polygon = f["polygon"];
            if (!polygon.is_array())
                return Fail(where, "polygon: must be an array of corners [x, y]");
            if (polygon.size() > static_cast<std::size_t>(kMaxFootprintCorners))
                return Fail(where, "polygon: more than " + std::to_string(kMaxFootprintCorners) +
                                       " corners");
            for (std::size_t n = 0; n < polygon.size(); ++n) {
                double xy[2];
                if (!Coordinates(polygon[n], where + ": corner " + std::to_string(n + 1), 2, xy))
                    return false;
                footprint.Corners.push_back({xy[0], xy[1]});
            }
            plan_.Footprints.push_back(std::move(footprint));
        }
        return true;
    }

    TPlan plan_;
    std::string error_;
};

} // namespace

std::variant<TPlan, TMapInputError> ReadMapModelJson(std::string_view text) {
    TParseTracker tracker;
    TJson doc;
    try {
        doc = TJson::parse(text, std::ref(tracker));
    } catch (const TParseRefusal& refusal) {
        return TMapInputError{"not a model: " + refusal.Message};
    } catch (const TJson::exception& error) {
        return TMapInputError{"not valid JSON: " + tracker.Where() + ParserMessage(error)};
    }
    return TModelReader().Read(doc);
}

} // namespace corvalt::space
