// Simulated inputs and outputs: the logic behind the panel's edits, spins and lists.
#include "panel/inputs.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

#include "core/eeprom.h"
#include "core/link_transport.h"
#include "core/rtc.h"
#include "fw_main.h"
#include "measurement/channel.h"
#include "outputs/hold.h"
#include "panel/Resource.h"
#include "platform/plat_clock.h"
#include "platform/plat_safe_file.h"
#include "sim/sim_inputs.h"

static const KindRow kKindTable[kKindRows] = {
    {9, " "},  {1, "mV"}, {1, "mV"}, {2, "ohm"}, {2, "ohm"}, {3, "nA"}, {3, "nA"},
    {3, "nA"}, {3, "nA"}, {7, " "},  {1, "mV"},  {8, " "},   {3, "nA"},
};
static const KindRow kNoSelection = {kSimCondSignal, "ohm"};

// Model numbers as the sensors' memories carry them; the two SelvoP11 images are the same model.
const SensorImageEntry g_SensorImageFiles[kSensorModels] = {
    {"SelvoP11", "PH_SelvoP11_0.txt", 1, 4187},    {"SelvoP12", "PH_SelvoP12_0.txt", 1, 4188},
    {"SelvoN11", "pNa_SelvoN11_0.txt", 2, 4190},   {"SelvoK11", "COND_SelvoK11_0.txt", 4, 4195},
    {"SelvoD11", "DO_SelvoD11_0.txt", 5, 4200},    {"SelvoD12", "DO_SelvoD12_0.txt", 6, 4201},
    {"SelvoD13 G", "DO_SelvoD13_0.txt", 7, 4202},  {"SelvoD14", "DO_SelvoD14_0.txt", 8, 4203},
    {"SelvoP11(2)", "PH_SelvoP11_1.txt", 1, 4187}, {"SelvoQ11", "OPT_SelvoQ11_0.txt", 9, 4210},
    {"SelvoQ12", "OPT_SelvoQ12_0.txt", 9, 4211},   {"SelvoC11", "CO2_SelvoC11_0.txt", 10, 4220},
    {"SelvoC12", "CO2_SelvoC12_0.txt", 11, 4221},  {"SelvoZ11", "O3_SelvoZ11_0.txt", 12, 4230},
};

const char* const g_ChannelATypeTexts[kChannelATypes] = {"Auto",    "pH/ORP", "pH/pNa", "Cond(2)",
                                                         "Cond(4)", "O2 hi",  "O2 lo",  "O2 Trace"};

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
static constexpr float kAnalogInputDefaultMa = 4.0f;

static constexpr double kOhmsPerKilohm = 1000.0;
static constexpr double kOhmsPerMegohm = 1000000.0;

// Channel B's fourth row for a pNa sensor (its second glass electrode) and for the others (the
// reference electrode).
static constexpr uint8_t kCodePna = 2;
static const char kSecondGlassUnit[] = "Mohm";
static const char kSecondGlassText[] = "100.00";
static const char kReferenceUnit[] = "Kohm";
static const char kReferenceText[] = "30.00";

// Written on the user-interface thread only; atomics so a reader elsewhere sees them whole.
static std::atomic<uint8_t> s_PrimaryQuantity[2] = {kSimCondSignal, kSimCondSignal};
// 1 while channel B's fourth row is a second glass electrode in megaohm, 0 while it is the
// reference electrode in kilohm (as the dialog first shows it).
static std::atomic<uint8_t> s_SecondGlassB{0};

// Each field's default text and the quantity of its row (primary rows: their channel's primary
// quantity, looked up when fed).
struct FieldRow {
    const char* defaultText;
    uint8_t channel;
    uint8_t q;
};
static constexpr uint8_t kPrimaryRow = 0xFF;
static const FieldRow kFieldRows[kInputFields] = {
    {"0.00", 0, kPrimaryRow},       {"0.00", 1, kPrimaryRow},          {"1097.4", 0, kSimElementOhm},
    {"25.0", 1, kSimTemperatureB},  {"100.00", 0, kSimGlassImpedance}, {"100.00", 1, kSimGlassImpedance},
    {"30.00", 0, kSimRefImpedance}, {"30.00", 1, kSimRefImpedance},    {"4", 0, kSimAnalogInput},
};

