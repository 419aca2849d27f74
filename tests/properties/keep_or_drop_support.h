// What the keep-or-drop property needs of the instrument: the settings pages of the MENU tree as
// its tables list them, opening one by keys, the ways out of a page, and a picture of what a page
// may change (the store's bytes, the settings in use, channel B's sensor with its files, the
// relays and outputs), compared whole and named where it differs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "../ui/ui_support.h"
#include "core/eeprom.h"
#include "core/settings.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx_config.h"
#include "fw_modules.h"
#include "measurement/cal_values.h"
#include "measurement/concentration.h"
#include "measurement/temperature.h"
#include "outputs/messages.h"
#include "outputs/relays.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "sim/sim_inputs.h"
#include "ui/select_screen.h"

namespace keep_drop {

// Channel B's sensors the cases choose from; 0 is none.
struct Model {
    const char* name;
    const char* file;
    uint8_t code;
};
inline constexpr Model kModels[] = {
    {"none", nullptr, 255},
    {"SelvoP11", "PH_SelvoP11_0.txt", 1},
    {"SelvoN11", "pNa_SelvoN11_0.txt", 2},
    {"SelvoK11", "COND_SelvoK11_0.txt", 4},
    {"SelvoD11", "DO_SelvoD11_0.txt", 5},
    {"SelvoD14", "DO_SelvoD14_0.txt", 8},
    {"SelvoQ11", "OPT_SelvoQ11_0.txt", 9},
    {"SelvoC11", "CO2_SelvoC11_0.txt", 10},
};
inline constexpr uint32_t kModelCount = sizeof kModels / sizeof kModels[0];

// ---- The settings items of the tree ------------------------------------------------------------

struct TreeItem {
    uint8_t node;
    uint8_t item;
    uint32_t id;
};

// Nodes and items that open no page of settings kept or dropped by "Save Changes": "Service"
// (tests, calibrations, information), the lockout, the reset and the sensor's counter resets
// (they act at ENTER), the date (the panel's clock is the computer's) and "PID A/M" (switched in
// the tree itself).
inline constexpr uint8_t kServiceNode = 5;
inline constexpr uint8_t kCompNode = 10;
inline constexpr uint32_t kItemReset = 0x500003;
inline constexpr uint32_t kItemCounterResets = 0x600004;
inline constexpr uint32_t kItemsLeftOut[] = {kItemLockout, kItemReset, kItemSetClock, kItemCounterResets,
                                             kItemPidFirst};

inline uint32_t ItemsOf(uint32_t node) {
    uint32_t group = g_MenuPages[node].textGroup;
    return group < kTextGroups ? g_TextGroupSizes[group] : 0;
}

inline const std::vector<TreeItem>& SettingsItems() {
    static const std::vector<TreeItem> items = [] {
        std::vector<TreeItem> found;
        std::vector<uint8_t> nodes = {1};
        for (size_t n = 0; n < nodes.size(); ++n) {
            uint8_t node = nodes[n];
            for (uint32_t i = 0; i < ItemsOf(node) && i < kMenuMaxItems; ++i) {
                uint8_t child = g_MenuNodes[node].child[i];
                uint32_t id = g_MenuPages[node].baseId + i;
                bool leftOut = false;
                for (uint32_t out : kItemsLeftOut) leftOut = leftOut || out == id;
                if (child == kCompNode) {
                    found.push_back({node, static_cast<uint8_t>(i), kItemCompFirst});
                } else if (child == kMenuLeaf) {
                    if (!leftOut) found.push_back({node, static_cast<uint8_t>(i), id});
                } else if (child != kServiceNode) {
                    nodes.push_back(child);
                }
            }
        }
        return found;
    }();
    return items;
}

inline std::string EnglishText(uint32_t group, uint32_t index) {
    char text[kTextMaxChars + 1];
    uint32_t n = Text_CopyItem(Text_GetOffset(group, index, 0), text);
    return std::string(text, n);
}

// The items from MENU down to the item: each node and the item that opens the next.
inline std::vector<TreeItem> PathTo(const TreeItem& target) {
    std::vector<TreeItem> path = {target};
    for (uint8_t node = target.node; node != 1;) {
        uint8_t parent = g_MenuNodes[node].parent;
        uint8_t i = 0;
        while (i < kMenuMaxItems && g_MenuNodes[parent].child[i] != node) ++i;
        path.insert(path.begin(), TreeItem{parent, i, 0});
        node = parent;
    }
    return path;
}

inline std::string ItemPath(const TreeItem& target) {
    std::string text;
    for (const TreeItem& step : PathTo(target)) {
        text += (text.empty() ? "" : "/") + EnglishText(g_MenuPages[step.node].textGroup, step.item);
    }
    return text;
}

inline bool OpenByKeys(const TreeItem& target) {
    ui_test::Press(kKeyMenu);
    for (const TreeItem& step : PathTo(target)) {
        if (Menu_TopScreen() != kScreenTreeMenu || g_MenuCurNode.node->id != step.node) return false;
        for (int i = 0; i < 12 && Menu_TreeCursor() != step.item; ++i) ui_test::Press(kKeyUp);
        if (Menu_TreeCursor() != step.item) return false;
        ui_test::Press(kKeyEnter);
    }
    return Menu_TopScreen() != kScreenTreeMenu && Menu_TopScreen() != kScreenHome;
}

// The screens of settings pages (the display lines, the parameter and value pages, the fixed
// pages of the temperature source, the compensations, the output hold, the PID and the cycle
// limits, the warning before "Quick Setup" and the calibration constants it shows for a
// conductivity sensor on channel A).
inline bool OnSettingsPage() {
    switch (Menu_TopScreen()) {
        case kScreenLineSetup:
        case kScreenParamPage:
        case kScreenValuePage:
        case kScreenTempSource:
        case kScreenLinComp:
        case kScreenAoutHoldValue:
        case kScreenPidMode:
        case kScreenPidTune:
        case kScreenPidLimits1:
        case kScreenPidLimits2:
        case kScreenCycleLimitSetup:
        case kScreenConfigWarning:
        case kScreenCalEdit2:
            return true;
        default:
            return false;
    }
}

inline std::string PageRows() { return ui_test::Row(11) + " | " + ui_test::Row(12); }

// ---- The picture ----------------------------------------------------------------------------------

struct Block {
    const char* name;
    const void* data;
    size_t size;
};

// The settings in use, as the menus copy them for editing, and the live values some pages set
// directly.
inline std::vector<Block> LiveBlocks() {
    static float direct[5];
    direct[0] = Meas_GetO2CalPressure(0);
    direct[1] = Meas_GetO2CalPressure(1);
    direct[2] = Meas_GetO2RelHumidity(0);
    direct[3] = Meas_GetO2RelHumidity(1);
    direct[4] = Temp_GetCurrentValue();
    const SettingsWorkingSet& w = g_WorkSet;
    return {
        {"relays", &w.relays, sizeof w.relays},
        {"outputs", &w.outputs, sizeof w.outputs},
        {"cleaning", &w.cleaning, sizeof w.cleaning},
        {"set points", &w.setPoints, sizeof w.setPoints},
        {"alarm", &w.alarm, sizeof w.alarm},
        {"PID", &w.pid, sizeof w.pid},
        {"PID hold", &w.pidHold, sizeof w.pidHold},
        {"channel set-up", &w.channel, sizeof w.channel},
        {"parameters", &w.params, sizeof w.params},
        {"cycle alarms offered", &w.cycleAlarmBits, 1},
        {"sensor option", &w.sensorOptionB, 1},
        {"sensor settings", &g_SensorEdit, sizeof g_SensorEdit},
        {"CO2 pressure units", &g_Co2PressureUnitEdit, sizeof g_Co2PressureUnitEdit},
        {"sensor monitoring", &g_SlotEdit, sizeof g_SlotEdit},
        {"system", &g_SystemEdit, sizeof g_SystemEdit},
        {"concentration table", &g_ConcTableEdit.table, sizeof g_ConcTableEdit.table},
        {"channel kinds", &g_ChannelKind, sizeof g_ChannelKind},
        {"measurement lines", &g_MeasLines, sizeof g_MeasLines},
        {"oxygen conditions, temperature in use", direct, sizeof direct},
    };
}

inline std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Picture {
    std::vector<uint8_t> store;
    std::vector<uint8_t> live;
    std::vector<uint8_t> sensor;
    std::vector<uint8_t> image;  // the copy of the sensor's memory the firmware works with
    uint8_t relays = 0;
    float outputs[2] = {0.0f, 0.0f};
    uint8_t kindInUseB = 255;
    MeasLineConfig lines{};
};

inline void Append(std::vector<uint8_t>* to, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    to->insert(to->end(), p, p + size);
}

// Channel B's sensor as the sensor board keeps it: the sensor files and its parameter file.
inline std::vector<uint8_t> SensorBytes() {
    std::vector<uint8_t> bytes;
    std::filesystem::path folder = std::filesystem::path(Rig_StorePath()).parent_path();
    std::vector<std::string> names = {"Sensor Simulator"};
    for (const Model& m : kModels) {
        if (m.file != nullptr) names.push_back(m.file);
    }
    for (const std::string& name : names) {
        std::vector<uint8_t> file = FileBytes(folder / name);
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.insert(bytes.end(), file.begin(), file.end());
    }
    return bytes;
}

inline Picture Take() {
    Picture p;
    p.store = Rig_StoreBytes();
    Settings_CopyAll();
    for (const Block& b : LiveBlocks()) Append(&p.live, b.data, b.size);
    p.sensor = SensorBytes();
    Append(&p.image, g_SensorMemImage[1], sizeof g_SensorMemImage[1]);
    p.kindInUseB = static_cast<uint8_t>(g_SensorKindActive[1]);
    p.lines = g_MeasLines;
    p.relays = g_RelayBits.load();
    p.outputs[0] = Aout_GetShownCurrent(0);
    p.outputs[1] = Aout_GetShownCurrent(1);
    return p;
}

inline size_t BlockStart(const char* name) {
    size_t start = 0;
    for (const Block& b : LiveBlocks()) {
        if (std::string(b.name) == name) return start;
        start += b.size;
    }
    return start;
}

// Channel B's sensor timers, option and sampling interval are read from the sensor in use; with
// another kind in use, or none (a sensor plug-and-measure asks about is not used), they are not the
// settings': taken from now.
inline void TakeSensorInUse(Picture* was, const Picture& now) {
    if (was->kindInUseB == now.kindInUseB && now.kindInUseB < kKindNoSensor) return;
    auto copy = [&](size_t at, size_t n) {
        for (size_t i = at; i < at + n && i < was->live.size() && i < now.live.size(); ++i) was->live[i] = now.live[i];
    };
    size_t params = BlockStart("parameters");
    copy(params + offsetof(ParamEdit, maintDays), sizeof(float));
    copy(params + offsetof(ParamEdit, actDays), sizeof(float));
    copy(params + offsetof(ParamEdit, samplingRate), 1);
    copy(BlockStart("sensor option"), 1);
}

inline size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return i;
    }
    return a.size() == b.size() ? SIZE_MAX : n;
}

