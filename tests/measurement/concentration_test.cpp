// The user concentration table: interpolation in temperature and conductivity, its limits, the
// settings module with its store and load rules, the checks of the entry pages, and the magnitude
// prefix of an entered value.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/eeprom.h"
#include "measurement/concentration.h"
#include "measurement/units.h"
#include "rig.h"

namespace {
// Temperatures 20 and 30 C, concentrations 1 and 2; 0.1 and 0.2 S/cm at 20 C, 0.12 and 0.24 at 30.
void TwoByTwo(ConcTable* t) {
    t->temperatureCount = 2;
    t->concentrationCount = 2;
    t->temperatures[0] = 20.0f;
    t->temperatures[1] = 30.0f;
    t->concentrations[0] = 1.0f;
    t->concentrations[1] = 2.0f;
    t->conductivities[0][0] = 0.1f;
    t->conductivities[0][1] = 0.2f;
    t->conductivities[1][0] = 0.12f;
    t->conductivities[1][1] = 0.24f;
}

float Conc(float k, float t, uint32_t expectedStatus) {
    uint32_t status = 99;
    float c = Conc_FromCondUnit2(k, t, &status);
    EXPECT_EQ(status, expectedStatus) << k << " S/cm at " << t;
    return c;
}
}  // namespace

TEST(ConcTable, InterpolationInTemperatureAndConductivity) {
    Rig_OpenFreshStore();
    TwoByTwo(&g_ConcTable);
    EXPECT_NEAR(Conc(0.165f, 25.0f, 0), 1.5f, 1e-5f);
    EXPECT_NEAR(Conc(0.1f, 20.0f, 0), 1.0f, 1e-5f);
    // The last temperature point is inside the table, a hair above it is not; below the first: 3.
    EXPECT_NEAR(Conc(0.24f, 30.0f, 0), 2.0f, 1e-5f);
    EXPECT_EQ(Conc(0.24f, 30.001f, 2), 0.0f);
    EXPECT_EQ(Conc(0.15f, 19.99f, 3), 0.0f);
    // Conductivity below and above the table's range at the temperature.
    EXPECT_EQ(Conc(0.109f, 25.0f, 3), 0.0f);
    EXPECT_EQ(Conc(0.2201f, 25.0f, 2), 0.0f);
    // A curve whose conductivity falls with concentration is interpolated the same way, and its
    // ends swap.
    g_ConcTable.conductivities[0][0] = 0.2f;
    g_ConcTable.conductivities[0][1] = 0.1f;
    g_ConcTable.conductivities[1][0] = 0.24f;
    g_ConcTable.conductivities[1][1] = 0.12f;
    EXPECT_NEAR(Conc(0.165f, 25.0f, 0), 1.5f, 1e-5f);
    EXPECT_EQ(Conc(0.23f, 25.0f, 3), 0.0f);
    EXPECT_EQ(Conc(0.1f, 25.0f, 2), 0.0f);

    // Five by five: the segment is found in both directions.
    ConcTable& t = g_ConcTable;
    t.temperatureCount = 5;
    t.concentrationCount = 5;
    for (uint32_t i = 0; i < 5; ++i) {
        t.temperatures[i] = 10.0f * static_cast<float>(i);
        t.concentrations[i] = 2.0f * static_cast<float>(i + 1);
        for (uint32_t m = 0; m < 5; ++m) {
            t.conductivities[i][m] = 0.01f * static_cast<float>(m + 1) * (1.0f + 0.02f * t.temperatures[i]);
        }
    }
    EXPECT_NEAR(Conc(0.035f * 1.7f, 35.0f, 0), 7.0f, 1e-4f);
    EXPECT_NEAR(Conc(0.0899999f, 40.0f, 0), 10.0f, 1e-3f);
    EXPECT_NEAR(Conc(0.01f, 0.0f, 0), 2.0f, 1e-4f);
    // A negative result reads 0: a first concentration below zero.
    t.concentrations[0] = -4.0f;
    EXPECT_EQ(Conc(0.0101f, 0.0f, 0), 0.0f);
    t.concentrations[0] = 2.0f;

    // Degenerate tables: the first two temperatures together, neighbouring temperatures or
    // conductivities that coincide, a count that is no count.
    t.temperatures[1] = 0.0005f;
    EXPECT_EQ(Conc(0.02f, 5.0f, 2), 0.0f);
    t.temperatures[1] = 10.0f;
    t.temperatures[2] = 10.0f;
    EXPECT_NEAR(Conc(0.024f, 10.0f, 0), 4.0f, 1e-4f) << "10 C lies in the first segment";
    t.temperatures[2] = 20.0f;
    t.conductivities[0][2] = t.conductivities[0][1];
    t.conductivities[1][2] = t.conductivities[1][1];
    EXPECT_EQ(Conc(0.02f, 0.0f, 0), 4.0f) << "the first segment that holds it";
    t.temperatureCount = 7;
    EXPECT_EQ(Conc(0.02f, 0.0f, 2), 0.0f);
    EXPECT_EQ(Conc(NAN, 0.0f, 2), 0.0f);
}

