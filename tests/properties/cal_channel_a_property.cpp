// Calibrations of channel A by keys over every kind its channel page offers: pH and pNa in
// recognised and typed buffers and in the process, ORP, conductivity and resistivity in every
// compensation from 0 to 100 C, oxygen in air, at its zero and in the process in every range and
// unit of its point, and the temperature. After "Save Adjust" the channel reads, at the inputs of
// each point, the reference that point took (typed, or offered and shown); "Save Calibrate" and
// "Abort" leave the readings, the calibration values under INFO and the outputs as they were.
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cal_support.h"
#include "measurement/ph_buffers.h"
#include "measurement/temperature.h"
#include "property_support.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"

namespace {

using namespace calp;

enum class Cal : uint8_t { Ph, Orp, Conductivity, Resistivity, Oxygen, Temperature };
// The calibration's name after "Channel A" on the CAL key's list.
const char* const kCalNames[] = {"pH", "mV", "Conductivity", "Resistivity", "Oxygen", "Temperature"};
// Channel Setup's kinds, in the order UP steps them from "pH/ORP".
enum Kind : uint8_t { kPhOrp, kPhPna, kCond2, kCond4, kO2High, kO2Low, kO2Trace, kO2Gas };
const char* const kKindNames[] = {"pH/ORP", "pH/pNa", "Cond(2)", "Cond(4)", "O2 hi", "O2 lo", "O2 Trace", "ppmO2 G"};
const char* const kCompensations[] = {"Standard", "Lin 25°C", "Lin 20°C", "Light 84", "Std 75°C", "Glycol.5",
                                      "Glycol1",  "Cation",   "Alcohol",  "Ammonia",  "None"};
constexpr uint8_t kStd75 = 4;  // "Std 75°C"
constexpr uint8_t kOnePoint = 0, kTwoPoints = 1, kProcess = 2;
const char* const kTypeWords[] = {"1 point", "2 point", "Process"};

// An oxygen point's unit as its editor names it, the measurement line that shows that unit, and
// references a sensor in range reads there.
struct O2Unit {
    const char* item;
    const char* line;
    const char* prefix;
    float scale;  // the line's value for one of the point's unit
    int lowest, highest;
};
const O2Unit kO2Units[8] = {
    {"%air", "%air", "", 1.0f, 20, 180},        {"%O2G", "%O2G", "", 1.0f, 1, 99},
    {"ppmO2G", "ppmO2G", "", 1.0f, 10, 9000},   {"%O2", "%O2", "", 1.0f, 10, 180},
    {"mg/L", "g/L", "Milli", 1e-3f, 1, 18},     {"ppm", "O2", "ppm", 1.0f, 1, 18},
    {"µg/L", "g/L", "Micro", 1e-6f, 500, 9000}, {"ppb", "O2", "ppb", 1e-3f, 500, 9000},
};

struct CalPoint {
    float input;       // the sensor's signal: mV, ohm or nA (a temperature calibration: the element's ohms)
    float celsius;     // the process temperature (a temperature calibration: the reference less the reading)
    std::string text;  // the reference typed; empty: the one offered is taken
    uint8_t prefix;    // its unit prefix where the editor offers one
    uint8_t buffer;    // a recognised buffer: its column in the set (1 = the first)
};

struct CalCase {
    Kind kind;
    Cal cal;
    uint8_t type;       // kOnePoint, kTwoPoints or kProcess
    uint8_t option;     // oxygen: 0 slope, 1 zero point; temperature: 0 slope, 1 offset
    uint8_t setting;    // pH: the buffer set; conductivity: the compensation; oxygen: the point's unit
    CalPoint point[2];  // a process calibration's second point: where the process is when the lab's value comes
    uint8_t save;       // 0 "Adjust", 1 "Calibrate", 2 "Abort"
};

void showValue(Cal cal, std::ostream& os) { os << kCalNames[static_cast<int>(cal)]; }

void showValue(const CalCase& c, std::ostream& os) {
    os << kKindNames[c.kind] << ", " << kCalNames[static_cast<int>(c.cal)] << " " << kTypeWords[c.type] << " option "
       << int(c.option) << " setting " << int(c.setting) << " save " << int(c.save);
    for (const CalPoint& p : c.point) {
        os << "; " << p.input << " at " << p.celsius << " C, \"" << p.text << "\" prefix " << int(p.prefix)
           << " buffer " << int(p.buffer);
    }
}

// ---- Generation -----------------------------------------------------------------------------

// Four digits in the editor's five places: mantissa 1000..9999 times 10^(e - 3), e 0..3.
std::string FourDigits(int mantissa, int e) {
    char text[8];
    const double value = mantissa * std::pow(10.0, e - 3);
    if (e == 3) {
        std::snprintf(text, sizeof text, "%.0f.", value);
    } else {
        std::snprintf(text, sizeof text, "%.*f", 3 - e, value);
    }
    return text;
}

// A four-digit reference between lowest and highest (whole numbers of its unit).
std::string GenFourDigits(int lowest, int highest) {
    const int e = *rc::gen::inRange(static_cast<int>(std::floor(std::log10(lowest))),
                                    static_cast<int>(std::floor(std::log10(highest))) + 1);
    const double scale = std::pow(10.0, e - 3);
    const int low = std::max(1000, static_cast<int>(std::ceil(lowest / scale)));
    const int high = std::min(9999, static_cast<int>(std::floor(highest / scale)));
    return FourDigits(*rc::gen::inRange(low, high + 1), e);
}

// A pH or a temperature as the editor's five places hold it.
std::string TwoDecimals(float value) {
    char text[8];
    std::snprintf(text, sizeof text, value < 0.0f ? "%06.2f" : "%05.2f", value);
    return text;
}

float Tenths(int low, int high) { return *rc::gen::inRange(low * 10, high * 10 + 1) / 10.0f; }

// The voltage of an electrode of slope fraction f and zero e0 in a solution of that pH at t.
float ElectrodeMv(float f, float e0, float ph, float t) { return e0 + f * (54.2f + 0.1984f * t) * (7.0f - ph); }

// What the sensor gives on channel A when it is not what is calibrated.
float RestingSignal(Kind kind) { return kind >= kO2High ? -70.0f : (kind >= kCond2 ? 1000.0f : 0.0f); }

// The pH of a buffer of the set (column counted from 1) at the nominal row, or at a row's
// temperature.
float BufferPh(uint8_t set, int column, int row) { return g_BufferSets[set].table[row][column] / 1000.0f; }

int RowAt(uint8_t set, float t) {
    const BufferSetDesc& d = g_BufferSets[set];
    for (int row = 0; row < d.rows; ++row) {
        if (d.table[row][0] == static_cast<int>(t)) return row;
    }
    return -1;
}

void GenPh(CalCase& c) {
    c.kind = *rc::gen::element(kPhOrp, kPhPna);
    c.type = static_cast<uint8_t>(*rc::gen::inRange(0, 3));
    // The sets channel A's page offers: set 10 belongs to a digital pH/pNa sensor.
    c.setting = static_cast<uint8_t>(*rc::gen::inRange(0, static_cast<int>(kBufferSetPna)));
    const float f = *rc::gen::inRange(920, 1021) / 1000.0f;
    const float e0 = Tenths(-20, 20);
    const BufferSetDesc& set = g_BufferSets[c.setting];
    const bool recognised = c.setting != kBufferSetNone && c.type != kProcess;
    // A recognised buffer at a temperature of its table's rows from 5 to 45 C, where every set
    // has its buffers (some only to 50 C, which the element may read a hair above); the electrode
    // reads its nominal pH there, so that the buffer is found.
    std::vector<int> rows;
    for (int row = 0; row < set.rows; ++row) {
        if (set.table[row][0] >= 5 && set.table[row][0] <= 45) rows.push_back(row);
    }
    for (int i = 0; i < 2; ++i) {
        CalPoint& p = c.point[i];
        p.prefix = kPrefixNone;
        float ph;
        if (recognised) {
            p.celsius = set.table[*rc::gen::elementOf(rows)][0];
            const int columns = set.columns - 1;
            int column = *rc::gen::inRange(1, columns + 1);
            if (i == 1 && column == c.point[0].buffer) column = column % columns + 1;
            p.buffer = static_cast<uint8_t>(column);
            ph = BufferPh(c.setting, column, set.nominalRow);
        } else {
            p.celsius = Tenths(0, 100);
            ph = *rc::gen::inRange(100, 1301) / 100.0f;
            // Two typed buffers at least 1.5 pH apart.
            const float other = i == 1 ? std::stof(c.point[0].text) : 99.0f;
            if (std::fabs(ph - other) < 1.5f) ph = ph > 7.0f ? ph - 5.0f : ph + 5.0f;
            p.text = TwoDecimals(ph);
        }
        p.input = ElectrodeMv(f, e0, ph, p.celsius);
    }
    if (c.type == kProcess) c.point[1].text.clear();
}

void GenOrp(CalCase& c) {
    c.kind = *rc::gen::element(kPhOrp, kPhPna);
    c.type = kOnePoint;
    for (CalPoint& p : c.point) {
        p.celsius = Tenths(0, 100);
        p.input = static_cast<float>(*rc::gen::inRange(-900, 901));
    }
    // Within the 1000 mV an offset may take, and within what the line shows.
    const int reference =
        std::max(-1400, std::min(1400, static_cast<int>(c.point[0].input) + *rc::gen::inRange(-999, 1000)));
    char text[8];
    std::snprintf(text, sizeof text, reference < 0 ? "-%04d" : "%05d", std::abs(reference));
    c.point[0].text = text;
    c.point[0].prefix = kPrefixNone;
}

// A conductivity (uS or mS/cm) or resistivity (ohm, K or Mohm-cm) reference with its prefix.
rc::Gen<CalPoint> GenCellReference(Cal cal) {
    return rc::gen::exec([cal] {
        CalPoint p{};
        if (cal == Cal::Conductivity) {
            p.prefix = *rc::gen::element(kPrefixMicro, kPrefixMilli);
            p.text = p.prefix == kPrefixMicro ? GenFourDigits(1, 9999) : GenFourDigits(1, 500);
        } else {
            p.prefix = *rc::gen::element(kPrefixUnits, kPrefixKilo, kPrefixMega);
            p.text = p.prefix == kPrefixUnits ? GenFourDigits(10, 9999)
                                              : (p.prefix == kPrefixKilo ? GenFourDigits(1, 999) : GenFourDigits(1, 9));
        }
        return p;
    });
}

float PrefixFactor(uint8_t prefix) {
    return prefix == kPrefixMicro   ? 1e-6f
           : prefix == kPrefixMilli ? 1e-3f
           : prefix == kPrefixKilo  ? 1e3f
           : prefix == kPrefixMega  ? 1e6f
                                    : 1.0f;
}

float ValueOf(const CalPoint& p) { return std::stof(p.text) * PrefixFactor(p.prefix); }

void GenCell(CalCase& c) {
    c.kind = *rc::gen::element(kCond2, kCond4);
    c.cal = *rc::gen::element(Cal::Conductivity, Cal::Resistivity);
    c.type = static_cast<uint8_t>(*rc::gen::inRange(0, 3));
    c.setting = static_cast<uint8_t>(*rc::gen::inRange(0, 11));
    for (CalPoint& p : c.point) {
        // "Std 75°C" refers to 75 C, where water alone conducts about 0.3 uS/cm: a purer reference
        // has no value at lower temperatures (the calibration refuses it).
        p = *rc::gen::suchThat(GenCellReference(c.cal),
                               [&c](const CalPoint& r) { return c.setting != kStd75 || r.prefix != kPrefixMega; });
        p.celsius = Tenths(0, 100);
        // A process reading is captured as the factory cell (0.1 /cm) reads it: no purer than
        // 1 Mohm-cm, which water itself conducts more than at some temperatures.
        p.input = std::stof(GenFourDigits(10, c.type == kProcess ? 99999 : 999999));
    }
    if (c.type == kTwoPoints) {
        // Two solutions at one temperature, a factor of 3 or more apart, the cell's ohms with them.
        const float first = ValueOf(c.point[0]);
        c.point[1] = *rc::gen::suchThat(GenCellReference(c.cal), [first, &c](const CalPoint& p) {
            const float ratio = ValueOf(p) / first;
            return (ratio >= 3.0f || ratio <= 1.0f / 3.0f) && (c.setting != kStd75 || p.prefix != kPrefixMega);
        });
        c.point[1].celsius = c.point[0].celsius;
        const float ratio = ValueOf(c.point[1]) / first;
        c.point[1].input = c.point[0].input * (c.cal == Cal::Resistivity ? ratio : 1.0f / ratio);
        // The cell's ohms kept from 10 to 1e7.
        const float smaller = std::min(c.point[0].input, c.point[1].input);
        const float larger = std::max(c.point[0].input, c.point[1].input);
        const float scale = smaller < 10.0f ? 10.0f / smaller : (larger > 1e7f ? 1e7f / larger : 1.0f);
        for (CalPoint& p : c.point) p.input *= scale;
    }
    if (c.type == kProcess) c.point[1].text.clear();
}

void GenOxygen(CalCase& c) {
    c.kind = *rc::gen::element(kO2High, kO2Low, kO2Trace);
    c.type = *rc::gen::element(kOnePoint, kProcess);
    c.option = static_cast<uint8_t>(*rc::gen::inRange(0, 2));
    // The units the point offers: "%O2" on "O2 hi" only; "%O2G" for a slope, "ppmO2G" for a zero.
    std::vector<uint8_t> units;
    for (uint8_t u = 0; u < 8; ++u) {
        if ((u == 3 && c.kind != kO2High) || (u == 2 && c.option == 0) || (u == 1 && c.option == 1)) continue;
        units.push_back(u);
    }
    c.setting = *rc::gen::elementOf(units);
    for (CalPoint& p : c.point) {
        p.celsius = Tenths(0, 60);
        p.input = c.option == 0 ? -Tenths(5, 500) : -Tenths(0, 2);
        p.prefix = kPrefixNone;
    }
    const O2Unit& u = kO2Units[c.setting];
    // A zero point takes the zero offered; under a hold the lab's zero is typed.
    c.point[0].text = c.option == 0 ? GenFourDigits(u.lowest, u.highest) : (c.type == kProcess ? "0.000" : "");
}

// The element by the temperature source chosen (its steps from "Auto"): a Pt1000 found by
// itself, an NTC of 22 kohm, a Pt1000 and a Pt100 chosen; the reference within 4 C of what the
// channel shows.
enum Element : uint8_t { kAutoPt1000, kNtc, kPt1000, kPt100 };

void GenTemperature(CalCase& c) {
    c.kind = static_cast<Kind>(*rc::gen::inRange(0, 7));
    c.type = *rc::gen::element(kOnePoint, kTwoPoints);
    c.option = c.type == kOnePoint ? static_cast<uint8_t>(*rc::gen::inRange(0, 2)) : 0;
    c.setting = *rc::gen::element<uint8_t>(kAutoPt1000, kNtc, kPt1000, kPt100);
    float t[2] = {Tenths(5, 75), Tenths(5, 75)};
    // Two points at least 10 C apart.
    if (std::fabs(t[1] - t[0]) < 10.0f) t[1] = t[0] < 40.0f ? t[0] + 20.0f : t[0] - 20.0f;
    for (int i = 0; i < 2; ++i) {
        CalPoint& p = c.point[i];
        p.celsius = *rc::gen::inRange(-400, 401) / 100.0f;
        p.prefix = kPrefixNone;
        if (c.setting == kNtc) {
            // 3 to 50 kohm, about 70 C down to 8 C; a second point at least 1.5 times the first.
            p.input = std::stof(GenFourDigits(3000, 50000));
            if (i == 1 && std::fabs(std::log(p.input / c.point[0].input)) < std::log(1.5f)) {
                p.input = c.point[0].input < 12000.0f ? c.point[0].input * 3.0f : c.point[0].input / 3.0f;
            }
        } else {
            p.input = Temp_RtdRatioFromTemp(t[i]) / (c.setting == kPt100 ? 10.0f : 1.0f);
        }
    }
}

// A case of the calibration (conductivity stands for both cell calibrations), saved as "Adjust" or
// else as "Calibrate" or "Abort".
rc::Gen<CalCase> GenCase(Cal cal, bool adjust) {
    return rc::gen::exec([cal, adjust] {
        static void (*const kGenerate[])(CalCase&) = {GenPh, GenOrp, GenCell, GenCell, GenOxygen, GenTemperature};
        CalCase c{};
        c.cal = cal;
        kGenerate[static_cast<int>(cal)](c);
        c.save = adjust ? 0 : static_cast<uint8_t>(*rc::gen::inRange(1, 3));
        return c;
    });
}

// ---- The walk by keys --------------------------------------------------------------------------

// The point's signal and temperature on the panel's inputs of channel A (a temperature
// calibration's point gives the element's ohms, the sensor rests).
void ApplyInputs(const CalCase& c, const CalPoint& p) {
    const bool temperature = c.cal == Cal::Temperature;
    Panel_SetSimInput(0, kSimElementOhm, temperature ? p.input : Temp_RtdRatioFromTemp(p.celsius));
    const uint32_t q = c.kind >= kO2High ? kSimSensorCurrent : (c.kind >= kCond2 ? kSimCondSignal : kSimElectrodeVolts);
    Panel_SetSimInput(0, q, temperature ? RestingSignal(c.kind) : p.input);
}

// The measurement line that shows what is calibrated, with its unit and prefix as the line setup
// names them (no unit: the kind's own).
struct LineUnit {
    uint32_t line;
    const char* unit;
    const char* prefix;
};

LineUnit LineOf(const CalCase& c) {
    switch (c.cal) {
        case Cal::Orp:
            return {0, "Volts", "Milli"};
        case Cal::Conductivity:
            return {0, "S/cm", "Milli"};
        case Cal::Resistivity:
            return {0, "Ω-cm", "Mega"};
        case Cal::Oxygen:
            return {0, kO2Units[c.setting].line, kO2Units[c.setting].prefix};
        case Cal::Temperature:
            return {1, "", ""};
        default:
            return {0, "", ""};
    }
}

// A fresh start at the first point's inputs; by keys the buffer set (while the channel is still
// pH/ORP), the kind with the line that shows what is calibrated, and for conductivity that
// line's compensation, the one the calibration is given.
void StartChannelA(const CalCase& c) {
    Rig_Reset(Rig_MakeTempFolder());
    ApplyInputs(c, c.point[0]);
    Rig_Boot();
    Rig_AdvanceMs(2000);
    g_SystemSettings.calUnlock = 0;
    if (c.cal == Cal::Ph && c.setting != 0) {
        OpenMenuPath({"Configure", "Measurement", "pH"});
        Press(kKeyCal);
        Step(c.setting);
        EnterAndSave();
    }
    if (c.cal == Cal::Temperature && c.setting != kAutoPt1000) {
        OpenMenuPath({"Configure", "Measurement", "Temperature Source"});
        Step(c.setting);
        EnterAndSave();
    }
    OpenMenuPath({"Configure", "Measurement", "Channel Setup"});
    Press(kKeyCal);
    Step(c.kind);
    ASSERT_EQ(Item(), std::string("Parameter = ") + kKindNames[c.kind]);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenLineSetup);
    const LineUnit u = LineOf(c);
    if (*u.unit != '\0') {
        const std::string unit = std::string("aA ") + u.unit + " ";
        ASSERT_TRUE(StepUntil([&] { return Starts(Row(11), unit); })) << unit << "not offered: " << Row(11);
        Press(kKeyCal);
        const std::string prefix = std::string("(") + u.prefix;
        ASSERT_TRUE(StepUntil([&] { return Row(11).find(prefix) != std::string::npos; }, 4)) << Row(11);
    }
    EnterAndSave();
    if (c.cal == Cal::Conductivity || c.cal == Cal::Resistivity) {
        OpenMenuPath({"Configure", "Measurement", "Resistivity"});
        Step(c.setting);
        ASSERT_EQ(Row(11), std::string("a Compensation=") + kCompensations[c.setting]);
        EnterAndSave();
    }
    Rig_AdvanceMs(20000);
}