inline std::string Hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", v);
    return text;
}

inline const StoreMap* StoreOwner(uint32_t offset) {
    for (uint32_t m = 0; m < g_FwStoreMapCount; ++m) {
        const StoreMap* map = g_FwStoreMaps[m];
        for (uint32_t r = 0; r < map->count; ++r) {
            if (offset >= map->ranges[r].offset && offset < map->ranges[r].offset + map->ranges[r].size) return map;
        }
    }
    return nullptr;
}

// The bytes that differ, by the module that owns them; the message list, which keeps what was
// raised and cleared whatever a page does, is left out.
inline std::string StoreDiff(const Picture& was, const Picture& now) {
    std::string text;
    for (size_t i = 0; i < was.store.size() && i < now.store.size() && text.size() < 200; ++i) {
        if (was.store[i] == now.store[i]) continue;
        const StoreMap* owner = StoreOwner(static_cast<uint32_t>(i));
        if (owner == &g_MsgStoreMap) continue;
        text += std::string(" ") + (owner != nullptr ? owner->owner : "?") + "@" + std::to_string(i) + " " +
                Hex(was.store[i]) + "->" + Hex(now.store[i]);
    }
    if (was.store.size() != now.store.size()) text += " size " + std::to_string(now.store.size());
    return text.empty() ? text : "store" + text;
}