TEST(ConcTable, SettingsModuleStoreAndLoad) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // A blank store cannot be read: the defaults, stored.
    Conc_LoadUserTable(&status);
    EXPECT_EQ(status, 0u);
    char name[kConcNameSize];
    Conc_GetTableName(name);
    EXPECT_STREQ(name, "%Conc.");
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_EQ(bytes[1602], 2);
    EXPECT_EQ(bytes[1603], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[1720]), 6), "%Conc.");
    EXPECT_EQ(Rig_FloatAt(bytes, 1000), 0.0f);

    // Edited, committed and read back; rows 3 and 4 live at 896.
    Conc_CopyUserTableToWork();
    ConcTable& e = g_ConcTableEdit.table;
    e.temperatureCount = 5;
    e.concentrationCount = 3;
    std::memcpy(e.name, "%H2O2xx", kConcNameSize);
    for (uint32_t i = 0; i < 5; ++i) {
        e.temperatures[i] = 5.0f * static_cast<float>(i);
        e.concentrations[i] = 1.0f + static_cast<float>(i);
        for (uint32_t m = 0; m < 5; ++m) e.conductivities[i][m] = static_cast<float>(10 * i + m);
    }
    Conc_CommitUserTable(&status);
    EXPECT_EQ(status, 0u);
    bytes = Rig_StoreBytes();
    EXPECT_EQ(bytes[1602], 5);
    EXPECT_EQ(bytes[1603], 3);
    EXPECT_EQ(Rig_FloatAt(bytes, 1000 + 16), 20.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 1700 + 8), 3.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 1604 + 20 * 2 + 4 * 3), 23.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 896 + 4 * 1), 31.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 896 + 20 + 4 * 4), 44.0f);
    g_ConcTable = ConcTable{};
    Conc_LoadUserTable(&status);
    EXPECT_EQ(g_ConcTable.temperatureCount, 5);
    EXPECT_EQ(g_ConcTable.conductivities[4][4], 44.0f);
    EXPECT_EQ(g_ConcTable.conductivities[3][0], 30.0f);
    EXPECT_EQ(g_ConcTable.temperatures[4], 20.0f);
    Conc_GetTableName(name);
    EXPECT_STREQ(name, "%H2O2xx");
    // The name is seven characters whatever the store holds after them.
    EXPECT_EQ(g_ConcTable.name[7], '\0');

    // A count outside 2..5 reads as 2; an unreadable value defaults the whole table.
    uint32_t s = 0;
    const uint8_t seven = 7;
    Eeprom_Write(1602, &seven, 1, &s);
    Conc_LoadUserTable(&status);
    EXPECT_EQ(g_ConcTable.temperatureCount, 2);
    EXPECT_EQ(g_ConcTable.concentrationCount, 3);
    const uint8_t blank[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    Eeprom_Write(896 + 20, blank, 4, &s);
    Conc_LoadUserTable(&status);
    EXPECT_EQ(g_ConcTable.concentrationCount, 2);
    EXPECT_EQ(g_ConcTable.conductivities[1][1], 0.0f);
    EXPECT_EQ(Rig_FloatAt(Rig_StoreBytes(), 896 + 20), 0.0f) << "the defaults are stored";

    // A store that cannot be written reports it.
    std::filesystem::remove(Rig_StorePath());
    Conc_StoreUserTable(&status);
    EXPECT_NE(status, 0u);
}

