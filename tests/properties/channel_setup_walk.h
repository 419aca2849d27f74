// Shared steps of the properties that set a channel up by keys: a start with channel A's kind
// chosen on "Channel Setup", or with a digital sensor model taken over on channel B, then the
// measurement lines stepped on the line set-up and "Save Changes".
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include <rapidcheck.h>

#include "../digital_sensor/plug_support.h"
#include "../ui/ui_support.h"
#include "core/fmt.h"
#include "core/settings.h"
#include "measurement/slots.h"
#include "sim/sim_inputs.h"

namespace walk {

// A choice in [min, max) taken evenly whatever the size of the case (RapidCheck's inRange keeps
// small cases near min); it still shrinks towards min.
template <typename T>
rc::Gen<T> AnyOf(T min, T max) {
    return rc::gen::resize(100, rc::gen::inRange<T>(min, max));
}

// The kinds "Channel Setup" offers for channel A, in the order UP steps from "pH/ORP", and
// their names there.
constexpr uint8_t kAnalogKinds[] = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr size_t kAnalogKindCount = sizeof kAnalogKinds;
constexpr const char* kAnalogKindNames[] = {"pH/ORP", "pH/pNa", "Cond(2)",  "Cond(4)",
                                            "O2 hi",  "O2 lo",  "O2 Trace", "ppmO2 G"};

// The digital sensors the panel offers, with their files and sensor codes.
struct Model {
    const char* name;
    const char* file;
    uint8_t code;
};
constexpr Model kModels[] = {
    {"SelvoP11", "PH_SelvoP11_0.txt", 1}, {"SelvoN11", "pNa_SelvoN11_0.txt", 2}, {"SelvoK11", "COND_SelvoK11_0.txt", 4},
    {"SelvoD11", "DO_SelvoD11_0.txt", 5}, {"SelvoD12", "DO_SelvoD12_0.txt", 6},  {"SelvoD13", "DO_SelvoD13_0.txt", 7},
    {"SelvoD14", "DO_SelvoD14_0.txt", 8}, {"SelvoQ11", "OPT_SelvoQ11_0.txt", 9}, {"SelvoC11", "CO2_SelvoC11_0.txt", 10},
};
constexpr size_t kModelCount = sizeof kModels / sizeof kModels[0];

// A fresh start with channel A shown (no sensor on channel B).
inline void BootOnA() {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    Rig_AdvanceMs(1100);
}

// Configure, Measurement, "Channel Setup".
inline void OpenChannelSetup() {
    ui_test::Press(kKeyMenu);
    ASSERT_TRUE(ui_test::Choose("Configure"));
    ASSERT_TRUE(ui_test::Choose("Measurement"));
    ASSERT_TRUE(ui_test::Choose("Channel Setup"));
    ui_test::Press(kKeyCal);
}

// "Channel Setup" stepped to channel A's kind and left by ENTER on the field into the line
// set-up (nothing saved yet).
inline void ChooseAnalogKind(uint8_t kind) {
    OpenChannelSetup();
    ui_test::Step(kind - kAnalogKinds[0]);
    ASSERT_EQ(ui_test::Item(), std::string("Parameter = ") + kAnalogKindNames[kind - kAnalogKinds[0]]);
    ui_test::Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenLineSetup);
}

// A fresh start, then "Channel Select= VDX" on "Channel Setup" and "Save Changes"; the sensor's
// temperature 25 C.
inline void BootOnB() {
    BootOnA();
    ui_test::Press(kKeyMenu);
    ASSERT_TRUE(ui_test::Choose("Configure"));
    ASSERT_TRUE(ui_test::Choose("Measurement"));
    ASSERT_TRUE(ui_test::Choose("Channel Setup"));
    ui_test::Press(kKeyUp);
    ASSERT_EQ(ui_test::Row(11), "Channel Select= VDX");
    ui_test::EnterAndSave();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
}

// The model plugged and taken over by plug-and-measure, which saves what it sets up.
inline void TakeOver(const Model& model) {
    plug_test::Plug(model.file, model.code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 60000));
    ASSERT_LT(g_SensorKindActive[1], kKindNoSensor);
}

// "Channel Setup" left unchanged by ENTER into the line set-up.
inline void OpenLineSetup() {
    OpenChannelSetup();
    ui_test::Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenLineSetup);
}

// On the line set-up of lines a and b: each line's measurement stepped UP that often, then its
// resolution; ENTER to lines c and d, ENTER, and "Save Changes Yes & Exit".
inline void StepLinesAndSave(const uint8_t unitSteps[2], const uint8_t resolutionSteps[2]) {
    for (int line = 0; line < 2; ++line) {
        if (line == 1) ui_test::Press(kKeyCal);
        ui_test::Step(unitSteps[line]);
        ui_test::Press(kKeyCal);
        ui_test::Step(resolutionSteps[line]);
    }
    ui_test::EnterAndSave();
}

// Configure, Display, "Measurement": display line i shows measurement line i + shift[i] (counted
// round a to d), then "Save Changes".
inline void ShowLinesAndSave(const uint8_t shift[4]) {
    ui_test::Press(kKeyMenu);
    ASSERT_TRUE(ui_test::Choose("Configure"));
    ASSERT_TRUE(ui_test::Choose("Display"));
    ASSERT_TRUE(ui_test::Choose("Measurement"));
    ASSERT_EQ(ui_test::Row(11).substr(0, 8), "Line 1 =");
    for (int line = 0; line < 4; ++line) {
        if (line > 0) ui_test::Press(kKeyCal);
        ui_test::Step(shift[line]);
    }
    ui_test::EnterAndSave();
}

// A value as the characters of a field of that width (a sign among them), as many decimals as fit.
inline std::string Fit(float value, int width) {
    char text[32];
    for (int decimals = width - 2; decimals >= 0; --decimals) {
        int n = std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (n == width) return text;
        if (n < width && decimals == 0) {
            std::string digits = text;
            bool negative = digits[0] == '-';
            if (negative) digits.erase(0, 1);
            digits.insert(0, static_cast<size_t>(width - n), '0');
            return negative ? "-" + digits : digits;
        }
    }
    return std::string(static_cast<size_t>(width), '9');
}

// Lets the readings settle: the value of the slot the same over two seconds, at most a minute.
inline void Settle(uint32_t slot) {
    uint32_t status = 0;
    float last = Meas_GetSlotValue(slot, &status);
    for (int i = 0; i < 30; ++i) {
        Rig_AdvanceMs(2000);
        float now = Meas_GetSlotValue(slot, &status);
        if (now == last) break;
        last = now;
    }
}

}  // namespace walk