inline std::string LiveDiff(const Picture& was, const Picture& now) {
    size_t at = FirstDifference(was.live, now.live);
    if (at == SIZE_MAX) return "";
    size_t start = 0;
    for (const Block& b : LiveBlocks()) {
        if (at < start + b.size) {
            return std::string("in use: ") + b.name + " byte " + std::to_string(at - start) + " " + Hex(was.live[at]) +
                   "->" + Hex(now.live[at]);
        }
        start += b.size;
    }
    return "in use: size";
}

inline std::string SensorDiff(const Picture& was, const Picture& now) {
    size_t at = FirstDifference(was.sensor, now.sensor);
    if (at != SIZE_MAX) return "sensor files byte " + std::to_string(at);
    at = FirstDifference(was.image, now.image);
    return at != SIZE_MAX ? "sensor memory byte " + std::to_string(at) : "";
}

// ---- The link ------------------------------------------------------------------------------------

// Requests that change the sensor or the sensor board: a sensor page written, a calibration
// point, save or reset, the polarization, measuring mode, range or gain, and a sensor command
// that sets ("S...").
inline std::string WritesSince(size_t frame) {
    static const uint8_t kWrites[] = {0x08, 0x01, 0x02, 0x0D, 0x04, 0x0A, 0x03, 0x10};
    const std::vector<RigFrame>& sent = Rig_SentFrames();
    for (size_t i = frame; i < sent.size(); ++i) {
        const std::vector<uint8_t>& f = sent[i].bytes;
        if (f.size() < 3) continue;
        bool write = f[2] == 0x09 && f.size() > 9 && f[9] == 'S';
        for (uint8_t command : kWrites) write = write || f[2] == command;
        if (write) return "request " + Hex(f[2]) + " at " + std::to_string(sent[i].atMs) + " ms";
    }
    return "";
}

