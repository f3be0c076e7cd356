#include "model/FieldLimitTable.h"

#include <cmath>

namespace corvalt {

namespace {
std::size_t Index(TLimitClass limitClass) {
    return static_cast<std::size_t>(limitClass);
}
} // namespace

std::optional<float>& LimitAt(TClassLimits& row, TLimitColumn column) {
    switch (column) {
    case TLimitColumn::EWithinRow:
        return row.EWithinRow;
    case TLimitColumn::EAtEdge:
        return row.EAtEdge;
    case TLimitColumn::BAtEdge:
        break;
    }
    return row.BAtEdge;
}

const std::optional<float>& LimitAt(const TClassLimits& row, TLimitColumn column) {
    return LimitAt(const_cast<TClassLimits&>(row), column);
}

TClassLimits& TFieldLimits::For(TLimitClass limitClass) {
    return Rows[Index(limitClass)];
}

const TClassLimits& TFieldLimits::For(TLimitClass limitClass) const {
    return Rows[Index(limitClass)];
}

TFieldLimits DefaultFieldLimits() {
    TFieldLimits limits;
    limits.For(TLimitClass::Line230) = {8.0f, 2.0f, 150.0f};
    limits.For(TLimitClass::Line500) = {10.0f, 2.0f, 200.0f};
    limits.For(TLimitClass::Line500Double) = {10.0f, 2.0f, 250.0f};
    // Within a substation's property there is no limit.
    limits.For(TLimitClass::Substation) = {std::nullopt, 2.0f, 150.0f};
    return limits;
}

float MaxLimitOf(TLimitColumn column) {
    return column == TLimitColumn::BAtEdge ? kMaxMagneticLimit : kMaxElectricLimit;
}

bool IsUsableLimit(TLimitColumn column, float value) {
    return std::isfinite(value) && value > 0 && value <= MaxLimitOf(column);
}

float GaussToMilligauss(float gauss) {
    return static_cast<float>(static_cast<double>(gauss) * 1000.0);
}

const char* LimitClassText(TLimitClass limitClass) {
    switch (limitClass) {
    case TLimitClass::Line230:
        return "transmission lines of 230 kV and less";
    case TLimitClass::Line500:
        return "500 kV transmission lines";
    case TLimitClass::Line500Double:
        return "500 kV double-circuit transmission lines";
    case TLimitClass::Substation:
        break;
    }
    return "substations";
}

const char* LimitColumnText(TLimitColumn column) {
    switch (column) {
    case TLimitColumn::EWithinRow:
        return "E within ROW (kV/m)";
    case TLimitColumn::EAtEdge:
        return "E at ROW edge (kV/m)";
    case TLimitColumn::BAtEdge:
        break;
    }
    return "B at ROW edge (mG)";
}

} // namespace corvalt
