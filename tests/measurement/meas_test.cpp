// Measurement ids, the record and its readers, unit texts and the slot unit table, the slots with
// their filters and pressure units, the update cycle and the channel reset; a channel of 2 or
// more is no channel everywhere.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/link.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/units.h"
#include "panel/sim_inputs.h"

namespace {
// Slots 0..3 as the channel setup leaves them, with slot filters of depth 1.
void Assign(uint32_t slot, uint32_t channel, uint32_t unit) {
    Filter_SetModeByte(&g_SlotFilters[slot], kFilterDepth1);
    Meas_SetSlotAssignment(slot, channel, unit);
}

void SetTemperature(uint32_t channel, float t) {
    g_Measurement[channel].temperature = t;
    g_Measurement[channel].temperatureStatus = 0;
    g_Measurement[channel].temperatureSourceStatus = 0;
}
}  // namespace

TEST(MeasurementIds, BaseIdAndChannel) {
    EXPECT_EQ(Meas_GetBaseId(0x101004), 0x100004u);
    EXPECT_EQ(Meas_GetIdChannel(0x101004), 1u);
    EXPECT_EQ(Meas_GetIdChannel(0x100019), 0u);
    EXPECT_EQ(Meas_GetIdChannel(0x1ff021), 0u);
    EXPECT_EQ(Meas_GetBaseId(0x1ff020), 0x1ff020u);
    EXPECT_EQ(Meas_GetBaseId(0x1ff022), 0x1ff022u);
    g_LinkActiveChannel = 1;
    EXPECT_EQ(Meas_GetIdChannel(0x1ff022), 1u);
    g_LinkActiveChannel = 255;
    EXPECT_GE(Meas_GetIdChannel(0x1ff022), 2u);
    // An id naming a channel of 2 or more reads as no channel.
    uint32_t status = 0;
    EXPECT_EQ(Meas_GetTemperature(Meas_GetIdChannel(0x102001), &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(MeasurementRecord, KindFieldsHoldFloatsAndWordsWithoutPunning) {
    Meas_SetFieldFloat(1, kPhFieldGlass, 1.5e8f);
    Meas_SetFieldWord(1, kPhFieldGlassStatus, 5);
    EXPECT_EQ(Meas_GetFieldFloat(1, kPhFieldGlass), 1.5e8f);
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldGlassStatus), 5u);
    // The same field read as the other type gives the bits, as the record holds them.
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldGlass), 0x4D0F0D18u);
    // Fields outside 10..20 and channels outside 0..1 are not reached.
    Meas_SetFieldWord(1, 21, 7);
    Meas_SetFieldWord(2, 10, 7);
    EXPECT_EQ(Meas_GetFieldWord(1, 21), 0u);
    EXPECT_EQ(Meas_GetFieldWord(1, 9), 0u);
    EXPECT_EQ(Meas_GetFieldWord(kChannelNone, 10), 0u);
    EXPECT_EQ(g_Measurement[1].kindFields[10], 0u);
    EXPECT_EQ(g_Measurement[0].kindFields[0], 0u);
}

