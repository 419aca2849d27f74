// Fuzz target for the panel's input fields: any text typed into any field, with channel A's kind
// and channel B's sensor model setting what the primary rows feed and in which unit the fourth row
// counts, then a spin step on the same field. Nothing may crash; a text the field refuses leaves
// the value in use and the field's text in use as they were; a text it takes becomes the text in
// use (a number beyond the store's limits: the value used, a text the field takes as it is) and
// gives a finite value within the store's limits, the same value every time it is taken; a spin
// step leaves a text the field takes and a finite value.
//
// Input: a field byte (taken modulo the number of fields), a set-up byte (low four bits channel
// A's configured kind, high four bits channel B's model in the list, 14 and 15 no sensor), a spin
// byte (bit 0: down, else up), then the text, up to the end of the input or its first zero byte.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "panel/inputs.h"
#include "sim/sim_inputs.h"

namespace {
constexpr size_t kTextMax = 256;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fields_fuzz: %s\n", what);
    std::abort();
}

// The value a field feeds, as its row keeps it.
float FieldValue(uint32_t field) { return Panel_GetSimInput(Panel_FieldChannel(field), Panel_FieldQuantity(field)); }

void CheckWithinLimits(uint32_t field) {
    float value = FieldValue(field);
    Check(std::isfinite(value), "a value in use that is no finite number");
    uint32_t q = Panel_FieldQuantity(field);
    if (q == kSimElectrodeVolts) Check(std::fabs(value) <= 2.5f, "an electrode potential beyond 2.5 V");
    if (q == kSimAnalogInput) Check(value >= 0.0f && value <= 23.0f, "an analog input beyond 0 to 23 mA");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    uint32_t field = data[0] % kInputFields;
    uint32_t kindA = data[1] & 0x0F;
    int32_t modelB = data[1] >> 4;
    int32_t delta = (data[2] & 1) != 0 ? 1 : -1;
    std::string text;
    for (size_t i = 3; i < size && text.size() < kTextMax && data[i] != 0; ++i) text += static_cast<char>(data[i]);

    // The panel as it opens, with the set-up chosen.
    Panel_ResetSimInputs();
    Panel_ResetInputs();
    Panel_ChooseSensorB(modelB);
    Panel_SetPrimaryQuantity(0, Panel_KindRow(kindA).primaryQuantity);
    for (uint32_t f = 0; f < kInputFields; ++f) {
        Check(Panel_EnterFieldText(f, Panel_FieldDefaultText(f)), "a default text refused");
    }

    float parsed = 0.0f;
    if (Panel_TryParseValueText(text.c_str(), &parsed)) Check(std::isfinite(parsed), "a parsed text not finite");

    uint32_t before = std::bit_cast<uint32_t>(FieldValue(field));
    std::string textBefore = Panel_FieldTextInUse(field);
    uint32_t entry = Panel_TakeFieldText(field, text.c_str());
    if (entry != kFieldRefused) {
        if (entry == kFieldTaken) {
            Check(Panel_FieldTextInUse(field) == text, "a taken text is not the text in use");
        } else {
            // A limited number: the text in use is the value used, which is taken as it is.
            uint32_t used = std::bit_cast<uint32_t>(FieldValue(field));
            std::string inUse = Panel_FieldTextInUse(field);
            Check(Panel_TakeFieldText(field, inUse.c_str()) == kFieldTaken,
                  "the value used is no text the field takes");
            Check(std::bit_cast<uint32_t>(FieldValue(field)) == used, "the value used shown gives another value");
        }
        CheckWithinLimits(field);
        uint32_t taken = std::bit_cast<uint32_t>(FieldValue(field));
        Panel_RetakeFieldTexts();
        Check(std::bit_cast<uint32_t>(FieldValue(field)) == taken, "the same text taken again gives another value");
    } else {
        Check(!text.empty(), "an empty text refused");
        Check(std::bit_cast<uint32_t>(FieldValue(field)) == before, "a refused text changed the value in use");
        Check(Panel_FieldTextInUse(field) == textBefore, "a refused text changed the text in use");
    }

    std::string stepped = Panel_StepField(field, delta);
    Check(Panel_FieldTextInUse(field) == stepped, "a spin step's text is not the text in use");
    CheckWithinLimits(field);
    float value = 0.0f;
    Check(stepped.empty() || Panel_TryParseValueText(stepped.c_str(), &value), "a spin step wrote no number");
    return 0;
}