struct Reference {
    float value;
    float tolerance;  // one unit of its last place as the editor shows it
};

Reference ReferenceOf(const std::string& text, uint8_t prefix) {
    const size_t dot = text.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
    return {std::stof(text) * PrefixFactor(prefix),
            static_cast<float>(std::pow(10.0, -decimals)) * PrefixFactor(prefix)};
}

// The number a row shows after its "=" (row 11: the point's reference, row 12: the reading), empty
// while it shows none.
std::string NumberShown(uint32_t r) {
    const std::string row = Row(r);
    const size_t at = row.find('=');
    if (at == std::string::npos) return "";
    const size_t from = row.find_first_not_of(' ', at + 1);
    if (from == std::string::npos) return "";
    const size_t to = row.find(' ', from);
    const std::string number = row.substr(from, to - from);
    float value;
    return LeadingNumber(number, &value) ? number : "";
}

// The unit after the editor's value on row 11 ("A Point1=100.0 %air  .." shows "%air").
std::string PointUnit() {
    std::istringstream words(Row(11));
    std::string word;
    while (words >> word && word.find('=') == std::string::npos) {}
    words >> word;
    return word;
}

void ChooseO2Unit(const CalCase& c) {
    const std::string unit = kO2Units[c.setting].item;
    ASSERT_TRUE(StepUntil([&] { return PointUnit() == unit; }, 9)) << unit << " not offered: " << Row(11);
}