// The text each field's value in use came from; user-interface thread only.
static std::string s_FieldText[kInputFields];

KindRow Panel_KindRow(uint32_t kindOrCode) { return kindOrCode < kKindRows ? kKindTable[kindOrCode] : kNoSelection; }

// The number at the start of the text, and the factor of its suffix (1 without one); false when
// the text does not start with a number.
static bool ParseNumber(const char* text, double* value, double* suffixFactor) {
    *value = 0.0;
    *suffixFactor = 1.0;
    if (text == nullptr) return false;
    size_t n = std::strlen(text);
    const char* p = text;
    const char* end = text + n;
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    if (p < end && *p == '+') ++p;
    double number = 0.0;
    if (std::from_chars(p, end, number).ec != std::errc()) return false;
    *value = number;
    if (n > 0 && text[n - 1] == 'K') *suffixFactor = kOhmsPerKilohm;
    if (n > 0 && text[n - 1] == 'M') *suffixFactor = kOhmsPerMegohm;
    return true;
}

// A parsed value as the store's float: false for "nan", "inf" and what a float cannot hold.
static bool ToFiniteFloat(double value, float* result) {
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        return false;
    }
    *result = static_cast<float>(value);
    return true;
}

bool Panel_TryParseValueText(const char* text, float* value) {
    double number = 0.0;
    double factor = 1.0;
    if (!ParseNumber(text, &number, &factor)) return false;
    return ToFiniteFloat(number * factor, value);
}

float Panel_ParseValueText(const char* text) {
    float value = 0.0f;
    return Panel_TryParseValueText(text, &value) ? value : 0.0f;
}

float Panel_RowOhmsPerUnit(uint32_t channel, uint32_t q) {
    if (channel >= 2) return 0.0f;
    if (q == kSimGlassImpedance) return static_cast<float>(kOhmsPerMegohm);
    if (q != kSimRefImpedance) return 0.0f;
    bool secondGlass = channel == 1 && s_SecondGlassB.load(kRelaxed) != 0;
    return static_cast<float>(secondGlass ? kOhmsPerMegohm : kOhmsPerKilohm);
}

bool Panel_ParseRowText(uint32_t channel, uint32_t q, const char* text, float* value) {
    double perUnit = Panel_RowOhmsPerUnit(channel, q);
    if (perUnit == 0.0) return Panel_TryParseValueText(text, value);
    double number = 0.0;
    double factor = 1.0;
    if (!ParseNumber(text, &number, &factor)) return false;
    // A suffix gives ohms; a bare number is already counted in the row's unit.
    if (factor != 1.0) number = number * factor / perUnit;
    return ToFiniteFloat(number, value);
}

// "%.2f" whatever the host's locale says about decimal points.
static std::string TwoDecimals(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc()) return "0.00";
    return std::string(buffer, result.ptr);
}

std::string Panel_FormatValueText(float value) {
    double magnitude = std::fabs(static_cast<double>(value));
    if (magnitude < 1000.0) return TwoDecimals(value);
    if (magnitude < 1000000.0) return TwoDecimals(value / 1000.0) + "K";
    return TwoDecimals(value / 1000000.0) + "M";
}

void Panel_ResetInputs() {
    for (std::atomic<uint8_t>& q : s_PrimaryQuantity) q.store(kSimCondSignal, kRelaxed);
    s_SecondGlassB.store(0, kRelaxed);
    for (uint32_t field = 0; field < kInputFields; ++field) s_FieldText[field] = kFieldRows[field].defaultText;
}

uint8_t Panel_GetPrimaryQuantity(uint32_t channel) {
    return channel < 2 ? s_PrimaryQuantity[channel].load(kRelaxed) : static_cast<uint8_t>(kSimCondSignal);
}

