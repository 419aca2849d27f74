// The panel's outputs: the analog output fields in mA with two decimals, and the relay indicators.
#include <gtest/gtest.h>

#include "outputs/aout.h"
#include "panel/outputs.h"
#include "rig.h"

TEST(PanelOutputs, OutputCurrentsWithTwoDecimals) {
    Rig_Reset(Rig_MakeTempFolder());
    EXPECT_EQ(Panel_AnalogOutputText(0), "4.00");
    Aout_WriteCurrent(1, 7.5f);
    EXPECT_EQ(Panel_AnalogOutputText(1), "7.50");
    Aout_WriteCurrent(0, 20.5f);
    EXPECT_EQ(Panel_AnalogOutputText(0), "20.50");
    Aout_WriteCurrent(1, 12.3456f);
    EXPECT_EQ(Panel_AnalogOutputText(1), "12.35");
}

TEST(PanelOutputs, RelayIndicatorsShowTheContacts) {
    // Relay 1 off: its NO indicator is blue (unlit), its NC indicator white (lit).
    EXPECT_FALSE(Panel_RelayIndicatorLit(0x00, 0, false));
    EXPECT_TRUE(Panel_RelayIndicatorLit(0x00, 0, true));
    EXPECT_TRUE(Panel_RelayIndicatorLit(0x01, 0, false));
    EXPECT_FALSE(Panel_RelayIndicatorLit(0x01, 0, true));
    EXPECT_TRUE(Panel_RelayIndicatorLit(0x02, 1, false));
    EXPECT_FALSE(Panel_RelayIndicatorLit(0x02, 0, false));
}

TEST(PanelOutputs, APulseBetweenTwoRefreshesShowsForOneRefresh) {
    uint32_t seen = 0;
    EXPECT_FALSE(Panel_RelayShownClosed(0x00, 1, 0, &seen));
    // Relay 2 closed and opened again since the last refresh: shown closed once.
    EXPECT_TRUE(Panel_RelayShownClosed(0x00, 1, 1, &seen));
    EXPECT_FALSE(Panel_RelayShownClosed(0x00, 1, 1, &seen));
    EXPECT_TRUE(Panel_RelayShownClosed(0x02, 1, 2, &seen));
    EXPECT_TRUE(Panel_RelayShownClosed(0x02, 1, 2, &seen)) << "closed is closed";
    EXPECT_FALSE(Panel_RelayShownClosed(0x00, 1, 2, &seen));
}