void ChooseType(const CalCase& c) {
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage) << Row(11) << " | " << Row(12);
    const std::string type = std::string("Type = ") + kTypeWords[c.type];
    std::string full = type;
    if (c.cal == Cal::Oxygen) full += c.option ? " ZeroPt" : " Slope";
    if (c.cal == Cal::Temperature) full += c.option ? " Offset" : " Slope";
    ASSERT_TRUE(StepUntil([&] { return Starts(Item(), type); }, 4)) << Item();
    if (Item() != full) {
        Press(kKeyCal);
        ASSERT_TRUE(StepUntil([&] { return Item() == full; }, 3)) << Item();
    }
    Press(kKeyEnter);
}

// Point i in the editor: its reference typed, or the one offered read off row 11 until the point
// is taken; ENTER, except for a recognised buffer, which is taken once the reading is stable.
void TakePoint(const CalCase& c, int i, std::vector<Reference>* refs) {
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor) << Row(11) << " | " << Row(12);
    CalPoint p = c.point[i];
    if (c.cal == Cal::Oxygen) ChooseO2Unit(c);
    if (c.cal == Cal::Temperature) p.text = TwoDecimals(std::stof(NumberShown(12)) + p.celsius);
    if (!p.text.empty()) TypeValue(p.text, p.prefix);
    std::string offered = NumberShown(11);
    if (!(c.cal == Cal::Ph && p.text.empty())) Press(kKeyEnter);
    for (int s = 0; s < 400 && Menu_TopScreen() == kScreenNumericEditor && g_CalPoint == i; ++s) {
        const std::string shown = NumberShown(11);
        if (!shown.empty()) offered = shown;
        Rig_AdvanceMs(1000);
    }
    if (p.buffer != 0) {
        // A buffer is named by its nominal pH; the calibration takes its pH at the temperature.
        refs->push_back({BufferPh(c.setting, p.buffer, RowAt(c.setting, p.celsius)), 0.01f});
        return;
    }
    ASSERT_FALSE(offered.empty()) << "no reference offered";
    refs->push_back(p.text.empty() ? ReferenceOf(offered, kPrefixNone) : ReferenceOf(p.text, p.prefix));
}