// ---- Plugging, starting, settling ------------------------------------------------------------

inline void SetInputs() { Panel_SetSimInput(1, kSimTemperatureB, 25.0f); }

// Until plug-and-measure has taken the sensor (or rests, or asks its question), at most a minute.
inline void RunPlugMachine() {
    for (uint32_t t = 0; t < 10000 && Vdx_GetPlugState() == kPlugIdle; t += 20) Rig_AdvanceMs(20);
    for (uint32_t t = 0; t < 60000; t += 20) {
        uint8_t state = Vdx_GetPlugState();
        bool asks = state == kPlugChangeKind || state == kPlugChangeModel || state == kPlugAutoclave;
        if ((state == kPlugIdle || asks) && Vdx_GetPreviousPlugState() == state) break;
        Rig_AdvanceMs(20);
    }
}

inline void PlugAndSettle(uint32_t model, bool again) {
    SetInputs();
    if (model > 0 && model < kModelCount) {
        if (again) {
            Link_SelectSensorImage(1, kModels[model].file, kModels[model].code);
        } else {
            plug_test::Plug(kModels[model].file, kModels[model].code);
        }
    }
    RunPlugMachine();
    // Output 1's damping and the cleaning's hold after a start.
    Rig_AdvanceMs(40000);
}

// The sensor taken off and plugged again, as it is now.
inline void Reconnect(uint32_t model) {
    plug_test::Unplug();
    RunPlugMachine();
    PlugAndSettle(model, true);
}

inline void Restart(uint32_t model) {
    std::string folder = std::filesystem::path(Rig_StorePath()).parent_path().string();
    Rig_Reset(folder);
    Rig_Boot();
    PlugAndSettle(model, true);
}

// Back on the measurement screen with no save under way, then two seconds for the outputs.
inline bool SettleHome() {
    for (uint32_t t = 0; t < 30000; t += 100) {
        if (Menu_TopScreen() == kScreenHome && g_SaveWaitBits == 0 && g_DisplayMode == kKeyModeHome) break;
        Rig_AdvanceMs(100);
    }
    Rig_AdvanceMs(2000);
    return Menu_TopScreen() == kScreenHome && g_SaveWaitBits == 0;
}

}  // namespace keep_drop