TEST(ConcTable, ChecksOfTheEntryPages) {
    Rig_OpenFreshStore();
    ConcTable& e = g_ConcTableEdit.table;
    e.temperatureCount = 3;
    e.concentrationCount = 4;
    e.temperatures[0] = 10.0f;
    e.temperatures[1] = 10.00009f;
    e.temperatures[2] = 10.0003f;
    EXPECT_FALSE(Conc_CheckTempIncreasing(1)) << "less than 0.0001 higher";
    EXPECT_TRUE(Conc_CheckTempIncreasing(2));
    for (uint32_t m = 0; m < 4; ++m) e.concentrations[m] = static_cast<float>(m);
    EXPECT_TRUE(Conc_CheckConcIncreasing());
    e.concentrations[3] = 2.0f;
    EXPECT_FALSE(Conc_CheckConcIncreasing());
    // The first row rises; equal neighbours after its first step pass, a step back does not.
    const float first[4] = {0.1f, 0.2f, 0.2f, 0.3f};
    std::memcpy(e.conductivities[0], first, sizeof first);
    EXPECT_TRUE(Conc_CheckCondMonotonic());
    e.conductivities[0][3] = 0.15f;
    EXPECT_FALSE(Conc_CheckCondMonotonic());
    // Falling; and a first step of nothing is no direction.
    const float falling[4] = {0.4f, 0.3f, 0.3f, 0.1f};
    std::memcpy(e.conductivities[0], falling, sizeof falling);
    EXPECT_TRUE(Conc_CheckCondMonotonic());
    e.conductivities[0][1] = 0.4f;
    EXPECT_FALSE(Conc_CheckCondMonotonic());
    // A later row runs strictly in the direction of the first.
    std::memcpy(e.conductivities[0], falling, sizeof falling);
    const float follows[4] = {0.5f, 0.4f, 0.3f, 0.2f};
    const float flat[4] = {0.5f, 0.4f, 0.4f, 0.2f};
    std::memcpy(e.conductivities[1], follows, sizeof follows);
    std::memcpy(e.conductivities[2], flat, sizeof flat);
    EXPECT_TRUE(Conc_CheckRowFollowsT1(1));
    EXPECT_FALSE(Conc_CheckRowFollowsT1(2));
    EXPECT_FALSE(Conc_CheckRowFollowsT1(5));

    // Navigation: the last temperature, half of an odd or an even number of concentrations.
    g_ConcTableEdit.temperatureIndex = 1;
    EXPECT_FALSE(Conc_IsLastTemperatureReached());
    g_ConcTableEdit.temperatureIndex = 2;
    EXPECT_TRUE(Conc_IsLastTemperatureReached());
    g_ConcTableEdit.columnIndex = 0;
    EXPECT_FALSE(Conc_IsEvenHalfReached());
    g_ConcTableEdit.columnIndex = 1;
    EXPECT_TRUE(Conc_IsEvenHalfReached());
    EXPECT_TRUE(Conc_IsTableEntryDone(49));
    EXPECT_FALSE(Conc_IsTableEntryDone(47)) << "4 concentrations are even";
    EXPECT_TRUE(Conc_IsTableEntryDone(45));
    EXPECT_FALSE(Conc_IsTableEntryDone(46));
    e.concentrationCount = 5;
    g_ConcTableEdit.rowIndex = 1;
    EXPECT_FALSE(Conc_IsOddHalfReached());
    EXPECT_FALSE(Conc_IsTableEntryDone(47));
    g_ConcTableEdit.rowIndex = 2;
    EXPECT_TRUE(Conc_IsTableEntryDone(47));
    EXPECT_FALSE(Conc_IsTableEntryDone(49));
}

TEST(UnitPrefix, AutomaticPrefixOfAnEnteredValue) {
    uint8_t prefix = 99;
    EXPECT_NEAR(Unit_AutoPrefix(0.0009994f, &prefix), 999.4f, 1e-3f);
    EXPECT_EQ(prefix, kAutoPrefixMicro);
    EXPECT_NEAR(Unit_AutoPrefix(0.0009996f, &prefix), 0.9996f, 1e-6f);
    EXPECT_EQ(prefix, kAutoPrefixMilli);
    EXPECT_NEAR(Unit_AutoPrefix(0.9994f, &prefix), 999.4f, 1e-3f);
    EXPECT_EQ(prefix, kAutoPrefixMilli);
    EXPECT_EQ(Unit_AutoPrefix(0.9996f, &prefix), 0.9996f);
    EXPECT_EQ(prefix, kAutoPrefixNone);
    EXPECT_EQ(Unit_AutoPrefix(-5.0f, &prefix), 0.0f);
    EXPECT_EQ(prefix, kAutoPrefixMicro);
    EXPECT_EQ(Unit_AutoPrefix(NAN, &prefix), 0.0f);
}
