// Measurement ids, the record, the unit table, the slots with their filters and pressure units,
// the update cycle and the channel reset; a channel of 2 or more is no channel everywhere.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/link.h"
#include "measurement/analog_input.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/slots.h"
#include "measurement/units.h"

namespace {
// A slot with a filter of depth 1, so its value is the last one computed.
void Assign(uint32_t slot, uint32_t channel, uint32_t unit) {
    Filter_SetModeByte(&g_SlotFilters[slot], kFilterDepth1);
    Meas_SetSlotAssignment(slot, channel, unit);
}

void SetTemperature(uint32_t channel, float t) {
    g_Measurement[channel].temperature = t;
    g_Measurement[channel].temperatureStatus = 0;
    g_Measurement[channel].temperatureSourceStatus = 0;
}

uint32_t SlotStatus(uint32_t slot) {
    uint32_t status = 0;
    Meas_GetSlotValue(slot, &status);
    return status;
}
}  // namespace

TEST(MeasurementIds, ChannelsOfIdsAndOfTheLink) {
    EXPECT_EQ(Meas_GetBaseId(0x101004), 0x100004u);
    EXPECT_EQ(Meas_GetIdChannel(0x101004), 1u);
    EXPECT_EQ(Meas_GetIdChannel(0x1ff021), 0u);
    EXPECT_EQ(Meas_GetBaseId(0x1ff022), 0x1ff022u);
    g_LinkActiveChannel = 1;
    EXPECT_EQ(Meas_GetIdChannel(0x1ff022), 1u);
    // No active channel, or an id of channel 2: readers give 0.0 with status 2.
    g_LinkActiveChannel = 255;
    uint32_t status = 0;
    EXPECT_EQ(Meas_GetTemperature(Meas_GetIdChannel(0x1ff022), &status), 0.0f);
    EXPECT_EQ(status, 2u);
    status = 0;
    EXPECT_EQ(Meas_GetGlassImpedance(Meas_GetIdChannel(0x102019), &status), 0.0f);
    EXPECT_EQ(status, 2u);
    status = 0;
    EXPECT_EQ(Meas_GetAnalogInput(0, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    g_Measurement[1].analogInputScaled = 5.0f;
    Meas_UpdateInputPressure(1);
    EXPECT_EQ(g_Measurement[1].analogInputScaled, 0.0f) << "no current: the bottom of the range";
    EXPECT_EQ(Meas_GetRecordValueNonNeg(2, 0), 0.0f);
}

TEST(MeasurementRecord, KindFieldsAreWordsReadAsFloatOrWord) {
    Meas_SetFieldFloat(1, kPhFieldGlass, 1.5e8f);
    Meas_SetFieldWord(1, kPhFieldGlassStatus, 5);
    EXPECT_EQ(Meas_GetFieldFloat(1, kPhFieldGlass), 1.5e8f);
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldGlass), 0x4D0F0D18u) << "the bits as the record holds them";
    // Fields outside 10..20 and channels outside 0..1 are never reached.
    Meas_SetFieldWord(1, 21, 7);
    Meas_SetFieldWord(2, 10, 7);
    EXPECT_EQ(Meas_GetFieldWord(1, 21), 0u);
    EXPECT_EQ(g_Measurement[1].kindFields[10], 0u);
    EXPECT_EQ(g_Measurement[0].kindFields[0], 0u);
    // Optical values: field 9 + i read non-negative, i at most 7.
    Meas_SetFieldFloat(1, 10, -4.0f);
    Meas_SetFieldFloat(1, 16, 6.0f);
    EXPECT_EQ(Meas_GetRecordValueNonNeg(1, 1), 0.0f);
    EXPECT_EQ(Meas_GetRecordValueNonNeg(1, 7), 6.0f);
    EXPECT_EQ(Meas_GetRecordValueNonNeg(1, 8), 0.0f);
}