// The reading captured (ENTER, the channel held), the process moved on to the second point's
// inputs, and later CAL: the lab's value typed over the captured reading.
void TakeProcessPoint(const CalCase& c, std::vector<Reference>* refs) {
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor) << Row(11) << " | " << Row(12);
    if (c.cal == Cal::Oxygen) ChooseO2Unit(c);
    Rig_AdvanceMs(5000);
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    ASSERT_EQ(Menu_IsChannelHeld(0), 1u);
    ApplyInputs(c, c.point[1]);
    Rig_AdvanceMs(30000);
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    TypeValue(c.point[0].text, c.point[0].prefix);
    refs->push_back(ReferenceOf(c.point[0].text, c.point[0].prefix));
    Press(kKeyEnter);
    WaitWhileOn(kScreenNumericEditor, 10);
}

// CAL to the case's calibration, through its pages to its points, and the points taken: the
// result screen is up. Returns the reference of each point.
std::vector<Reference> Calibrate(const CalCase& c) {
    std::vector<Reference> refs;
    OpenCalibration("Channel A", kCalNames[static_cast<int>(c.cal)]);
    if (c.cal == Cal::Conductivity || c.cal == Cal::Resistivity) {
        EXPECT_EQ(Menu_TopScreen(), kScreenCalCompensation);
        EXPECT_TRUE(StepUntil([&] { return Starts(Item(), kCompensations[c.setting]); }, 11)) << Item();
        Press(kKeyEnter);
    }
    if (c.cal != Cal::Orp) ChooseType(c);
    // Pressure and humidity as they stand, the polarization countdown, "Press ENTER when ...".
    for (int k = 0; k < 8 && Menu_TopScreen() != kScreenNumericEditor; ++k) {
        const uint8_t top = Menu_TopScreen();
        if (top == kScreenHoldCountdown) {
            WaitWhileOn(top, 130);
            continue;
        }
        EXPECT_TRUE(top == kScreenList || top == kScreenValuePage || top == kScreenParamPage)
            << Row(11) << " | " << Row(12);
        Press(kKeyEnter);
    }
    if (c.type == kProcess) {
        TakeProcessPoint(c, &refs);
        return refs;
    }
    // An NTC has an offset alone: its "2 point" calibration ends after the first.
    const bool twoPoints = c.type == kTwoPoints && !(c.cal == Cal::Temperature && c.setting == kNtc);
    for (int i = 0; i < (twoPoints ? 2 : 1); ++i) {
        if (i > 0) {
            // Into the second solution or buffer, or to the second temperature.
            ApplyInputs(c, c.point[i]);
            Rig_AdvanceMs(30000);
            if (Menu_TopScreen() == kScreenList) Press(kKeyEnter);
        }
        TakePoint(c, i, &refs);
    }
    return refs;
}