void Panel_SetPrimaryQuantity(uint32_t channel, uint8_t q) {
    if (channel < 2) s_PrimaryQuantity[channel].store(q, kRelaxed);
}

// The value as the row shows it: the electrode potential in mV, everything else as stored.
static float RowValue(uint32_t channel, uint32_t q) {
    float value = Panel_GetSimInput(channel, q);
    return q == kSimElectrodeVolts ? value * 1000.0f : value;
}

// The value in use as the row's text.
static std::string RowText(uint32_t channel, uint32_t q) {
    float value = RowValue(channel, q);
    // A suffix in a kilohm or megaohm row would read back as ohms: such a row shows its own unit.
    if (Panel_RowOhmsPerUnit(channel, q) != 0.0f) return TwoDecimals(value);
    return Panel_FormatValueText(value);
}

std::string Panel_StepInputText(uint32_t channel, uint32_t q, int32_t delta) {
    float magnitude = std::fabs(RowValue(channel, q));
    float step = 10000.0f;
    if (magnitude < 1000.0f) {
        step = 0.01f;
    } else if (magnitude < 1000000.0f) {
        step = 10.0f;
    }
    Panel_StepSimInput(channel, q, delta > 0 ? -step : step);
    return RowText(channel, q);
}

bool Panel_StoreInputText(uint32_t channel, uint32_t q, const char* text) {
    float value = 0.0f;
    bool empty = text == nullptr || text[0] == '\0';
    if (!empty && !Panel_ParseRowText(channel, q, text, &value)) return false;
    Panel_SetSimInput(channel, q, value);
    return true;
}

bool Panel_ReadAnalogInput(const char* text) {
    float value = kAnalogInputDefaultMa;
    bool empty = text == nullptr || text[0] == '\0';
    if (!empty && !Panel_TryParseValueText(text, &value)) return false;
    Panel_SetSimInput(0, kSimAnalogInput, value);
    return true;
}

const char* Panel_FieldDefaultText(uint32_t field) { return field < kInputFields ? kFieldRows[field].defaultText : ""; }

uint32_t Panel_FieldChannel(uint32_t field) { return field < kInputFields ? kFieldRows[field].channel : 0; }

uint32_t Panel_FieldQuantity(uint32_t field) {
    if (field >= kInputFields) return kSimUnused;
    const FieldRow& row = kFieldRows[field];
    return row.q == kPrimaryRow ? Panel_GetPrimaryQuantity(row.channel) : row.q;
}

// A field's text into the store, by the rule of its row.
static bool FeedField(uint32_t field, const char* text) {
    if (field == kFieldAnalogIn) return Panel_ReadAnalogInput(text);
    return Panel_StoreInputText(Panel_FieldChannel(field), Panel_FieldQuantity(field), text);
}

// The value a field's text stands for in its row's unit (an emptied field: its row's value for
// none); false when the text is no number.
static bool TypedValue(uint32_t field, const char* text, float* value) {
    bool empty = text[0] == '\0';
    if (field == kFieldAnalogIn) {
        *value = kAnalogInputDefaultMa;
        return empty || Panel_TryParseValueText(text, value);
    }
    *value = 0.0f;
    return empty || Panel_ParseRowText(Panel_FieldChannel(field), Panel_FieldQuantity(field), text, value);
}

uint32_t Panel_TakeFieldText(uint32_t field, const char* text) {
    if (field >= kInputFields) return kFieldRefused;
    if (text == nullptr) text = "";
    float typed = 0.0f;
    if (!TypedValue(field, text, &typed)) return kFieldRefused;
    uint32_t channel = Panel_FieldChannel(field);
    uint32_t q = Panel_FieldQuantity(field);
    Panel_SetSimInput(channel, q, typed);
    // The electrode's millivolts come back from volts: a limit shows as more than float rounding.
    float used = RowValue(channel, q);
    float tolerance = 1e-5f * std::fmax(1.0f, std::fabs(typed));
    if (std::fabs(used - typed) <= tolerance) {
        s_FieldText[field] = text;
        return kFieldTaken;
    }
    s_FieldText[field] = RowText(channel, q);
    return kFieldLimited;
}

