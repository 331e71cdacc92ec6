// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "render/PointerList.h"

using namespace glassfalls;

namespace {

struct Tracked {
    Tracked(std::vector<int>& destructions, int identity) : log(destructions), id(identity) {}
    virtual ~Tracked() { log.push_back(id); }
    std::vector<int>& log;
    int id;
};

}  // namespace

TEST(PointerList, KeepsOrderAndFindsFirstIndex) {
    int a = 0, b = 0, c = 0;
    PointerList<int> list;
    for (int* p : {&a, &b, &a, &c}) list.add(p);
    EXPECT_EQ(list.size(), 4);
    EXPECT_EQ(list.indexOf(&a), 0);
    EXPECT_EQ(list.indexOf(&c), 3);
    list.removeAt(0);
    EXPECT_EQ(list.indexOf(&a), 1);
    EXPECT_EQ(list.at(0), &b);
    int absent = 0;
    EXPECT_EQ(list.indexOf(&absent), -1);
}

TEST(PointerList, OwningListDestroysOnRemovalAndInOrderAtTheEnd) {
    std::vector<int> destroyed;
    {
        OwningPointerList<Tracked> list;
        for (int id = 1; id <= 4; ++id) list.add(new Tracked(destroyed, id));
        list.removeAt(2);
        EXPECT_EQ(destroyed, std::vector<int>{3});
    }
    EXPECT_EQ(destroyed, (std::vector<int>{3, 1, 2, 4}));
}