float Reading(const CalCase& c) {
    uint32_t status = 0;
    const float value = Meas_GetSlotValue(LineOf(c).line, &status);
    EXPECT_EQ(status, 0u) << Rig_BigLineText(LineOf(c).line);
    return value;
}

// The line's value for one of the reference's unit: the mV line reads volts, the oxygen lines
// grams per litre.
float ReadingScale(const CalCase& c) {
    if (c.cal == Cal::Orp) return 1e-3f;
    return c.cal == Cal::Oxygen ? kO2Units[c.setting].scale : 1.0f;
}

// After "Save Adjust" the channel reads each point's reference at that point's inputs.
void CheckCalibrationCloses(const CalCase& c) {
    StartChannelA(c);
    const std::vector<Reference> refs = Calibrate(c);
    SaveAs(0);
    for (size_t i = 0; i < refs.size(); ++i) {
        ApplyInputs(c, c.point[i]);
        Rig_AdvanceMs(30000);
        const float reading = Reading(c) / ReadingScale(c);
        EXPECT_NEAR(reading, refs[i].value, refs[i].tolerance) << "point " << i + 1;
    }
}

// "Save Calibrate" and "Abort" leave what is in use as it was.
void CheckNothingChangesInUse(const CalCase& c) {
    StartChannelA(c);
    const InUse before = ReadInUse();
    Calibrate(c);
    SaveAs(c.save);
    ApplyInputs(c, c.point[0]);
    Rig_AdvanceMs(30000);
    ExpectSameInUse(before, ReadInUse());
}

}  // namespace