bool Panel_EnterFieldText(uint32_t field, const char* text) {
    return Panel_TakeFieldText(field, text) != kFieldRefused;
}

const std::string& Panel_FieldTextInUse(uint32_t field) {
    static const std::string kNone;
    return field < kInputFields ? s_FieldText[field] : kNone;
}

std::string Panel_StepField(uint32_t field, int32_t delta) {
    if (field >= kInputFields) return "";
    std::string text = Panel_StepInputText(Panel_FieldChannel(field), Panel_FieldQuantity(field), delta);
    // The row shows two decimals: the value in use is what the text says, as when it is typed. A
    // step no float can hold leaves the field as it was.
    uint32_t taken = Panel_TakeFieldText(field, text.c_str());
    if (taken == kFieldTaken) return text;
    if (taken == kFieldRefused) FeedField(field, s_FieldText[field].c_str());
    return s_FieldText[field];
}

void Panel_RetakeFieldTexts() {
    for (uint32_t field = 0; field < kInputFields; ++field) FeedField(field, s_FieldText[field].c_str());
}

uint8_t Panel_FindSensorIndex(uint32_t modelNumber) {
    for (uint32_t i = 0; i < kSensorModels; ++i) {
        if (g_SensorImageFiles[i].modelNumber == modelNumber) return static_cast<uint8_t>(i);
    }
    return kNoSensorIndex;
}

// The record: the entry's index and its model number on one line, "8 4187".
static constexpr uint32_t kChoiceRecordMax = 24;

// The record's path beside the settings store; false while the program has named no folder.
static bool SensorChoicePath(char* path, size_t size) {
    const char* folder = Eeprom_GetDirectory();
    if (folder[0] == '\0') return false;
    int n = std::snprintf(path, size, "%s%s", folder, kSensorChoiceFile);
    return n > 0 && static_cast<size_t>(n) < size;
}

// False when the choice will not come back at the next start: a record that cannot be written
// leaves the old one (or none), and the next start falls back as without, to another entry.
static bool RecordSensorChoice(uint32_t index) {
    char path[kEepromPathSize + sizeof kSensorChoiceFile];
    if (index >= kSensorModels || !SensorChoicePath(path, sizeof path)) return true;
    char line[kChoiceRecordMax];
    int n = std::snprintf(line, sizeof line, "%u %u\n", static_cast<unsigned>(index),
                          static_cast<unsigned>(g_SensorImageFiles[index].modelNumber));
    if (n > 0 && PlatSafe_Replace(path, reinterpret_cast<const uint8_t*>(line), static_cast<uint32_t>(n)) == 0)
        return true;
    return Panel_RestoreSensorIndex(g_SensorImageFiles[index].modelNumber) == index;
}

// A whole decimal number of the text from p up to the character stop; false for anything else.
static bool ParseWhole(const char** p, const char* end, char stop, uint32_t* value) {
    const char* at = *p;
    while (at < end && *at != stop) ++at;
    if (at == *p || at == end) return false;
    std::from_chars_result r = std::from_chars(*p, at, *value);
    if (r.ec != std::errc() || r.ptr != at) return false;
    *p = at + 1;
    return true;
}

// The recorded entry, or 255 when there is no record or it is not one the panel wrote.
static uint8_t RecordedSensorChoice() {
    char path[kEepromPathSize + sizeof kSensorChoiceFile];
    if (!SensorChoicePath(path, sizeof path)) return kNoSensorIndex;
    uint8_t bytes[kChoiceRecordMax];
    int32_t n = PlatSafe_ReadAt(path, 0, bytes, sizeof bytes);
    if (n <= 0 || n >= static_cast<int32_t>(sizeof bytes)) return kNoSensorIndex;
    const char* p = reinterpret_cast<const char*>(bytes);
    const char* end = p + n;
    uint32_t index = 0, model = 0;
    if (!ParseWhole(&p, end, ' ', &index) || !ParseWhole(&p, end, '\n', &model) || p != end) return kNoSensorIndex;
    if (index >= kSensorModels || g_SensorImageFiles[index].modelNumber != model) return kNoSensorIndex;
    return static_cast<uint8_t>(index);
}

