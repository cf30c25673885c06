// The search's memory of arrangements: every key it kept is found again,
// whatever the table grew through, and a key never kept is not found, even
// one that differs from a kept one only in its length or its last byte.
#include "fingerprinttable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Keys shaped like the search's, a byte a domino and most of them alike,
// each told apart by its last three bytes.
std::string arrangement(int i)
{
    std::string k(24, '\x05');
    k[i % 24] = '\x07';
    for (int b = 0; b < 3; b++)
        k += static_cast<char>((i >> (8 * b)) & 0xff);
    return k;
}

TEST(FingerprintTable, EveryKeptKeyIsFoundAfterTheTableGrew)
{
    FingerprintTable<int> table;
    const int kept = 200000;
    for (int i = 0; i < kept; i++)
        table[arrangement(i)] = i;
    int wrong = 0;
    for (int i = 0; i < kept; i++) {
        const int* v = table.find(arrangement(i));
        wrong += !v || *v != i;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(table.size(), static_cast<std::size_t>(kept));
}

TEST(FingerprintTable, AKeyKeptAgainKeepsOneEntry)
{
    FingerprintTable<int> table;
    table["ab"] = 1;
    table["ab"]++;
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(*table.find("ab"), 2);
}

TEST(FingerprintTable, KeysThatDifferOnlyAtTheirEndAreApart)
{
    FingerprintTable<int> table;
    EXPECT_EQ(table.find("x"), nullptr);
    table[std::string(16, '\0')] = 1;
    EXPECT_EQ(table.find(std::string(17, '\0')), nullptr);
    EXPECT_EQ(table.find(std::string(15, '\0')), nullptr);
    EXPECT_EQ(table.find(std::string(15, '\0') + '\x01'), nullptr);
    EXPECT_EQ(table.find(""), nullptr);
    table[""] = 2;
    EXPECT_EQ(*table.find(""), 2);
    EXPECT_EQ(*table.find(std::string(16, '\0')), 1);
}

}  // namespace