TEST(MeasurementRecord, ReadersAndTheirStatusFields) {
    uint32_t status = 0;
    MeasurementRecord& r = g_Measurement[0];
    r.primary = 0.2f;
    Meas_SetFieldWord(0, kCondFieldPrimaryStatus, 3);
    Meas_SetFieldWord(0, kO2FieldPrimaryStatus, 2);
    Meas_SetFieldWord(0, kPhFieldPrimaryStatus, 0);
    EXPECT_EQ(Meas_GetPrimaryValue(0, &status), 0.2f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(Meas_GetSensorCurrent(0, &status), 0.2f);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(Meas_GetPrimaryValueB(0, &status), 0.2f);
    EXPECT_EQ(status, 0u);
    r.elementResistance = 1100.0f;
    r.elementStatus = 0;
    EXPECT_EQ(Meas_GetTemperatureRaw(0, &status), 1100.0f);
    SetTemperature(0, 100.0f);
    EXPECT_EQ(Meas_GetTemperatureInUnit(0, 12, &status), 212.0f);
    EXPECT_EQ(Meas_GetTemperatureInUnit(0, 11, &status), 100.0f);
    // Field 9 + i, a negative value as 0.
    Meas_SetFieldFloat(0, 10, -4.0f);
    Meas_SetFieldFloat(0, 16, 6.0f);
    EXPECT_EQ(Meas_GetRecordValueNonNeg(0, 0), 0.2f);
    EXPECT_EQ(Meas_GetRecordValueNonNeg(0, 1), 0.0f);
    EXPECT_EQ(Meas_GetRecordValueNonNeg(0, 7), 6.0f);
    EXPECT_EQ(Meas_GetRecordValueNonNeg(0, 8), 0.0f);
    EXPECT_EQ(Meas_GetRecordValueNonNeg(2, 0), 0.0f);

    const uint32_t none[2] = {2, 255};
    for (uint32_t channel : none) {
        status = 0;
        EXPECT_EQ(Meas_GetPrimaryValue(channel, &status), 0.0f);
        EXPECT_EQ(status, 2u);
        status = 0;
        EXPECT_EQ(Meas_GetGlassImpedance(channel, &status), 0.0f);
        EXPECT_EQ(status, 2u);
        status = 0;
        Meas_GetInputMappedValue(channel, &status);
        EXPECT_EQ(status, 2u);
    }
}

TEST(MeasurementRecord, AnalogInputFollowsTheActiveLinkChannelOrReadsNone) {
    uint32_t status = 0;
    g_Measurement[0].analogInput = 8.0f;
    g_Measurement[1].analogInput = 20.0f;
    g_LinkActiveChannel = 1;
    EXPECT_EQ(Meas_GetAnalogInput(0, &status), 20.0f);
    EXPECT_EQ(status, 0u);
    Meas_UpdateInputPressure(0);
    EXPECT_FLOAT_EQ(g_Measurement[0].analogInputScaled, 2000.0f) << "channel B's 20 mA, scaled into channel A";
    g_Measurement[1].analogInput = 30.0f;
    Meas_UpdateInputPressure(0);
    EXPECT_FLOAT_EQ(g_Measurement[0].analogInputScaled, 2250.0f) << "limited to 22 mA";
    g_Measurement[1].analogInput = 2.0f;
    Meas_UpdateInputPressure(0);
    EXPECT_EQ(g_Measurement[0].analogInputScaled, 0.0f) << "below 4 mA is held at 0";
    Meas_SetAnalogInputRange(0, 100.0f, &status);
    Meas_SetAnalogInputRange(1, 500.0f, &status);
    g_Measurement[1].analogInput = 8.0f;
    Meas_UpdateInputPressure(1);
    EXPECT_FLOAT_EQ(g_Measurement[1].analogInputScaled, 200.0f);
    // No active channel: no current, status 2, and nothing indexed by 255.
    g_LinkActiveChannel = 255;
    EXPECT_EQ(Meas_GetAnalogInput(0, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    Meas_UpdateInputPressure(1);
    EXPECT_FLOAT_EQ(g_Measurement[1].analogInputScaled, 0.0f);
    Meas_UpdateInputPressure(255);
}

TEST(Units, TextsAndTheSlotUnitTable) {
    EXPECT_EQ(std::string(Unit_GetText(0)), "^-cm");
    EXPECT_EQ(std::string(Unit_GetText(11)), "@C");
    EXPECT_EQ(std::string(Unit_GetText(45)), "O3");
    EXPECT_EQ(std::string(Unit_GetText(53)), "mmHg P");
    EXPECT_EQ(std::string(Unit_GetText(54)), " ");
    EXPECT_EQ(std::string(Unit_GetText(255)), " ");
    // 44 rows, each unit once; units 39 to 47 and 49 have no row.
    std::set<uint32_t> units;
    for (const SlotUnitRow& row : g_SlotUnitTable) units.insert(row.unit);
    EXPECT_EQ(units.size(), 44u);
    for (uint32_t unit : {39u, 40u, 41u, 42u, 43u, 44u, 45u, 46u, 47u, 49u}) EXPECT_EQ(units.count(unit), 0u) << unit;
    EXPECT_EQ(g_SlotUnitTable[0].unit, 30u);
    EXPECT_EQ(g_SlotUnitTable[20].unit, 13u);
    EXPECT_EQ(g_SlotUnitTable[20].step, 3.0f);

    // A slot set to "O3" finds no row and shows no value.
    Meas_SetSlotAssignment(0, 0, 45);
    EXPECT_EQ(Meas_GetSlotUnitIndex(0), 0);
    EXPECT_EQ(Meas_GetSlotUnit(0), 45);
    Meas_SetSlotAssignment(1, 1, 12);
    EXPECT_EQ(Meas_GetSlotUnitIndex(1), 2);
}

TEST(Units, ElectrodeFamilyImpedancesAtTwentyFiveDegrees) {
    uint32_t status = 0;
    SetTemperature(1, 25.0f);
    Meas_SetFieldFloat(1, kPhFieldGlass, 5e6f);
    Meas_SetFieldWord(1, kPhFieldGlassStatus, 0);
    EXPECT_EQ(Meas_GetUnitValue13to18(1, 16, &status), 5e6f);
    EXPECT_EQ(status, 0u);
    Meas_SetFieldFloat(1, kPhFieldGlass, 4.99e6f);
    Meas_GetUnitValue13to18(1, 16, &status);
    EXPECT_EQ(status, 3u);
    // 35 C above 25: a tenth of the impedance.
    SetTemperature(1, 60.0f);
    Meas_SetFieldFloat(1, kPhFieldGlass, 1e9f);
    EXPECT_NEAR(Meas_GetUnitValue13to18(1, 16, &status), 1e10f, 1e5f);
    EXPECT_EQ(status, 2u);
    // Reference electrode: linear, 2 % per degree.
    SetTemperature(1, 35.0f);
    Meas_SetFieldFloat(1, kPhFieldReference, 10000.0f);
    Meas_SetFieldWord(1, kPhFieldReferenceStatus, 0);
    EXPECT_FLOAT_EQ(Meas_GetUnitValue13to18(1, 17, &status), 12000.0f);
    EXPECT_EQ(status, 0u);
    // The invalid entry's status and a bad temperature are taken over.
    Meas_SetFieldWord(1, kPhFieldGlassStatus, 5);
    EXPECT_EQ(Meas_GetUnitValue13to18(1, 16, &status), 0.0f);
    EXPECT_EQ(status, 5u);
    g_Measurement[1].temperatureStatus = 3;
    EXPECT_EQ(Meas_GetUnitValue13to18(1, 17, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(Meas_GetUnitValue13to18(1, 12, &status), 0.0f);
    EXPECT_EQ(Meas_GetUnitValue13to18(2, 16, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(Units, ClampsAndStatusSwap) {
    uint32_t status = 0;
    EXPECT_EQ(Meas_ClampMv(-1600.0f, &status), -1500.0f);
    EXPECT_EQ(status, 3u);
    status = 0;
    EXPECT_EQ(Meas_ClampMv(1500.0f, &status), 1500.0f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Meas_ClampPlusMinus1p5(1.6f, &status), 1.5f);
    EXPECT_EQ(status, 2u);
    status = 0;
    Meas_ClampPh(20.5f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(Meas_SwapRangeStatus(2), 3u);
    EXPECT_EQ(Meas_SwapRangeStatus(3), 2u);
    EXPECT_EQ(Meas_SwapRangeStatus(5), 5u);
    // Channel A's electrode voltage in mV, limited to +-1500 mV.
    g_MeasuringKind[0] = kKindPh;
    g_Measurement[0].primary = 1.7f;
    Meas_SetFieldWord(0, kPhFieldPrimaryStatus, 0);
    EXPECT_EQ(Meas_GetMv(0, &status), 1500.0f);
    EXPECT_EQ(status, 2u);
}

TEST(Units, ConductivityNeedsChannelAsElementAndTemperature) {
    uint32_t status = 0;
    g_Measurement[0].elementStatus = 3;
    EXPECT_EQ(Meas_GetCondByUnit(0, 1, 0, 0.02f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    g_Measurement[0].elementStatus = 0;
    g_Measurement[0].temperatureStatus = 3;
    EXPECT_EQ(Meas_GetCondByUnit(0, 0, 0, 0.02f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(Meas_GetCondByUnit(0, 12, 0, 0.02f, &status), 0.0f);
    EXPECT_EQ(status, 0u) << "not a conductivity unit";
}

TEST(Units, OpticalOxygenValuesComeFromTheRecord) {
    g_MeasuringKind[1] = kKindO2Optical;
    g_Measurement[1].primary = 98.5f;  // unit 19
    Meas_SetFieldFloat(1, 13, 8200.0f);  // unit 23
    Meas_SetFieldFloat(1, 14, -1.0f);    // unit 24
    Assign(0, 1, 19);
    Assign(1, 1, 23);
    Assign(2, 1, 24);
    uint32_t status = 9;
    EXPECT_EQ(Meas_GetSlotRawValue(0, &status), 98.5f);
    EXPECT_EQ(status, 0u);
    EXPECT_FLOAT_EQ(Meas_GetSlotRawValue(1, &status), 8.2f);
    EXPECT_EQ(Meas_GetSlotRawValue(2, &status), 0.0f) << "read non-negative";
}

TEST(Slots, AssignmentFilterAndTheStatusOfBadValues) {
    g_MeasReplyCount[0] = 5;
    SetTemperature(0, 20.0f);
    Filter_SetModeByte(&g_SlotFilters[1], kFilterDepth10);
    Meas_SetSlotAssignment(1, 0, 11);
    // A measuring channel's changed slot shows its value at once, unfiltered.
    uint32_t status = 9;
    EXPECT_EQ(Meas_GetSlotValue(1, &status), 20.0f);
    EXPECT_EQ(status, 0u);
    Meas_UpdateSlots(0);
    SetTemperature(0, 30.0f);
    Meas_UpdateSlots(0);
    EXPECT_EQ(Meas_GetSlotValue(1, &status), 25.0f);
    // The same assignment again keeps the filter.
    Meas_SetSlotAssignment(1, 0, 11);
    EXPECT_EQ(Filter_GetCount(&g_SlotFilters[1]), 2u);
    EXPECT_EQ(Meas_GetSlotPendingUnit(1), 11);
    // A new unit restarts it.
    Meas_SetSlotAssignment(1, 0, 12);
    EXPECT_EQ(Filter_GetCount(&g_SlotFilters[1]), 0u);
    EXPECT_EQ(Meas_GetSlotValue(1, &status), 86.0f);

    // A getter status of 5 shows as 2 with 0.0.
    SetTemperature(1, 25.0f);
    Meas_SetFieldWord(1, kPhFieldGlassStatus, 5);
    Assign(2, 1, 16);
    EXPECT_EQ(Meas_GetSlotRawValue(2, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    // A value that is not finite as well.
    SetTemperature(0, 1e38f);
    Assign(3, 0, 12);
    EXPECT_EQ(Meas_GetSlotRawValue(3, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    // A slot of no channel shows no value.
    Assign(3, 255, 11);
    EXPECT_EQ(Meas_GetSlotRawValue(3, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(Meas_GetSlotValue(4, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(Slots, ARepliesUpdateOnlyItsSlotsAndAResetStopsAllFour) {
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
    EXPECT_EQ(Meas_GetSlotValue(0, &status), 10.0f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Meas_GetSlotValue(1, &status), 50.0f);
    EXPECT_EQ(Meas_GetSlotValue(2, &status), 0.0f);
    EXPECT_EQ(status, 2u) << "channel B's slots wait for a reply of channel B";
    EXPECT_EQ(g_ChanValueReady[0], 0u);
    EXPECT_EQ(g_ChanValueReady[1], 1u);
    // Nothing new from channel A: the cycle leaves the slots alone.
    SetTemperature(0, 11.0f);
    Meas_UpdateCycle();
    EXPECT_EQ(Meas_GetSlotValue(0, &status), 10.0f);

    g_LinkActiveChannel = 1;
    Meas_UpdateCycle();
    EXPECT_EQ(Meas_GetSlotValue(3, &status), 104.0f);
    // Resetting channel B stops all four slots.
    Meas_ResetChannel(1);
    for (uint32_t slot = 0; slot < 4; ++slot) {
        Meas_GetSlotValue(slot, &status);
        EXPECT_EQ(status, 2u) << slot;
        EXPECT_EQ(Filter_GetCount(&g_SlotFilters[slot]), 0u);
    }
}

TEST(Slots, NoActiveLinkChannelMeansNoCycle) {
    Meas_InitState();
    Assign(0, 0, 11);
    SetTemperature(0, 10.0f);
    g_ChanValueReady[0] = 1;
    g_ChanValueReady[1] = 1;
    for (uint8_t none : {uint8_t{2}, uint8_t{200}, uint8_t{255}}) {
        g_LinkActiveChannel = none;
        Meas_UpdateCycle();
    }
    EXPECT_EQ(g_ChanValueReady[0], 1u);
    EXPECT_EQ(g_ChanValueReady[1], 1u);
    uint32_t status = 0;
    Meas_GetSlotValue(0, &status);
    EXPECT_EQ(status, 2u);
    // Resets of no channel reset nothing.
    g_MeasReplyCount[0] = 4;
    Meas_ResetChannel(255);
    EXPECT_EQ(g_MeasReplyCount[0], 4u);
}

TEST(Slots, PressureUnitsFromTheProcessPressureOrTheAnalogInput) {
    uint32_t status = 0;
    g_LinkActiveChannel = 0;
    Meas_SetSlotAssignment(0, 0, kUnitPressureBar);
    Meas_SetSlotAssignment(1, 0, kUnitPressurePsi);
    Meas_SetSlotAssignment(2, 0, kUnitPressureKpa);
    Meas_SetSlotAssignment(3, 0, kUnitPressureMmHg);
    CalO2_SetProcPressure(0, 120000.0f, &status);
    EXPECT_FLOAT_EQ(Meas_GetSlotValue(0, &status), 120.0f);
    EXPECT_EQ(status, 2u) << "above 99.99 bar";
    CalO2_SetProcPressure(0, 8273.7f, &status);
    EXPECT_NEAR(Meas_GetSlotValue(1, &status), 120.0f, 0.001f);
    EXPECT_EQ(status, 0u);
    EXPECT_FLOAT_EQ(Meas_GetSlotValue(2, &status), 827.37f);
    CalO2_SetProcPressure(0, 1013.25f, &status);
    EXPECT_NEAR(Meas_GetSlotValue(3, &status), 760.0f, 0.01f);
    Meas_SetSlotAssignment(3, 0, kUnitPressureMbar);
    EXPECT_FLOAT_EQ(Meas_GetSlotValue(3, &status), 1013.25f);
    // The process pressure is the active link channel's; with none active there is no pressure.
    g_LinkActiveChannel = 255;
    EXPECT_EQ(Meas_GetSlotValue(3, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    // With the analog input as the source: the slot's channel's scaled input.
    Meas_SetAnalogInputMode(1, &status);
    g_Measurement[0].analogInputScaled = 1500.0f;
    EXPECT_FLOAT_EQ(Meas_GetSlotValue(3, &status), 1500.0f);
    EXPECT_EQ(status, 0u);
}

TEST(MeasuringKind, AChangeResetsTheChannelAndForgetsTheActiveKind) {
    Meas_InitState();
    g_CalTracking.id = 0x100001;
    g_CalTracking.status = 0;
    g_SensorKindActive[0] = kKindPh;
    g_MeasReplyCount[0] = 7;
    Meas_SetMeasuringKind(0, kKindPh);
    EXPECT_EQ(g_MeasuringKind[0], kKindPh);
    EXPECT_EQ(g_MeasReplyCount[0], 0u);
    EXPECT_EQ(g_SensorKindActive[0], kKindNone);
    EXPECT_EQ(g_CalTracking.id, 0u);
    EXPECT_EQ(Chan_GetMeasuringKind(0), kKindPh);
    // The same kind again resets nothing.
    g_MeasReplyCount[0] = 7;
    Meas_SetMeasuringKind(0, kKindPh);
    EXPECT_EQ(g_MeasReplyCount[0], 7u);
    // A reset marks the tracked value of its channel only.
    g_CalTracking.id = 0x101000;
    g_CalTracking.status = 0;
    Meas_ResetChannel(0);
    EXPECT_EQ(g_CalTracking.status, 0u);
    Meas_ResetChannel(1);
    EXPECT_EQ(g_CalTracking.status, 2u);
}