uint8_t Panel_RestoreSensorIndex(uint32_t modelNumber) {
    uint8_t recorded = RecordedSensorChoice();
    if (recorded < kSensorModels && g_SensorImageFiles[recorded].modelNumber == modelNumber) return recorded;
    return Panel_FindSensorIndex(modelNumber);
}

void Panel_SelectDigitalSensor(uint32_t channel, uint32_t index) {
    if (index < kSensorModels) {
        Link_SelectSensorImage(channel, g_SensorImageFiles[index].fileName, g_SensorImageFiles[index].code);
    } else {
        Link_SelectSensorImage(channel, " ", kNoSensorCode);
    }
}

const char* Panel_ApplySensorChoice(uint32_t channel, uint32_t index) {
    uint32_t code = index < kSensorModels ? g_SensorImageFiles[index].code : kNoSensorCode;
    KindRow row = Panel_KindRow(code);
    Panel_SetPrimaryQuantity(channel, row.primaryQuantity);
    Panel_SelectDigitalSensor(channel, index);
    return row.unitLabel;
}

uint32_t Panel_ChannelBHasElectrodes(uint32_t kindOrCode) {
    return kindOrCode == 1 || kindOrCode == 2 || kindOrCode == 10 ? 1 : 0;
}

uint32_t Panel_ChannelAUsesGlass(uint32_t kind) { return kind == 1 || kind == 10 ? 1 : 0; }

uint32_t Panel_ChannelAUsesReference(uint32_t kind) { return kind == 1 ? 1 : 0; }

SensorARows Panel_ChooseSensorA(int32_t selection, uint32_t configuredKind) {
    bool chosen = selection >= 0 && selection < static_cast<int32_t>(kSensorModels);
    KindRow row = chosen ? Panel_KindRow(configuredKind) : kNoSelection;
    Panel_SetPrimaryQuantity(0, row.primaryQuantity);
    bool electrodes = configuredKind == 1;
    return SensorARows{row.unitLabel, electrodes, electrodes};
}

SensorARows Panel_ClearSensorA() {
    Panel_SetPrimaryQuantity(0, kNoSelection.primaryQuantity);
    return SensorARows{kNoSelection.unitLabel, false, false};
}

// The fourth row of channel B as a sensor with that code uses it; nullptr for a sensor without
// electrodes, whose rows keep what they show.
static void SetUpFourthRowB(uint32_t code, const char** unit, const char** text) {
    *unit = nullptr;
    *text = nullptr;
    if (!Panel_ChannelBHasElectrodes(code)) return;
    bool secondGlass = code == kCodePna;
    s_SecondGlassB.store(secondGlass ? 1 : 0, kRelaxed);
    *unit = secondGlass ? kSecondGlassUnit : kReferenceUnit;
    *text = secondGlass ? kSecondGlassText : kReferenceText;
}

static uint32_t SensorCode(uint32_t index) {
    return index < kSensorModels ? g_SensorImageFiles[index].code : kNoSensorCode;
}

SensorBRows Panel_ChooseSensorB(int32_t selection) {
    uint32_t index = selection >= 0 && selection < static_cast<int32_t>(kSensorModels)
                         ? static_cast<uint32_t>(selection)
                         : kNoSensorIndex;
    SensorBRows rows;
    rows.primaryUnit = Panel_ApplySensorChoice(1, index);
    rows.kept = RecordSensorChoice(index);
    uint32_t code = SensorCode(index);
    rows.electrodeRows = Panel_ChannelBHasElectrodes(code) != 0;
    SetUpFourthRowB(code, &rows.fourthUnit, &rows.fourthText);
    return rows;
}

SensorBRows Panel_ClearSensorB() {
    Panel_ApplySensorChoice(1, kNoSensorIndex);
    return SensorBRows{kNoSelection.unitLabel, false, nullptr, nullptr};
}