RC_GTEST_PROP(CalibrationChannelA, PhAndPnaReadTheirBuffers, ()) { CheckCalibrationCloses(*GenCase(Cal::Ph, true)); }

RC_GTEST_PROP(CalibrationChannelA, OrpReadsItsReference, ()) { CheckCalibrationCloses(*GenCase(Cal::Orp, true)); }

RC_GTEST_PROP(CalibrationChannelA, CellReadsItsSolutionsInEveryCompensation, ()) {
    CheckCalibrationCloses(*GenCase(Cal::Conductivity, true));
}

RC_GTEST_PROP(CalibrationChannelA, OxygenReadsItsReferenceInEveryRangeAndUnit, ()) {
    CheckCalibrationCloses(*GenCase(Cal::Oxygen, true));
}

RC_GTEST_PROP(CalibrationChannelA, TemperatureReadsItsReference, ()) {
    CheckCalibrationCloses(*GenCase(Cal::Temperature, true));
}

RC_GTEST_PROP(CalibrationChannelA, CalibrateAndAbortChangeNothingInUse, ()) {
    const Cal cal = *rc::gen::element(Cal::Ph, Cal::Orp, Cal::Conductivity, Cal::Oxygen, Cal::Temperature);
    CheckNothingChangesInUse(*GenCase(cal, false));
}

