// Calibrations of channel B's digital sensors walked by keys: the start with the sensor, the walk
// of each calibration from CAL to the measurement screen, and the pages read back.
#include "cal_b_walk.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "../digital_sensor/plug_support.h"
#include "../ui/ui_support.h"
#include "digital_sensor/vdx_config.h"
#include "measurement/cond_comp.h"
#include "measurement/ph_buffers.h"
#include "measurement/slots.h"
#include "panel/outputs.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"

using namespace ui_test;

namespace calb {

const Model kModels[] = {
    {"SelvoP11", "PH_SelvoP11_0.txt", 1, Family::Ph, {0.0f, 1.0f}},
    {"SelvoP12", "PH_SelvoP12_0.txt", 1, Family::Ph, {0.0f, 1.0f}},
    {"SelvoN11", "pNa_SelvoN11_0.txt", 2, Family::Ph, {0.0f, 1.0f}},
    {"SelvoK11", "COND_SelvoK11_0.txt", 4, Family::Cond, {0.3196f, 0.0f}},
    {"SelvoD11", "DO_SelvoD11_0.txt", 5, Family::O2, {70.4f, 0.12f}},
    {"SelvoD12", "DO_SelvoD12_0.txt", 6, Family::O2, {351.8f, 0.085f}},
    {"SelvoD13 G", "DO_SelvoD13_0.txt", 7, Family::O2, {3987.0f, 0.04f}},
    {"SelvoD14", "DO_SelvoD14_0.txt", 8, Family::O2, {39850.0f, 0.025f}},
    {"SelvoP11(2)", "PH_SelvoP11_1.txt", 1, Family::Ph, {0.0f, 1.0f}},
    {"SelvoQ11", "OPT_SelvoQ11_0.txt", 9, Family::Optical, {100.0f, 0.0f}},
    {"SelvoQ12", "OPT_SelvoQ12_0.txt", 9, Family::Optical, {100.0f, 0.0f}},
    {"SelvoC11", "CO2_SelvoC11_0.txt", 10, Family::Co2, {0.0f, 57.9f / 59.16f}},
};
const uint32_t kModelCount = sizeof kModels / sizeof kModels[0];

void SetInputs(const CalCase& c, uint32_t i);

namespace {

constexpr uint8_t kBufferSetTyped = 8;
const char* const kSetNames[11] = {"Vandor-9", "Vandor-10", "NIST Tech", "NIST Std",   "HACH",    "CIBA",
                                   "MERCK",    "WTW",       "None",      "JIS Z 8802", "Na+ 3.9M"};
// The compensations of a conductivity line, in their list's order.
const char* const kCompensations[11] = {"Standard", "Lin 25°C", "Lin 20°C", "Light 84", "Std 75°C", "Glycol.5",
                                        "Glycol1",  "Cation",   "Alcohol",  "Ammonia",  "None"};

const Model& M(const CalCase& c) { return kModels[c.model % kModelCount]; }
Family F(const CalCase& c) { return M(c).family; }

const char* TypeName(Type t) {
    static const char* const kNames[] = {"1 point", "2 point", "process", "zero"};
    return kNames[static_cast<int>(t)];
}

// The calibration page's row 12 for the case's type.
const char* TypeRow(const CalCase& c) {
    static const char* const kRows[] = {"Type = 1 point", "Type = 2 point", "Type = Process", "Type = 1 point"};
    return kRows[static_cast<int>(c.type)];
}

// ---- Keys -------------------------------------------------------------------------------------

bool StartsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

// UP until row r starts with the text (at most n presses).
bool UpUntil(uint32_t r, const std::string& text, int n = 16) {
    for (int i = 0; i < n; ++i) {
        if (StartsWith(Row(r), text)) return true;
        Press(kKeyUp);
    }
    return StartsWith(Row(r), text);
}

void Settle() { Rig_AdvanceMs(30000); }

// ENTER on the menus and pages until the measurement screen is back (a "Save Changes" kept).
void SaveAndLeave() {
    for (int i = 0; i < 8 && Menu_TopScreen() != kScreenHome; ++i) {
        if (Row(11) == "Save Changes Yes & Exit") {
            Press(kKeyEnter);
            break;
        }
        Press(kKeyEnter);
    }
    for (int i = 0; i < 20 && Menu_TopScreen() != kScreenHome; ++i) Rig_AdvanceMs(500);
}

bool OpenMenuItem(uint8_t key, const std::vector<std::string>& path) {
    Press(key);
    for (const std::string& item : path) {
        if (!Choose(item)) return false;
    }
    return true;
}

// "pH Buffer=" on channel B's pH (or CO2) page (Configure, Measurement).
void ChooseBufferSet(uint8_t set, const char* page) {
    ASSERT_TRUE(OpenMenuItem(kKeyMenu, {"Configure", "Measurement", page}));
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    Press(kKeyCal);
    ASSERT_TRUE(UpUntil(12, std::string("pH Buffer= ") + kSetNames[set], 12)) << Row(12);
    SaveAndLeave();
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
}

// Line a's compensation (Configure, Measurement, Resistivity), the line of channel B's reading.
void ChooseLineCompensation(uint8_t comp) {
    ASSERT_TRUE(OpenMenuItem(kKeyMenu, {"Configure", "Measurement", "Resistivity"}));
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    ASSERT_TRUE(UpUntil(11, std::string("a Compensation=") + kCompensations[comp], 12)) << Row(11);
    SaveAndLeave();
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
}

// The optical sensor measures with its LED on (Configure, Measurement, "LED Mode").
void OpticalLedOn() {
    ASSERT_TRUE(OpenMenuItem(kKeyMenu, {"Configure", "Measurement", "LED Mode"}));
    ASSERT_TRUE(UpUntil(12, "LED = On", 3));
    SaveAndLeave();
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
}

// ---- The sensor's inputs ------------------------------------------------------------------------

// The pH of the recognised buffer of point i at the case's temperature (a buffer is named by its pH
// at the set's nominal temperature).
float BufferPh(const CalCase& c, uint32_t i) {
    const BufferSetDesc& set = g_BufferSets[c.choice < kBufferSetCount ? c.choice : 0];
    return CalPh_InterpolateBuffer(set.table, set.rows, static_cast<uint32_t>(c.x[i]) + 1, c.t);
}

uint32_t BufferCount(uint8_t set) { return g_BufferSets[set].columns - 1u; }

// The pH the electrode stands in at point i.
float PointPh(const CalCase& c, uint32_t i) { return c.choice == kBufferSetTyped ? c.x[i] : BufferPh(c, i); }

float ElectrodeMv(const CalCase& c, float ph, float t) {
    const Model& m = M(c);
    float fraction = m.own[1] * c.sensor[1];
    return m.own[0] + c.sensor[0] + fraction * (54.2f + 0.1984f * t) * (7.0f - ph);
}

void SetInput(const CalCase& c, float x, float t) {
    Panel_SetSimInput(1, kSimTemperatureB, t);
    const Model& m = M(c);
    switch (m.family) {
        case Family::Ph:
        case Family::Co2:
            Panel_SetSimInput(1, kSimElectrodeVolts, ElectrodeMv(c, x, t));
            break;
        case Family::Cond:
            Panel_SetSimInput(1, kSimCondSignal, m.own[0] * c.sensor[1] * 1e6f / x);
            break;
        case Family::O2: {
            // A zero point's x is the current in nA above the sensor's own zero. The membrane
            // passes more oxygen the warmer it is, as the transmitter's temperature curves have it.
            float current = m.own[1] + (c.type == Type::Zero ? x : x * m.own[0] * c.sensor[1]);
            uint32_t status = 0;
            float perUnit =
                m.code == 8 ? CalCond_DivideByPolyB(1.0f, t, &status) : CalCond_DivideByPolyA(1.0f, t, &status);
            Panel_SetSimInput(1, kSimSensorCurrent, -current / perUnit);
            break;
        }
        case Family::Optical:
            Panel_SetSimInput(1, kSimPrimaryKind9, x * m.own[0]);
            break;
    }
}

float PointX(const CalCase& c, uint32_t i) {
    if (F(c) == Family::Ph || F(c) == Family::Co2) return PointPh(c, i);
    return c.x[i];
}

// ---- Texts ---------------------------------------------------------------------------------------

// A value as the editor's field of that many places takes it, with as many decimals as fit.
std::string FieldText(double value, int places) {
    char text[32];
    for (int decimals = places - 2; decimals >= 0; --decimals) {
        if (decimals > 0) {
            std::snprintf(text, sizeof text, "%.*f", decimals, value);
        } else {
            std::snprintf(text, sizeof text, "%.0f.", value);
        }
        if (static_cast<int>(std::string(text).size()) <= places) return text;
    }
    // A whole number that fills the field has no room for its point.
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// The number after "=" of the editor's row 11, and its text.
std::string PointText(const std::string& row) {
    std::string::size_type at = row.find('=');
    if (at == std::string::npos) return "";
    std::string rest = row.substr(at + 1);
    while (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    return rest;
}

// The unit of an editor's row 11: its last word before the dots of a point being taken.
std::string UnitOf(const std::string& row) {
    std::string text = row;
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    return text.substr(text.find_last_of(' ') + 1);
}

// The point's reference as row 11 shows it.
Reference ReferenceIn(const std::string& row) {
    Reference r;
    NumberIn(PointText(row), &r.value, &r.step);
    r.unit = UnitOf(row);
    return r;
}

// A recognised buffer's reference: its pH at the point's temperature, to the hundredth the line
// shows.
Reference BufferAt(const CalCase& c, uint32_t i) {
    Reference r;
    r.value = BufferPh(c, i);
    r.step = 0.01;
    r.unit = "pH";
    return r;
}

void TypeNumber(double value) { NumEditType(FieldText(value, g_NumEditField->digits).c_str()); }

// ---- Walks ------------------------------------------------------------------------------------------

// Polls the editor until it is left; its row 11 as last seen (the point as it was taken).
std::string WaitInEditor(uint32_t limitS) {
    std::string seen = Row(11);
    for (uint32_t s = 0; s < limitS && Menu_TopScreen() == kScreenNumericEditor; ++s) {
        seen = Row(11);
        Rig_AdvanceMs(1000);
    }
    Rig_AdvanceMs(200);
    return seen;
}

// ENTER captures the reading under the channel's hold; a while later CAL opens the held point.
bool CaptureAndReopen(const CalCase& c) {
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    if (Menu_TopScreen() != kScreenHome) return false;
    // The process moves on while the sample is in the lab.
    SetInputs(c, 2);
    Settle();
    Press(kKeyCal);
    return Menu_TopScreen() == kScreenNumericEditor;
}

// The lab's value typed over the captured reading, or (a lab's value equal to it) the captured
// reading the point offers taken as it stands: then its reference is the reading of the point in
// the unit shown, as row 12 gives it. ENTER.
void TakeLabValue(const CalCase& c, Walked* w) {
    bool offered = F(c) == Family::Ph ? c.lab == 0.0f : c.lab == 1.0f;
    // The held point offers the captured reading in the unit it shows: the number row 12 reads.
    Reference shown = ReferenceIn(Row(11)), reading = ReferenceIn(Row(12));
    EXPECT_EQ(shown.unit, reading.unit) << Row(11) << " / " << Row(12);
    EXPECT_NEAR(shown.value, reading.value, std::max(shown.step, reading.step) * 1.0001) << Row(11) << " / " << Row(12);
    if (!offered) {
        Reference captured = ReferenceIn(Row(11));
        TypeNumber(F(c) == Family::Ph ? captured.value + c.lab : captured.value * c.lab);
    }
    w->points.push_back(Row(11));
    w->references.push_back(ReferenceIn(offered ? Row(12) : Row(11)));
    Press(kKeyEnter);
    Rig_AdvanceMs(500);
}

// A point whose reference stands on row 11 as it is taken.
void TakeShownPoint(Walked* w) {
    w->points.push_back(Row(11));
    w->references.push_back(ReferenceIn(Row(11)));
    Press(kKeyEnter);
}

void PhFamilyPoints(const CalCase& c, Walked* w) {
    uint32_t points = c.type == Type::TwoPoint ? 2 : 1;
    for (uint32_t i = 0; i < points; ++i) {
        if (Menu_TopScreen() != kScreenList) return;
        SetInputs(c, i);
        Settle();
        Press(kKeyEnter);
        if (Menu_TopScreen() != kScreenNumericEditor) return;
        if (c.choice == kBufferSetTyped) {
            TypeNumber(c.x[i]);
            w->points.push_back(Row(11));
            w->references.push_back(ReferenceIn(Row(11)));
            Press(kKeyEnter);
            WaitInEditor(400);
        } else {
            w->points.push_back(WaitInEditor(400));
            w->references.push_back(BufferAt(c, i));
        }
    }
}

// A process point: the reading captured after a few seconds, the held point opened again (its
// unit stepped where the case asks) and the lab's value taken.
void ProcessPoint(const CalCase& c, Walked* w, bool stepUnit) {
    Rig_AdvanceMs(3000);
    if (!CaptureAndReopen(c)) return;
    if (stepUnit) {
        for (uint8_t k = 0; k < c.unit; ++k) Press(kKeyUp);
        Rig_AdvanceMs(2000);
    }
    TakeLabValue(c, w);
}

void PhFamilyWalk(const CalCase& c, Walked* w) {
    ASSERT_TRUE(UpUntil(12, TypeRow(c), 4)) << Row(12);
    Press(kKeyEnter);
    if (c.type != Type::Process) {
        PhFamilyPoints(c, w);
        return;
    }
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    // The held point in another unit.
    ProcessPoint(c, w, true);
}

void CondWalk(const CalCase& c, Walked* w) {
    ASSERT_EQ(Menu_TopScreen(), kScreenCalCompensation);
    ASSERT_TRUE(UpUntil(12, kCompensations[c.choice], 12)) << Row(12);
    Press(kKeyEnter);
    ASSERT_TRUE(UpUntil(12, TypeRow(c), 4)) << Row(12);
    Press(kKeyEnter);
    if (c.type == Type::Process) {
        ProcessPoint(c, w, false);
        return;
    }
    uint32_t points = c.type == Type::TwoPoint ? 2 : 1;
    for (uint32_t i = 0; i < points; ++i) {
        if (Menu_TopScreen() == kScreenList) Press(kKeyEnter);
        if (Menu_TopScreen() != kScreenNumericEditor) return;
        SetInputs(c, i);
        Settle();
        // uS/cm below 1000, mS/cm from there: the prefix at the place after the digits.
        bool milli = c.x[i] >= 1000.0f;
        uint8_t want = milli ? 3 : 2;
        for (int k = 0; k < 4 && g_NumEditBuffer.prefix != want; ++k) {
            while (g_NumEditBuffer.cursor != g_NumEditField->digits + 1) Press(kKeyCal);
            Press(kKeyUp);
        }
        TypeNumber(milli ? c.x[i] / 1000.0 : c.x[i]);
        TakeShownPoint(w);
        Rig_AdvanceMs(500);
    }
}

// The pressure pages as they stand, through the wait for a new polarization voltage, to the
// first point.
void ToTheEditor() {
    for (int i = 0; i < 300 && Menu_TopScreen() != kScreenNumericEditor; ++i) {
        if (Menu_TopScreen() == kScreenHoldCountdown) {
            Rig_AdvanceMs(1000);
        } else {
            Press(kKeyEnter);
        }
    }
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
}

void O2Walk(const CalCase& c, Walked* w) {
    if (c.type == Type::Zero) {
        Press(kKeyCal);
        ASSERT_TRUE(UpUntil(12, "Type = 1 point ZeroPt", 3)) << Row(12);
    } else {
        ASSERT_TRUE(UpUntil(12, c.type == Type::Process ? "Type = Process Slope" : "Type = 1 point Slope", 3))
            << Row(12);
    }
    Press(kKeyEnter);
    ToTheEditor();
    if (c.type == Type::Process) {
        ProcessPoint(c, w, true);
        return;
    }
    SetInputs(c, 0);
    for (uint8_t k = 0; k < c.unit; ++k) Press(kKeyUp);
    Settle();
    if (c.typed) TypeNumber(ReferenceIn(Row(11)).value * c.lab);
    TakeShownPoint(w);
    WaitInEditor(400);
}

void OpticalWalk(const CalCase& c, Walked* w) {
    ASSERT_TRUE(UpUntil(12, TypeRow(c), 4)) << Row(12);
    Press(kKeyEnter);
    ToTheEditor();
    if (c.type == Type::Process) {
        ProcessPoint(c, w, false);
        return;
    }
    // Each point is taken by itself once the reading is stable.
    uint32_t points = c.type == Type::TwoPoint ? 2 : 1;
    for (uint32_t i = 0; i < points; ++i) {
        if (i > 0) {
            if (Menu_TopScreen() != kScreenList) return;
            SetInputs(c, i);
            Press(kKeyEnter);
        }
        if (Menu_TopScreen() != kScreenNumericEditor) return;
        TakeShownPoint(w);
        WaitInEditor(i == 0 ? 700 : 3700);
    }
}

// The result screen's choice taken; on to the measurement screen.
void SaveAndFinish(const CalCase& c, Walked* w) {
    for (int i = 0; i < 10 && Menu_TopScreen() != kScreenSelectMode2 && Menu_TopScreen() != kScreenCalNotDone; ++i) {
        Rig_AdvanceMs(1000);
    }
    w->resultShown = Menu_TopScreen() == kScreenSelectMode2;
    if (w->resultShown) {
        w->result = Row(11);
        const char* save = c.save == Save::Adjust      ? "Save Adjust"
                           : c.save == Save::Calibrate ? "Save Calibrate"
                                                       : "Save Abort";
        EXPECT_TRUE(UpUntil(12, save, 3)) << Row(12);
    }
    Press(kKeyEnter);
    for (int i = 0; i < 90 && Menu_TopScreen() != kScreenHome; ++i) {
        if (Menu_TopScreen() == kScreenReinstallCountdown) Press(kKeyEnter);
        Rig_AdvanceMs(1000);
    }
    // The outputs stay held while an oxygen sensor settles after its calibration.
    Rig_AdvanceMs(150000);
}

}  // namespace

void SetInputs(const CalCase& c, uint32_t i) {
    if (i < 2) {
        SetInput(c, PointX(c, i), c.t);
    } else {
        SetInput(c, PointX(c, 0) * c.later[1], c.later[0]);
    }
}

void SetPointInputs(const CalCase& c, uint32_t i) {
    SetInputs(c, i);
    Settle();
}

void StartWithSensor(const CalCase& c) {
    // Channel B's four measurement lines.
    plug_test::BootOnChannelB({{1200, 1}, {1201, 1}, {1202, 1}, {1203, 1}});
    SetInputs(c, 0);
    plug_test::Plug(M(c).file, M(c).code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(20000);
    g_SystemSettings.calUnlock = 0;
    switch (F(c)) {
        case Family::Ph:
        case Family::Co2:
            ChooseBufferSet(c.choice, F(c) == Family::Co2 ? "CO2" : "pH");
            break;
        case Family::Cond:
            ChooseLineCompensation(c.choice);
            break;
        case Family::Optical:
            OpticalLedOn();
            break;
        default:
            break;
    }
    Settle();
}

Walked Calibrate(const CalCase& c) {
    Walked w;
    Press(kKeyCal);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectCal);
    Press(kKeyEnter);
    switch (F(c)) {
        case Family::Ph:
        case Family::Co2:
            PhFamilyWalk(c, &w);
            break;
        case Family::Cond:
            CondWalk(c, &w);
            break;
        case Family::O2:
            O2Walk(c, &w);
            break;
        case Family::Optical:
            OpticalWalk(c, &w);
            break;
    }
    SaveAndFinish(c, &w);
    return w;
}

// ---- Reading back -----------------------------------------------------------------------------------

bool NumberIn(const std::string& text, double* value, double* step) {
    std::string::size_type at = text.find_first_of("-0123456789.");
    if (at == std::string::npos) return false;
    std::string::size_type end = text.find_first_not_of("-0123456789.", at);
    std::string number = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (number.find_first_of("0123456789") == std::string::npos) return false;
    *value = std::strtod(number.c_str(), nullptr);
    std::string::size_type dot = number.find('.');
    int decimals = dot == std::string::npos ? 0 : static_cast<int>(number.size() - dot - 1);
    *step = std::pow(10.0, -decimals);
    return true;
}

namespace {
struct UnitOnLine {
    const char* text;
    uint8_t code;
    uint8_t prefix;
};
// The units a reference is given in, and how a line shows them.
const UnitOnLine kUnitsOnLine[] = {
    {"µS/cm", 1, 2},    {"mS/cm", 1, 3}, {"pH", 13, 10},   {"%air", 19, 10}, {"%O2G", 22, 10},
    {"ppmO2G", 21, 10}, {"%O2", 20, 10}, {"µg/L", 23, 2},  {"ppm", 24, 7},   {"ppb", 24, 8},
    {"%CO2", 33, 10},   {"hPa", 34, 10}, {"mbar", 35, 10}, {"mmHg", 36, 10},
};
}  // namespace

Reference OnALine(const Reference& reference) {
    Reference r = reference;
    if (std::fabs(r.value) >= 9999.5 && (r.unit == "ppb" || r.unit == "µg/L")) {
        r.unit = r.unit == "ppb" ? "ppm" : "mg/L";
        r.value /= 1000.0;
        r.step /= 1000.0;
    }
    return r;
}

std::string ReadingIn(const Reference& reference) {
    const std::string& unit = reference.unit;
    uint8_t code = 30, prefix = 10;
    for (const UnitOnLine& u : kUnitsOnLine) {
        if (unit == u.text) {
            code = u.code;
            prefix = u.prefix;
        }
    }
    // mg/L: of oxygen the line's g/L in thousandths, of CO2 a unit of its own.
    if (unit == "mg/L") {
        code = g_ChannelKind[1] == 10 ? 37 : 23;
        prefix = g_ChannelKind[1] == 10 ? 10 : 3;
    }
    g_MeasLines.channel[0] = 1;
    g_MeasLines.kind[0] = code;
    g_MeasLines.prefix[0] = prefix;
    // The decimals a line of that unit takes when the instrument sets it up.
    bool two = code == 0 || code == 1 || code == 13 || code == 39;
    bool none = code == 14 || code == 15 || code == 24 || code == 38 || code == 40;
    g_MeasLines.resolution[0] = two ? 2 : none ? 0 : 1;
    Meas_SetSlotAssignment(0, 1, code);
    Settle();
    return Rig_BigLineText(0);
}

// A page that reads a command-protocol sensor first shows "Please wait...".
void WaitForThePage() {
    for (int i = 0; i < 60 && Row(12) == "Please wait..."; ++i) Rig_AdvanceMs(500);
}

std::vector<std::string> CalDataRows() {
    std::vector<std::string> rows;
    if (OpenMenuItem(kKeyInfo, {"Calibration Data"})) {
        WaitForThePage();
        rows = {Row(11), Row(12)};
    }
    Post(kEventHome);
    Rig_AdvanceMs(1000);
    return rows;
}

std::vector<std::string> HistoryRows() {
    std::vector<std::string> rows;
    if (OpenMenuItem(kKeyInfo, {"VDX Diagnostics", "ChB Cal History"})) {
        for (int i = 0; i < 6; ++i) {
            WaitForThePage();
            rows.push_back(Row(11) + " | " + Row(12));
            Press(kKeyUp);
        }
    }
    Post(kEventHome);
    Rig_AdvanceMs(1000);
    return rows;
}

Seen Look() {
    Seen s;
    s.line[0] = Rig_BigLineText(0);
    s.line[1] = Rig_BigLineText(1);
    s.out[0] = Panel_AnalogOutputText(0);
    s.out[1] = Panel_AnalogOutputText(1);
    s.calData = CalDataRows();
    return s;
}

bool LabelledValue(const std::string& row, const std::string& label, double* value, double* step) {
    std::string::size_type at = row.find(label);
    // "P0=" is not the end of "P100=".
    while (at != std::string::npos && at > 0 && label == "P0=" && row[at - 1] == '0') at = row.find(label, at + 1);
    if (at == std::string::npos) return false;
    std::string rest = row.substr(at + label.size());
    while (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    if (!NumberIn(rest, value, step)) return false;
    std::string::size_type end = rest.find_first_not_of("-0123456789.");
    std::string unit = end == std::string::npos ? "" : rest.substr(end);
    // An oxygen sensor's currents in nA; a cell constant or zero offset with its prefix.
    double factor = 1.0;
    if (StartsWith(unit, "µA")) {
        factor = 1000.0;
    } else if (StartsWith(unit, "µ")) {
        factor = 1e-6;
    } else if (StartsWith(unit, "m") && !StartsWith(unit, "mV")) {
        factor = 1e-3;
    }
    *value *= factor;
    *step *= factor;
    return true;
}

void Replug(const CalCase& c) { ASSERT_TRUE(plug_test::Replug(M(c).file, M(c).code)); }

void Restart(const CalCase& c) {
    plug_test::RestartInSameFolder();
    SetInputs(c, 2);
    Link_SelectSensorImage(1, M(c).file, M(c).code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugResume));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 12000));
    g_SystemSettings.calUnlock = 0;
}

// ---- Cases ---------------------------------------------------------------------------------------------

void showValue(const CalCase& c, std::ostream& os) {
    const Model& m = M(c);
    os << m.name << " " << TypeName(c.type) << " save="
       << (c.save == Save::Adjust      ? "Adjust"
           : c.save == Save::Calibrate ? "Calibrate"
                                       : "Abort")
       << " choice=" << int(c.choice) << " unit=" << int(c.unit) << (c.typed ? " typed" : "") << " t=" << c.t << " x={"
       << c.x[0] << ", " << c.x[1] << "} sensor={" << c.sensor[0] << ", " << c.sensor[1] << "} lab=" << c.lab
       << " later={" << c.later[0] << ", " << c.later[1] << "}";
}

void PrintTo(const Seen& s, std::ostream* os) {
    *os << "lines " << s.line[0] << " / " << s.line[1] << ", outputs " << s.out[0] << " / " << s.out[1]
        << " mA, calibration data";
    for (const std::string& r : s.calData) *os << " |" << r;
}

namespace {
// A value on a grid of steps between lo and hi (shrinks toward lo).
rc::Gen<float> Grid(float lo, float hi, float step) {
    int n = static_cast<int>(std::lround((hi - lo) / step));
    return rc::gen::map(rc::gen::inRange(0, n + 1), [=](int k) { return lo + static_cast<float>(k) * step; });
}
}  // namespace

rc::Gen<CalCase> GenCalCase(bool withOptical) {
    // Every case a configuration of its own, from the first on: the whole range of each choice
    // whatever the size RapidCheck starts with.
    return rc::gen::resize(
        rc::kNominalSize, rc::gen::exec([=] {
            CalCase c;
            // A family, then one of its models, so that each family has its share of the cases.
            static const std::vector<uint8_t> kFamilies[5] = {{0, 1, 2, 8}, {11}, {3}, {4, 5, 6, 7}, {9, 10}};
            const std::vector<uint8_t>& family = kFamilies[*rc::gen::inRange(0, withOptical ? 5 : 4)];
            c.model = family[*rc::gen::inRange<size_t>(0, family.size())];
            c.save = Save::Adjust;
            switch (F(c)) {
                case Family::Ph:
                case Family::Co2: {
                    bool co2 = F(c) == Family::Co2;
                    // A CO2 process point has five units: half the CO2 cases are process ones.
                    int k = std::min(*rc::gen::inRange(0, co2 ? 4 : 3), 2);
                    c.type = k == 0 ? Type::OnePoint : k == 1 ? Type::TwoPoint : Type::Process;
                    // Recognised in a set, or typed; the pNa sensor keeps its own set, Na+; CO2 takes only
                    // sets 0 and 8.
                    bool typed = M(c).code != 2 && *rc::gen::arbitrary<bool>();
                    if (typed) {
                        c.choice = kBufferSetTyped;
                    } else if (co2) {
                        c.choice = 0;
                    } else if (M(c).code == 2) {
                        c.choice = 10;
                    } else {
                        c.choice = *rc::gen::element<uint8_t>(0, 1, 2, 3, 4, 5, 6, 7, 9);
                    }
                    // Every set names its buffers between 5 and 50 C; the CO2 electrode's membrane up to 55.
                    c.t = typed ? *Grid(0.0f, co2 ? 55.0f : 100.0f, 0.5f) : *Grid(5.0f, 50.0f, 0.5f);
                    if (typed) {
                        // At least 1.5 pH apart; a CO2 sensor's first point near its neutral buffer,
                        // where its field for the point's voltage has room.
                        float lo = co2 ? 6.0f : 1.0f, hi = co2 ? 10.0f : 13.0f;
                        c.x[0] = *Grid(lo, co2 ? 8.0f : hi, 0.01f);
                        float x1 = c.x[0] + 1.5f + *Grid(0.0f, hi - lo - 3.0f, 0.01f);
                        c.x[1] = x1 <= hi ? x1 : x1 - (hi - lo);
                    } else if (co2) {
                        // The neutral buffer first, the alkaline one second.
                        c.x[0] = 2.0f;
                        c.x[1] = 3.0f;
                    } else {
                        uint32_t count = BufferCount(c.choice);
                        uint32_t first = *rc::gen::inRange<uint32_t>(0, count);
                        c.x[0] = static_cast<float>(first);
                        c.x[1] = static_cast<float>((first + 1 + *rc::gen::inRange<uint32_t>(0, count - 1u)) % count);
                    }
                    c.sensor[0] = *Grid(-10.0f, 10.0f, 0.5f);
                    c.sensor[1] = *Grid(0.96f, 1.02f, 0.005f);
                    // The lab finds the captured reading itself now and then.
                    c.lab = co2 ? *Grid(0.8f, 1.25f, 0.01f) : *Grid(-0.5f, 0.5f, 0.01f);
                    if (*rc::gen::inRange(0, 3) == 0) c.lab = co2 ? 1.0f : 0.0f;
                    if (co2 && c.type == Type::Process) {
                        c.unit = static_cast<uint8_t>(*rc::gen::inRange(0, 5));
                        // A CO2 reading the line can show (pH 6.4 is some 60 % CO2).
                        if (typed) c.x[0] = std::max(c.x[0], 6.4f);
                    }
                    break;
                }
                case Family::Cond: {
                    int k = *rc::gen::inRange(0, 3);
                    c.type = k == 0 ? Type::OnePoint : k == 1 ? Type::TwoPoint : Type::Process;
                    c.choice = static_cast<uint8_t>(*rc::gen::inRange(0, 11));
                    c.t = *Grid(0.0f, 100.0f, 0.5f);
                    // Two standards at least 1.5 times apart.
                    c.x[0] = *Grid(50.0f, 20000.0f, 1.0f);
                    float ratio = *Grid(1.5f, 10.0f, 0.1f);
                    c.x[1] = std::round(c.x[0] * ratio <= 20000.0f ? c.x[0] * ratio : c.x[0] / ratio);
                    c.sensor[1] = *Grid(0.8f, 1.25f, 0.01f);
                    c.lab = *Grid(0.8f, 1.25f, 0.01f);
                    if (*rc::gen::inRange(0, 3) == 0) c.lab = 1.0f;
                    break;
                }
                case Family::O2: {
                    int k = *rc::gen::inRange(0, 3);
                    c.type = k == 0 ? Type::OnePoint : k == 1 ? Type::Zero : Type::Process;
                    c.unit = static_cast<uint8_t>(*rc::gen::inRange(0, 7));
                    // The sensor keeps its zero to a picoampere: a high-range sensor's zero point in
                    // ppm of the gas (its second unit) would be judged beyond what the sensor can hold.
                    if (c.type == Type::Zero && M(c).own[0] < 1000.0f && c.unit == 1) c.unit = 0;
                    c.typed = c.type == Type::OnePoint && *rc::gen::arbitrary<bool>();
                    c.t = *Grid(5.0f, 45.0f, 0.5f);
                    c.x[0] = c.type == Type::Zero ? *Grid(0.0f, 5.0f, 0.05f) : *Grid(0.8f, 1.1f, 0.01f);
                    c.sensor[1] = *Grid(0.85f, 1.15f, 0.01f);
                    c.lab = *Grid(0.85f, 1.15f, 0.01f);
                    if (*rc::gen::inRange(0, 3) == 0) c.lab = 1.0f;
                    break;
                }
                case Family::Optical: {
                    int k = *rc::gen::inRange(0, 3);
                    c.type = k == 0 ? Type::OnePoint : k == 1 ? Type::TwoPoint : Type::Process;
                    c.t = *Grid(5.0f, 45.0f, 0.5f);
                    c.x[0] = *Grid(0.8f, 1.1f, 0.01f);
                    c.x[1] = *Grid(0.0f, 0.05f, 0.01f);
                    c.lab = *Grid(0.85f, 1.15f, 0.01f);
                    break;
                }
            }
            c.later[0] = *Grid(0.0f, 60.0f, 0.5f);
            c.later[1] = *Grid(0.9f, 1.1f, 0.01f);
            return c;
        }));
}

}  // namespace calb
