#include "model/SafeList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace corvalt;

namespace {

// Records its name in a shared log when freed.
struct Tracked {
    Tracked(std::string n, std::vector<std::string>& log) : name(std::move(n)), freed(&log) {}
    ~Tracked() { freed->push_back(name); }
    std::string name;
    std::vector<std::string>* freed;
};

} // namespace

TEST(SafeList, FreesWhatItStillHoldsLastToFirst) {
    std::vector<std::string> freed;
    std::unique_ptr<Tracked> kept;
    {
        TSafeList<Tracked> list;
        for (const char* name : {"a", "b", "c", "d"})
            list.Add(std::make_unique<Tracked>(name, freed));
        kept = list.Extract(1); // "b" leaves the list and survives it
        list.Delete(0);         // "a" is freed at once
        EXPECT_EQ(freed, (std::vector<std::string>{"a"}));
        EXPECT_EQ(list.Count(), 2);
    }
    EXPECT_EQ(freed, (std::vector<std::string>{"a", "d", "c"}));
    EXPECT_EQ(kept->name, "b");
    kept.reset();
}

TEST(SafeList, IndexingInsertExchangeAndIterationGiveTheObjects) {
    std::vector<std::string> freed;
    TSafeList<Tracked> list;
    EXPECT_EQ(list.Add(std::make_unique<Tracked>("x", freed)), 0);
    EXPECT_EQ(list.Add(std::make_unique<Tracked>("z", freed)), 1);
    list.Insert(1, std::make_unique<Tracked>("y", freed));
    list.Exchange(0, 2);
    std::string order;
    for (const Tracked& item : list)
        order += item.name;
    EXPECT_EQ(order, "zyx");
    EXPECT_EQ(list.IndexOf(&list[1]), 1);
    const Tracked stranger("w", freed);
    EXPECT_EQ(list.IndexOf(&stranger), -1);
    EXPECT_EQ(list.end() - list.begin(), 3);

    TSafeList<Tracked> moved = std::move(list);
    EXPECT_EQ(moved.Count(), 3);
    EXPECT_TRUE(freed.empty());
}