// The counterexample and the smallest cases the properties shrank the faults they found to.
TEST(CalibrationChannelA, KeptCasesReadTheirReferences) {
    // clang-format off
    const CalCase cases[] = {
        // "Cation" and "Ammonia" away from 25 C: 1000 ohm at 50 C is the lab's 120.0 uS/cm.
        {kCond2, Cal::Conductivity, kOnePoint, 0, 7, {{1000, 50, "120.0", kPrefixMicro, 0}, {}}, 0},
        {kCond2, Cal::Conductivity, kOnePoint, 0, 9, {{1000, 50, "120.0", kPrefixMicro, 0}, {}}, 0},
        {kCond2, Cal::Conductivity, kOnePoint, 0, 7, {{10, 0, "1.000", kPrefixMilli, 0}, {}}, 0},
        // pH/pNa on channel A follows its electrode.
        {kPhPna, Cal::Ph, kOnePoint, 0, 0, {{265.826f, 40, "", kPrefixNone, 1}, {}}, 0},
        // A resistivity entered in Kohm-cm; two resistivities five decades apart.
        {kCond2, Cal::Resistivity, kOnePoint, 0, 0, {{10, 0, "1.000", kPrefixKilo, 0}, {}}, 0},
        {kCond4, Cal::Resistivity, kTwoPoints, 0, 0,
         {{1e6f, 0, "1.000", kPrefixMega, 0}, {10, 0, "10.00", kPrefixUnits, 0}}, 0},
        // A gas percentage at the zero it was calibrated at.
        {kO2High, Cal::Oxygen, kProcess, 1, 2, {{-0.3f, 46.5f, "0.000", kPrefixNone, 0}, {}}, 0},
    };
    // clang-format on
    for (const CalCase& c : cases) {
        std::ostringstream shown;
        showValue(c, shown);
        SCOPED_TRACE(shown.str());
        CheckCalibrationCloses(c);
    }
}

// A temperature calibration kept as "Calibrate" showed its slope and offset under INFO.
TEST(CalibrationChannelA, KeptCaseChangesNothingInUse) {
    CheckNothingChangesInUse(
        {kPhOrp, Cal::Temperature, kOnePoint, 0, kPt100, {{101.952f, -4, "", kPrefixNone, 0}, {}}, 1});
}
