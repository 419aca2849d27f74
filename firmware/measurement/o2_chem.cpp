// Oxygen chemistry of the amperometric sensor.
#include "measurement/o2_chem.h"

#include <cmath>

#include "measurement/meas.h"

// Oxygen solubility in fresh water (mg/L) and its salinity term, polynomials in T (degrees C),
// constant term first.
static const float kSolubilityPoly[6] = {14.646009f,     -0.41022721f,  0.0085384939f,
                                         -1.1381568e-4f, 8.2611939e-7f, -2.7825549e-9f};
static const float kSalinityPoly[7] = {0.087336294f,  -0.0030706192f,  7.9616642e-5f, -1.6465789e-6f,
                                       2.2618890e-8f, -1.6436710e-10f, 4.6887011e-13f};

// Oxygen concentration (mg/L) of fresh water in equilibrium with water-saturated air at
// 1013.25 mbar, -10 .. 80 C in 1 C steps.
// - 0 .. 40 C: B. B. Benson, D. Krause, Limnol. Oceanogr. 29 (1984) 620, in the form of APHA
//   Standard Methods 4500-O (ln C = -139.34411 + 1.575701e5 / T - 6.642308e7 / T^2
//   + 1.243800e10 / T^3 - 8.621949e11 / T^4, T in K); these are the values tabulated in
//   ISO 5814.
// - 41 .. 80 C, past that equation's range: Henry's law with the Henry constant of O2 of the
//   IAPWS guideline (2004) on Henry's constants at high temperatures, oxygen partial pressure
//   0.20946 x (1013.25 mbar - water vapour pressure), the factor joining it to the values at
//   40 C (0.989) and 80 C (1.020, 2.88 mg/L) varying linearly between.
// - -10 .. -1 C, supercooled water: the Benson & Krause equation continued, with a factor
//   running linearly from 1 at 0 C to 0.990 at -10 C (19.72 mg/L).
static const float kSaturationTable[91] = {
    19.72f, 19.09f, 18.50f, 17.93f, 17.38f, 16.87f, 16.37f, 15.91f, 15.46f, 15.03f,  // -10 C .. -1 C
    14.62f, 14.22f, 13.83f, 13.46f, 13.11f, 12.77f, 12.45f, 12.14f, 11.84f, 11.56f,  // 0 C .. 9 C
    11.29f, 11.03f, 10.78f, 10.54f, 10.31f, 10.08f, 9.87f,  9.66f,  9.47f,  9.28f,   // 10 C .. 19 C
    9.09f,  8.92f,  8.74f,  8.58f,  8.42f,  8.26f,  8.11f,  7.97f,  7.83f,  7.69f,   // 20 C .. 29 C
    7.56f,  7.43f,  7.30f,  7.18f,  7.06f,  6.95f,  6.84f,  6.73f,  6.62f,  6.52f,   // 30 C .. 39 C
    6.41f,  6.32f,  6.22f,  6.13f,  6.04f,  5.95f,  5.86f,  5.78f,  5.69f,  5.61f,   // 40 C .. 49 C
    5.52f,  5.44f,  5.36f,  5.27f,  5.19f,  5.11f,  5.03f,  4.95f,  4.87f,  4.79f,   // 50 C .. 59 C
    4.71f,  4.63f,  4.54f,  4.46f,  4.38f,  4.29f,  4.21f,  4.12f,  4.04f,  3.95f,   // 60 C .. 69 C
    3.86f,  3.77f,  3.68f,  3.59f,  3.49f,  3.40f,  3.30f,  3.20f,  3.09f,  2.99f,   // 70 C .. 79 C
    2.88f,                                                                           // 80 C
};
static constexpr float kSaturationFirstTemp = -10.0f;
static constexpr uint32_t kSaturationCount = 91;

// Nominal sensor currents at air of the measuring kinds, over N.
static constexpr float kNominalHigh = 70000.0f;
static constexpr float kNominalTrace = 4000000.0f;
static constexpr float kNominalOther = 350000.0f;

static float Horner(const float* coef, uint32_t count, float x) {
    float r = 0.0f;
    for (uint32_t i = count; i > 0; --i) r = r * x + coef[i - 1];
    return r;
}

float CalO2_GetSolubility(float t, float salinity) {
    return Horner(kSolubilityPoly, 6, t) - salinity * Horner(kSalinityPoly, 7, t);
}

float CalO2_GetSaturationConc(float t) {
    if (std::isnan(t)) return t;
    // The first entry at or above t, interpolated from the one before.
    if (t <= kSaturationFirstTemp) return kSaturationTable[0];
    const float last = kSaturationFirstTemp + static_cast<float>(kSaturationCount - 1);
    if (t >= last) return kSaturationTable[kSaturationCount - 1];
    uint32_t j = static_cast<uint32_t>(std::ceil(t - kSaturationFirstTemp));
    const float previous = kSaturationFirstTemp + static_cast<float>(j - 1);
    return (t - previous) * (kSaturationTable[j] - kSaturationTable[j - 1]) + kSaturationTable[j - 1];
}

float CalO2_GetNominalSlope(uint32_t kind) {
    const float n = (kO2StdPressure - kO2StdVapour * 1.0f) * kO2AirFraction;
    if (kind == kKindO2High) return kNominalHigh / n;
    if (kind == kKindO2Trace) return kNominalTrace / n;
    return kNominalOther / n;
}

static float CheckLowerLimit(float value, float lowest, float upper, uint32_t* status) {
    if (std::isnan(value)) {
        *status = 2;
        return 0.0f;
    }
    if (value < lowest) {
        *status = 3;
        return value;
    }
    if (value < 0.0f) return 0.0f;
    if (value > upper) *status = 2;
    return value;
}

float CalO2_CheckLowerLimitA(float value, float upper, uint32_t* status) {
    return CheckLowerLimit(value, -0.25f, upper * 100.0f, status);
}

float CalO2_CheckLowerLimitB(float value, float upper, uint32_t* status) {
    return CheckLowerLimit(value, -0.025f, upper, status);
}
