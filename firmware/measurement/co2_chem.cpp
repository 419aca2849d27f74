// Carbonic-acid chemistry of the dissolved-CO2 sensor.
#include "measurement/co2_chem.h"

#include <cmath>

// Water vapour pressure (mbar) as a polynomial in x = T - 20, constant term first.
static const float kVapourPoly[6] = {23.373f, 1.4478f, 0.039262f, 5.9652e-4f, 5.3782e-6f, 3.042e-8f};
static constexpr float kVapourPolyCentre = 20.0f;

// CO2 solubility at 0, 5, .., 60 C; the fourteenth entry closes the last interval.
static const float kCo2Solubility[14] = {0.07189f, 0.05932f, 0.05043f, 0.04336f, 0.03668f, 0.03186f, 0.02820f,
                                         0.02532f, 0.02234f, 0.02116f, 0.01820f, 0.01716f, 0.01489f, 0.0f};
static constexpr float kSolubilityStep = 5.0f;
static constexpr float kSolubilityHigh = 60.00001f;

static constexpr float kKelvinOffset = 273.15f;
static constexpr float kLn10 = 2.302585093f;

float CalPh_GetWaterVapourPressure(float t) {
    const float x = t - kVapourPolyCentre;
    float r = 0.0f;
    for (uint32_t i = 6; i > 0; --i) r = r * x + kVapourPoly[i - 1];
    return r;
}

float CalPh_GetCarbonicK1(float t, float s) {
    const float tk = t + kKelvinOffset;
    const float pk1 = 3404.71f / tk - 14.8435f + 0.032786f * tk + (-14.3456f / tk - 0.0230848f) * std::sqrt(s) +
                      (0.429955f / tk + 0.000691881f) * s;
    return std::exp(-pk1 * kLn10);
}

float CalPh_GetCo2Solubility(float t, uint32_t* status) {
    *status = 0;
    if (std::isnan(t) || t >= kSolubilityHigh) {
        *status = 2;
        return 0.0f;
    }
    if (t < 0.0f) {
        *status = 3;
        return 0.0f;
    }
    const uint32_t i = static_cast<uint32_t>(t / kSolubilityStep);
    return kCo2Solubility[i] + (kCo2Solubility[i + 1] - kCo2Solubility[i]) *
                                   (t - kSolubilityStep * static_cast<float>(i)) / kSolubilityStep;
}