const DigitalInputChoice g_DigitalInputChoices[kDigitalInputChoices] = {
    {IDC_DIN1_LOW, 0, 0},
    {IDC_DIN1_HIGH, 0, 1},
    {IDC_DIN2_LOW, 1, 0},
    {IDC_DIN2_HIGH, 1, 1},
};

const DigitalInputChoice* Panel_ClickDigitalInput(int controlId) {
    for (const DigitalInputChoice& choice : g_DigitalInputChoices) {
        if (choice.controlId != controlId) continue;
        g_DigitalInputs[choice.input].store(choice.level, kRelaxed);
        return &choice;
    }
    return nullptr;
}

uint32_t Panel_ReadStoredSensorModel(uint32_t channel) {
    if (channel >= 2) return kDefaultSensorModel;
    // The panel's thread reads the file; the firmware's copy in memory is the firmware thread's.
    uint32_t status = 0;
    uint8_t marker[2] = {0, 0};
    Eeprom_ReadShared(kStoreConfigMarker, marker, 2, &status);
    // Until the firmware has written its settings the store holds 0xFF bytes, not a model.
    if (status != 0 || marker[0] != 'K' || marker[1] != '2') return kDefaultSensorModel;
    uint8_t kind = 0xFF;
    Eeprom_ReadShared(kStoreChannelKinds + channel, &kind, 1, &status);
    if (status != 0 || kind > kMaxChannelKind) return kDefaultSensorModel;
    uint8_t bytes[4];
    Eeprom_ReadShared(kStoreSensorModel + 4 * channel, bytes, 4, &status);
    if (status != 0) return kDefaultSensorModel;
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

ChannelSetup Panel_LoadChannelSetup() {
    // What a write of the record killed on its way left beside it goes at the start.
    char record[kEepromPathSize + sizeof kSensorChoiceFile];
    if (SensorChoicePath(record, sizeof record)) PlatSafe_DropLeftover(record);
    ChannelSetup setup;
    setup.kindA = Fw_GetChannelType(0);
    setup.kindB = Fw_GetChannelType(1);
    KindRow rowA = Panel_KindRow(setup.kindA);
    Panel_SetPrimaryQuantity(0, rowA.primaryQuantity);
    setup.unitA = rowA.unitLabel;
    setup.sensorIndex = Panel_RestoreSensorIndex(Panel_ReadStoredSensorModel(1));
    setup.unitB = Panel_ApplySensorChoice(1, setup.sensorIndex);
    // A stored pNa sensor's fourth row counts in megaohm from the start, as after choosing it.
    SetUpFourthRowB(SensorCode(setup.sensorIndex), &setup.fourthUnitB, &setup.fourthTextB);
    return setup;
}

bool Panel_TryLoadChannelSetup(ChannelSetup* setup) {
    if (!Fw_SettingsLoaded()) return false;
    *setup = Panel_LoadChannelSetup();
    return true;
}

void Panel_SyncSystemClock() {
    ClockRecord firmware;
    Rtc_GetTime(&firmware);
    PlatDateTime host{firmware.year, firmware.month,  firmware.day,   firmware.weekday,
                      firmware.hour, firmware.minute, firmware.second};
    Plat_SetLocalTime(&host);
}

std::string Panel_ShowClock() {
    PlatDateTime host;
    Plat_GetLocalTime(&host);
    ClockRecord now{host.year, host.month, host.day, host.weekday, host.hour, host.minute, host.second};
    Rtc_StoreHostTime(&now);
    char text[48];
    std::snprintf(text, sizeof text, "%4d/%02d/%02d,%02d:%02d:%02d", now.year, now.month, now.day, now.hour, now.minute,
                  now.second);
    return text;
}

std::string Panel_ClockSecond() {
    if (g_ClockChanged.load(kRelaxed)) {
        Panel_SyncSystemClock();
        g_ClockChanged.store(0, kRelaxed);
    }
    return Panel_ShowClock();
}
