// The table of profile quantities: each entry reaches its own field of a
// record, and the magnetic field is shown in mG rounded once from gauss.
#include "model/ProfileQuantity.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace corvalt {
namespace {

TEST(ProfileQuantity, EachQuantityReachesItsOwnFieldAndShowsInItsUnit) {
    TCalcResult record;
    record.EMax = 1.5f;
    record.BMax = 0.015f; // gauss: the float nearest 0.015 times 1000 rounds to 15 mG
    record.AnRainL50 = 40;
    record.AnFairL50 = 15;
    record.RiRain = 50;
    record.RiFair = 33;
    record.TviRain = 12;
    record.Ozone = 2e-5f;
    const float stored[] = {1.5f, 0.015f, 40, 15, 50, 33, 12, 2e-5f};
    const float shown[] = {1.5f, 15, 40, 15, 50, 33, 12, 2e-5f};
    std::set<std::string> keys, names;
    for (const TProfileQuantityInfo& info : kProfileQuantities) {
        const auto q = static_cast<std::size_t>(info.Quantity);
        SCOPED_TRACE(info.Name);
        EXPECT_EQ(&ProfileQuantityInfo(info.Quantity), &info); // the table is in enum order
        EXPECT_EQ(StoredValue(record, info.Quantity), stored[q]);
        EXPECT_EQ(ShownValue(record, info.Quantity), shown[q]);
        keys.insert(info.JsonKey);
        names.insert(info.Name);
    }
    for (const TResultantInfo& info : kFieldResultants) {
        keys.insert(info.JsonKey);
        names.insert(info.Name);
    }
    EXPECT_EQ(keys.size(), kProfileQuantities.size() + kFieldResultants.size());
    EXPECT_EQ(names.size(), kProfileQuantities.size() + kFieldResultants.size());
    // Nothing computed, nothing shown.
    EXPECT_FALSE(ShownValue(TCalcResult{}, TProfileQuantity::BField));
}

} // namespace
} // namespace corvalt