TEST(Units, UnitRowsTextsAndTheElectrodeFamily) {
    EXPECT_EQ(std::string(Unit_GetText(45)), "O3");
    EXPECT_EQ(std::string(Unit_GetText(54)), " ");
    // "O3" has no row: row 0, no value.
    Meas_SetSlotAssignment(0, 0, 45);
    EXPECT_EQ(Meas_GetSlotUnitIndex(0), 0);
    Meas_SetSlotAssignment(1, 1, 12);
    EXPECT_EQ(Meas_GetSlotUnitIndex(1), 2);
    uint32_t status = 0;
    SetTemperature(1, 100.0f);
    EXPECT_EQ(Meas_GetSlotRawValue(1, &status), 212.0f);
    // Glass impedance at 25 C: 5e6 is valid, 4.99e6 under range.
    SetTemperature(1, 25.0f);
    Meas_SetFieldWord(1, kPhFieldGlassStatus, 0);
    Meas_SetFieldFloat(1, kPhFieldGlass, 5e6f);
    EXPECT_EQ(Meas_GetUnitValue13to18(1, 16, &status), 5e6f);
    EXPECT_EQ(status, 0u);
    Meas_SetFieldFloat(1, kPhFieldGlass, 4.99e6f);
    Meas_GetUnitValue13to18(1, 16, &status);
    EXPECT_EQ(status, 3u);
    // Reference electrode: 2 % per degree above 25 C.
    SetTemperature(1, 35.0f);
    Meas_SetFieldFloat(1, kPhFieldReference, 10000.0f);
    EXPECT_FLOAT_EQ(Meas_GetUnitValue13to18(1, 17, &status), 12000.0f);
    // Channel A's electrode voltage, limited to 1500 mV.
    g_MeasuringKind[0] = kKindPh;
    g_Measurement[0].primary = 1.7f;
    EXPECT_EQ(Meas_GetMv(0, &status), 1500.0f);
    EXPECT_EQ(status, 2u);
    // Conductivity needs channel A's element: a missing one ends the read.
    g_Measurement[0].elementStatus = 3;
    EXPECT_EQ(Meas_GetCondByUnit(0, 1, 0, 0.02f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(Slots, FilterKeptOnTheSameAssignmentAndBadValuesShownAsStatusTwo) {
    g_MeasReplyCount[0] = 5;
    SetTemperature(0, 20.0f);
    Filter_SetModeByte(&g_SlotFilters[1], kFilterDepth10);
    Meas_SetSlotAssignment(1, 0, 11);
    uint32_t status = 9;
    EXPECT_EQ(Meas_GetSlotValue(1, &status), 20.0f) << "a measuring channel's new slot shows at once";
    EXPECT_EQ(status, 0u);
    Meas_UpdateSlots(0);
    SetTemperature(0, 30.0f);
    Meas_UpdateSlots(0);
    EXPECT_EQ(Meas_GetSlotValue(1, &status), 25.0f);
    Meas_SetSlotAssignment(1, 0, 11);
    EXPECT_EQ(Filter_GetCount(&g_SlotFilters[1]), 2u);
    Meas_SetSlotAssignment(1, 0, 12);
    EXPECT_EQ(Filter_GetCount(&g_SlotFilters[1]), 0u);

    // A getter's status 5 (the invalid impedance entry) shows as 2 with 0.0.
    SetTemperature(1, 25.0f);
    Meas_SetFieldWord(1, kPhFieldGlassStatus, 5);
    Assign(2, 1, 16);
    EXPECT_EQ(Meas_GetSlotRawValue(2, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    SetTemperature(0, 1e38f);  // not finite in Fahrenheit
    EXPECT_EQ(Meas_GetSlotRawValue(1, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    Assign(3, 255, 11);
    EXPECT_EQ(Meas_GetSlotRawValue(3, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(Slots, AReplyUpdatesOnlyItsChannelsSlotsAndAResetStopsAllFour) {
    Meas_InitState();
    Assign(0, 0, 11);
    Assign(1, 0, 12);
    Assign(2, 1, 11);
    Assign(3, 1, 12);
    SetTemperature(0, 10.0f);
    SetTemperature(1, 40.0f);
    g_LinkActiveChannel = 0;
    g_ChanValueReady[0] = 1;
    g_ChanValueReady[1] = 1;
    Meas_UpdateCycle();
    uint32_t status = 0;
    EXPECT_EQ(Meas_GetSlotValue(1, &status), 50.0f);
    EXPECT_EQ(SlotStatus(2), 2u) << "channel B's slots wait for channel B";
    EXPECT_EQ(g_ChanValueReady[0], 0u);
    EXPECT_EQ(g_ChanValueReady[1], 1u);
    // No active channel, whatever the value: the cycle does nothing.
    for (uint8_t none : {uint8_t{2}, uint8_t{255}}) {
        g_LinkActiveChannel = none;
        Meas_UpdateCycle();
    }
    EXPECT_EQ(g_ChanValueReady[1], 1u);
    g_LinkActiveChannel = 1;
    Meas_UpdateCycle();
    EXPECT_EQ(Meas_GetSlotValue(3, &status), 104.0f);
    Meas_ResetChannel(1);
    for (uint32_t slot = 0; slot < 4; ++slot) EXPECT_EQ(SlotStatus(slot), 2u) << slot;
    // A reset of no channel resets nothing.
    g_MeasReplyCount[0] = 4;
    Meas_ResetChannel(255);
    EXPECT_EQ(g_MeasReplyCount[0], 4u);
}

TEST(Slots, PressureUnits) {
    uint32_t status = 0;
    g_LinkActiveChannel = 0;
    Meas_SetSlotAssignment(0, 0, kUnitPressureBar);
    Meas_SetSlotAssignment(1, 0, kUnitPressurePsi);
    Meas_SetSlotAssignment(2, 0, kUnitPressureMmHg);
    CalO2_SetProcPressure(0, 120000.0f, &status);
    EXPECT_FLOAT_EQ(Meas_GetSlotValue(0, &status), 120.0f);
    EXPECT_EQ(status, 2u) << "above 99.99 bar";
    CalO2_SetProcPressure(0, 8273.7f, &status);
    EXPECT_NEAR(Meas_GetSlotValue(1, &status), 120.0f, 0.001f);
    EXPECT_EQ(status, 0u);
    CalO2_SetProcPressure(0, 1013.25f, &status);
    EXPECT_NEAR(Meas_GetSlotValue(2, &status), 760.0f, 0.01f);
    // The process pressure belongs to the active link channel: none active, no pressure.
    g_LinkActiveChannel = 255;
    EXPECT_EQ(Meas_GetSlotValue(2, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    // The analog input as the source: the slot's channel's scaled input.
    Meas_SetAnalogInputMode(1, &status);
    g_Measurement[0].analogInputScaled = 1500.0f;
    EXPECT_FLOAT_EQ(Meas_GetSlotValue(0, &status), 1.5f);
}

TEST(MeasuringKind, AChangeResetsTheChannel) {
    Meas_InitState();
    g_SensorKindActive[0] = kKindPh;
    g_MeasReplyCount[0] = 7;
    g_CalTracking.id = 0x101000;
    Meas_SetMeasuringKind(0, kKindPh);
    EXPECT_EQ(g_MeasReplyCount[0], 0u);
    EXPECT_EQ(g_SensorKindActive[0], kKindNone);
    EXPECT_EQ(g_CalTracking.id, 0u);
    g_MeasReplyCount[0] = 7;
    Meas_SetMeasuringKind(0, kKindPh);
    EXPECT_EQ(g_MeasReplyCount[0], 7u) << "the same kind again resets nothing";
    // A reset marks the tracked value of its own channel only.
    g_CalTracking.id = 0x101000;
    g_CalTracking.status = 0;
    Meas_ResetChannel(0);
    EXPECT_EQ(g_CalTracking.status, 0u);
    Meas_ResetChannel(1);
    EXPECT_EQ(g_CalTracking.status, 2u);
}

TEST(UnitFamilies, ConductivityCo2AndOxygenValuesFromTheRecord) {
    uint32_t status = 0;
    // Conductivity on channel B: 1000 ohm through a cell of 0.1 /cm at 25 C.
    g_MeasuringKind[1] = kKindCond4;
    SetTemperature(1, 25.0f);
    g_Measurement[1].primary = 1000.0f;
    EXPECT_FLOAT_EQ(Meas_GetCondByUnit(1, 0, 0, 0.02f, &status), 10000.0f);
    EXPECT_FLOAT_EQ(Meas_GetCondByUnit(1, 1, 0, 0.02f, &status), 1e-4f);
    EXPECT_FLOAT_EQ(Meas_GetCondByUnit(1, 31, 0, 0.02f, &status), 0.01f);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(Meas_GetCondByUnit(1, 9, 0, 0.02f, &status), 46.206f - 0.0254f, 1e-3f);
    EXPECT_FLOAT_EQ(Meas_GetCondByUnit(1, 10, 0, 0.02f, &status),
                    Meas_GetCondByUnit(1, 9, 0, 0.02f, &status) * 0.8407f);
    EXPECT_GT(Meas_GetCondByUnit(1, 5, 0, 0.02f, &status), 0.0f);
    EXPECT_EQ(status, 0u);
    // The user table at its defaults has no temperatures to speak of.
    Meas_GetCondByUnit(1, 2, 0, 0.02f, &status);
    EXPECT_EQ(status, 2u);
    // Dissolved solids above 10000 mg/L: status 2.
    g_Measurement[1].primary = 1.0f;
    Meas_GetCondByUnit(1, 9, 0, 0.02f, &status);
    EXPECT_EQ(status, 2u);

    // CO2 on channel B at 0 mV and 25 C with the factory electrode.
    g_MeasuringKind[1] = kKindCo2;
    CalPh_LoadCo2Settings(1, 1, &status);
    g_Measurement[1].primary = 0.0f;
    Meas_SetFieldWord(1, kPhFieldPrimaryStatus, 0);
    EXPECT_NEAR(Meas_GetCo2ByUnit(1, 35, &status), 169.75f, 0.03f);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(Meas_GetCo2ByUnit(1, 36, &status), 127.325f, 0.03f);
    EXPECT_NEAR(Meas_GetCo2ByUnit(1, 33, &status), 17.53f, 0.005f);
    EXPECT_NEAR(Meas_GetCo2ByUnit(1, 37, &status), 237.97f, 0.05f);
    uint32_t phStatus = 0;
    EXPECT_NEAR(Meas_GetUnitValue13to18(1, 13, &phStatus), 7.0f, 1e-5f);
    // 6000 mg/L shows 5000 with status 2.
    g_Measurement[1].primary = 0.05916f * std::log10(6000.0f / 237.967f);
    EXPECT_EQ(Meas_GetCo2ByUnit(1, 37, &status), 5000.0f);
    EXPECT_EQ(status, 2u);

    // Oxygen on channel B: -70 nA on "O2 hi" at 25 C is air-saturated water at 1013 mbar.
    g_MeasuringKind[1] = kKindO2High;
    g_SensorCal[1].second = 70000.0f / ((1013.0f - 31.671572f) * 0.2095f);
    g_SensorCal[1].first = 0.0f;
    g_Measurement[1].primary = -70.0f;
    Meas_SetFieldWord(1, kO2FieldPrimaryStatus, 0);
    EXPECT_NEAR(Meas_GetO2ByUnit(1, 19, &status), 100.0f, 0.01f);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(Meas_GetO2ByUnit(1, 24, &status), 8.24f, 0.03f);
    EXPECT_NEAR(Meas_GetO2ByUnit(1, 23, &status), 0.00824f, 0.00003f);
    EXPECT_NEAR(Meas_GetO2ByUnit(1, 22, &status), 20.3f, 0.01f);
    EXPECT_EQ(Meas_GetO2ByUnit(1, 26, &status), -70.0f);
    Meas_GetO2ByUnit(1, 21, &status);
    EXPECT_EQ(status, 2u) << "20 % of the gas is far above 9999 ppm";
    // The analog input as the pressure: 20 mA on 0 .. 2000 mbar.
    Meas_SetAnalogInputMode(kAnalogInputPressure, &status);
    g_Measurement[1].analogInput = 20.0f;
    EXPECT_NEAR(Meas_GetO2ByUnit(1, 19, &status), 100.0f * 981.328f / (2000.0f - 31.6716f), 0.01f);
}
