// Temperature compensation of conductivity.
#include "measurement/cond_comp.h"

#include <cmath>

// Mode -> compensation kind; the twelfth entry serves a stored mode byte of 11.
static const uint8_t kModeToKind[12] = {1, 0, 0, 2, 3, 5, 6, 7, 8, 9, 0, 0};
// Kind -> column of the compensation table (255: the kind reads no column).
static const uint8_t kKindToColumn[10] = {255, 0, 4, 5, 255, 2, 1, 255, 3, 255};

static constexpr float kTinyValue = 1e-29f;
static constexpr float kTinyOffset = 1e-10f;
static constexpr float kTableFirstTemp = -50.0f;
static constexpr float kTableLastTemp = 200.0f;
static constexpr float kTableStep = 5.0f;
static constexpr int32_t kTableRows = 51;
static constexpr uint32_t kTableColumns = 6;

struct CompPair {
    float factor;  // A
    float offset;  // B, S/cm
};

// Compensation table: rows -50 C to 200 C in 5 C steps; per column the pair (A, B) that refers
// a conductivity r measured at T to the column's reference temperature as r x A + B.
// Columns: 0 "Standard" (25 C), 1 "Glycol1", 2 "Glycol.5", 3 "Alcohol", 4 "Light 84" (25 C),
// 5 "Std 75@C" (75 C).
//
// Columns 0, 4, 5, trace NaCl in ultrapure water. The water's own conductivity kw(T) and the
// salt's are compensated apart: A = L(Tr) / L(T) with L the limiting molar conductivity of NaCl,
// and B = kw(Tr) - A x kw(T).
// - L: 66.97, 126.45, 197.72 and 361.85 S cm2/mol at 0, 25, 50 and 100 C, close to the ionic
//   conductances of R. A. Robinson, R. H. Stokes, Electrolyte Solutions, 2nd ed. (1959),
//   appendix 6.2 (67.5, 126.45, ~197.7, 357); between and beyond these points by the Walden
//   product L x eta, with the viscosity eta of water from the IAPWS 2008 formulation (IAPWS
//   R12-08; below 0 C a Vogel-Fulcher-Tammann continuation fitted to it at 0 to 50 C), the
//   product continued linearly in T past 0 C and 100 C. The curve meets Robinson & Stokes at 5,
//   15, 18, 35, 45 and 55 C within 0.2 %.
// - kw: sqrt(Kw) x (lambda H+ + lambda OH-), with the ion product and ion conductances of the
//   cation formula below (below 0 C: Kw by van 't Hoff from its 0..5 C slope, conductances by
//   Walden), scaled to 0.0550055 uS/cm (18.18 Mohm x cm) at 25 C, the pure-water value of
//   T. S. Light, S. L. Licht, Anal. Chem. 59 (1987) 2327, which also gives the 86.19, 5.85 and
//   2.48 Mohm x cm behind B at 0, 50 and (column 5) 75 C.
// - Column 4 is column 0 referred so that pure water reads 18.24 Mohm x cm at 25 C, the value of
//   T. S. Light, Anal. Chem. 56 (1984) 1138: B less 1.88e-10 S/cm throughout.
// - Column 5 refers to 75 C: A = L(75) / L(T), B = kw(75) - A x kw(T).
// Columns 1 to 3, a salt in an organic solvent: by Walden's rule A = eta(T) / eta(25 C), B = 0.
// - Column 1, ethylene glycol: eta 16.06, 6.554, 3.340, 1.975 mPa s at 25, 50, 75, 100 C
//   (CRC Handbook of Chemistry and Physics, "Viscosity of liquids").
// - Column 3, ethanol: eta 3.262, 1.786, 1.074, 0.694, 0.476 mPa s at -25, 0, 25, 50, 75 C (same
//   source).
// - Column 2, 50 % (by volume) glycol in water: eta by Arrhenius's mixing rule,
//   ln eta = 0.5 ln eta(water) + 0.5 ln eta(glycol) (S. Arrhenius, Z. Phys. Chem. 1 (1887) 285).
// Each viscosity curve is a Vogel-Fulcher-Tammann fit, ln eta = a + b / (T - c), through its
// points; rows where the liquid freezes or boils carry the curve's continuation.
static const CompPair kCompTable[kTableRows][kTableColumns] = {
    {{34.1412f, 5.40584e-08f},
     {489.964f, 0.0f},
     {143.386f, 0.0f},
     {6.26407f, 0.0f},
     {34.1412f, 5.38704e-08f},
     {75.1647f, 4.01349e-07f}},  // -50 C
    {{20.899f, 5.36334e-08f},
     {227.594f, 0.0f},
     {76.0321f, 0.0f},
     {5.35854f, 0.0f},
     {20.899f, 5.34454e-08f},
     {46.0109f, 4.00413e-07f}},  // -45 C
    {{13.709f, 5.30456e-08f},
     {115.496f, 0.0f},
     {43.5952f, 0.0f},
     {4.61171f, 0.0f},
     {13.709f, 5.28576e-08f},
     {30.1816f, 3.99119e-07f}},  // -40 C
    {{9.51077f, 5.22434e-08f},
     {63.1099f, 0.0f},
     {26.6616f, 0.0f},
     {3.99167f, 0.0f},
     {9.51077f, 5.20554e-08f},
     {20.9387f, 3.97353e-07f}},  // -35 C
    {{6.90851f, 5.11622e-08f},
     {36.7088f, 0.0f},
     {17.2074f, 0.0f},
     {3.47364f, 0.0f},
     {6.90851f, 5.09742e-08f},
     {15.2096f, 3.94972e-07f}},  // -30 C
    {{5.21329f, 4.97224e-08f},
     {22.5207f, 0.0f},
     {11.6216f, 0.0f},
     {3.03826f, 0.0f},
     {5.21329f, 4.95344e-08f},
     {11.4775f, 3.91803e-07f}},  // -25 C
    {{4.06166f, 4.7827e-08f},
     {14.4638f, 0.0f},
     {8.15855f, 0.0f},
     {2.67028f, 0.0f},
     {4.06166f, 4.7639e-08f},
     {8.94207f, 3.8763e-07f}},  // -20 C
    {{3.25086f, 4.53595e-08f},
     {9.66484f, 0.0f},
     {5.9208f, 0.0f},
     {2.35758f, 0.0f},
     {3.25086f, 4.51715e-08f},
     {7.15704f, 3.82197e-07f}},  // -15 C
    {{2.66219f, 4.21811e-08f},
     {6.68516f, 0.0f},
     {4.42205f, 0.0f},
     {2.09052f, 0.0f},
     {2.66219f, 4.19931e-08f},
     {5.86103f, 3.752e-07f}},  // -10 C
    {{2.22321f, 3.81288e-08f},
     {4.76631f, 0.0f},
     {3.38635f, 0.0f},
     {1.86133f, 0.0f},
     {2.22321f, 3.79409e-08f},
     {4.89458f, 3.66279e-07f}},  // -5 C
    {{1.8881f, 3.31e-08f},
     {3.49019f, 0.0f},
     {2.65072f, 0.0f},
     {1.66373f, 0.0f},
     {1.8881f, 3.2912e-08f},
     {4.1568f, 3.55017e-07f}},  // 0 C
    {{1.62294f, 2.8106e-08f},
     {2.61693f, 0.0f},
     {2.11279f, 0.0f},
     {1.49262f, 0.0f},
     {1.62294f, 2.7918e-08f},
     {3.57304f, 3.44212e-07f}},  // 5 C
    {{1.41531f, 2.2333e-08f},
     {2.00393f, 0.0f},
     {1.71473f, 0.0f},
     {1.34383f, 0.0f},
     {1.41531f, 2.2145e-08f},
     {3.11593f, 3.31503e-07f}},  // 10 C
    {{1.24896f, 1.57243e-08f},
     {1.5637f, 0.0f},
     {1.41373f, 0.0f},
     {1.21394f, 0.0f},
     {1.24896f, 1.55363e-08f},
     {2.74968f, 3.16953e-07f}},  // 15 C
    {{1.11301f, 8.28306e-09f},
     {1.24099f, 0.0f},
     {1.18176f, 0.0f},
     {1.10011f, 0.0f},
     {1.11301f, 8.09506e-09f},
     {2.45038f, 3.00571e-07f}},                                                                              // 20 C
    {{1.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, -1.88e-10f}, {2.20158f, 2.81846e-07f}},  // 25 C
    {{0.904672f, -9.13343e-09f},
     {0.816988f, 0.0f},
     {0.855454f, 0.0f},
     {0.911644f, 0.0f},
     {0.904672f, -9.32143e-09f},
     {1.99171f, 2.62227e-07f}},  // 30 C
    {{0.823356f, -1.91249e-08f},
     {0.675865f, 0.0f},
     {0.738979f, 0.0f},
     {0.833406f, 0.0f},
     {0.823356f, -1.93129e-08f},
     {1.81268f, 2.4023e-07f}},  // 35 C
    {{0.753351f, -2.99732e-08f},
     {0.565515f, 0.0f},
     {0.644003f, 0.0f},
     {0.763906f, 0.0f},
     {0.753351f, -3.01612e-08f},
     {1.65856f, 2.16347e-07f}},  // 40 C
    {{0.692604f, -4.16655e-08f},
     {0.478121f, 0.0f},
     {0.565728f, 0.0f},
     {0.70198f, 0.0f},
     {0.692604f, -4.18535e-08f},
     {1.52482f, 1.90605e-07f}},  // 45 C
    {{0.63953f, -5.427e-08f},
     {0.408091f, 0.0f},
     {0.500587f, 0.0f},
     {0.646643f, 0.0f},
     {0.63953f, -5.4458e-08f},
     {1.40798f, 1.63055e-07f}},  // 50 C
    {{0.592893f, -6.74857e-08f},
     {0.351368f, 0.0f},
     {0.445896f, 0.0f},
     {0.597054f, 0.0f},
     {0.592893f, -6.76737e-08f},
     {1.3053f, 1.3376e-07f}},  // 55 C
    {{0.551741f, -8.15608e-08f},
     {0.304963f, 0.0f},
     {0.399607f, 0.0f},
     {0.552497f, 0.0f},
     {0.551741f, -8.17488e-08f},
     {1.2147f, 1.02772e-07f}},  // 60 C
    {{0.51531f, -9.63852e-08f},
     {0.266651f, 0.0f},
     {0.360136f, 0.0f},
     {0.512359f, 0.0f},
     {0.51531f, -9.65732e-08f},
     {1.1345f, 7.01351e-08f}},  // 65 C
    {{0.482974f, -1.11946e-07f},
     {0.234748f, 0.0f},
     {0.326248f, 0.0f},
     {0.476111f, 0.0f},
     {0.482974f, -1.12134e-07f},
     {1.06331f, 3.58759e-08f}},  // 70 C
    {{0.454219f, -1.28242e-07f},
     {0.207972f, 0.0f},
     {0.296969f, 0.0f},
     {0.443298f, 0.0f},
     {0.454219f, -1.2843e-07f},
     {1.0f, 0.0f}},  // 75 C
    {{0.428596f, -1.45273e-07f},
     {0.185332f, 0.0f},
     {0.271524f, 0.0f},
     {0.413526f, 0.0f},
     {0.428596f, -1.45461e-07f},
     {0.943589f, -3.74961e-08f}},  // 80 C
    {{0.405662f, -1.63018e-07f},
     {0.166059f, 0.0f},
     {0.249289f, 0.0f},
     {0.386454f, 0.0f},
     {0.405662f, -1.63206e-07f},
     {0.893097f, -7.65618e-08f}},  // 85 C
    {{0.385032f, -1.81444e-07f},
     {0.149546f, 0.0f},
     {0.229759f, 0.0f},
     {0.361785f, 0.0f},
     {0.385032f, -1.81632e-07f},
     {0.847679f, -1.17129e-07f}},  // 90 C
    {{0.366385f, -2.00523e-07f},
     {0.135313f, 0.0f},
     {0.212525f, 0.0f},
     {0.33926f, 0.0f},
     {0.366385f, -2.00711e-07f},
     {0.806625f, -1.59132e-07f}},  // 95 C
    {{0.34945f, -2.20223e-07f},
     {0.122976f, 0.0f},
     {0.197248f, 0.0f},
     {0.318651f, 0.0f},
     {0.34945f, -2.20411e-07f},
     {0.769342f, -2.02504e-07f}},  // 100 C
    {{0.33401f, -2.40527e-07f},
     {0.112225f, 0.0f},
     {0.18365f, 0.0f},
     {0.299759f, 0.0f},
     {0.33401f, -2.40715e-07f},
     {0.73535f, -2.47204e-07f}},  // 105 C
    {{0.319887f, -2.61426e-07f},
     {0.102811f, 0.0f},
     {0.171498f, 0.0f},
     {0.28241f, 0.0f},
     {0.319887f, -2.61614e-07f},
     {0.704256f, -2.93215e-07f}},  // 110 C
    {{0.306935f, -2.82928e-07f},
     {0.0945292f, 0.0f},
     {0.160598f, 0.0f},
     {0.266449f, 0.0f},
     {0.306935f, -2.83116e-07f},
     {0.675743f, -3.40553e-07f}},  // 115 C
    {{0.29503f, -3.05049e-07f},
     {0.0872106f, 0.0f},
     {0.150786f, 0.0f},
     {0.251741f, 0.0f},
     {0.29503f, -3.05237e-07f},
     {0.649533f, -3.89256e-07f}},  // 120 C
    {{0.284063f, -3.27815e-07f},
     {0.0807166f, 0.0f},
     {0.141924f, 0.0f},
     {0.238163f, 0.0f},
     {0.284063f, -3.28003e-07f},
     {0.625388f, -4.39376e-07f}},  // 125 C
    {{0.273938f, -3.51258e-07f},
     {0.0749317f, 0.0f},
     {0.133894f, 0.0f},
     {0.22561f, 0.0f},
     {0.273938f, -3.51446e-07f},
     {0.603096f, -4.90988e-07f}},  // 130 C
    {{0.264572f, -3.7542e-07f},
     {0.0697593f, 0.0f},
     {0.126597f, 0.0f},
     {0.213986f, 0.0f},
     {0.264572f, -3.75608e-07f},
     {0.582476f, -5.44182e-07f}},  // 135 C
    {{0.25589f, -4.00349e-07f},
     {0.0651184f, 0.0f},
     {0.119947f, 0.0f},
     {0.203206f, 0.0f},
     {0.25589f, -4.00537e-07f},
     {0.563363f, -5.99065e-07f}},  // 140 C
    {{0.247829f, -4.26099e-07f},
     {0.0609405f, 0.0f},
     {0.11387f, 0.0f},
     {0.193194f, 0.0f},
     {0.247829f, -4.26287e-07f},
     {0.545615f, -6.55757e-07f}},  // 145 C
    {{0.24033f, -4.52731e-07f},
     {0.0571674f, 0.0f},
     {0.108302f, 0.0f},
     {0.183882f, 0.0f},
     {0.24033f, -4.52919e-07f},
     {0.529105f, -7.14389e-07f}},  // 150 C
    {{0.233341f, -4.80306e-07f},
     {0.0537498f, 0.0f},
     {0.103188f, 0.0f},
     {0.17521f, 0.0f},
     {0.233341f, -4.80494e-07f},
     {0.51372f, -7.75098e-07f}},  // 155 C
    {{0.226818f, -5.08887e-07f},
     {0.0506452f, 0.0f},
     {0.0984785f, 0.0f},
     {0.167124f, 0.0f},
     {0.226818f, -5.09075e-07f},
     {0.499358f, -8.38021e-07f}},  // 160 C
    {{0.220719f, -5.38533e-07f},
     {0.0478174f, 0.0f},
     {0.0941328f, 0.0f},
     {0.159573f, 0.0f},
     {0.220719f, -5.38721e-07f},
     {0.485931f, -9.03288e-07f}},  // 165 C
    {{0.215007f, -5.69294e-07f},
     {0.045235f, 0.0f},
     {0.0901134f, 0.0f},
     {0.152514f, 0.0f},
     {0.215007f, -5.69482e-07f},
     {0.473356f, -9.71012e-07f}},  // 170 C
    {{0.20965f, -6.0121e-07f},
     {0.0428709f, 0.0f},
     {0.0863881f, 0.0f},
     {0.145906f, 0.0f},
     {0.20965f, -6.01398e-07f},
     {0.461561f, -1.04128e-06f}},  // 175 C
    {{0.204617f, -6.34297e-07f},
     {0.0407015f, 0.0f},
     {0.0829281f, 0.0f},
     {0.139715f, 0.0f},
     {0.204617f, -6.34485e-07f},
     {0.450481f, -1.11412e-06f}},  // 180 C
    {{0.199881f, -6.68546e-07f},
     {0.0387063f, 0.0f},
     {0.0797082f, 0.0f},
     {0.133906f, 0.0f},
     {0.199881f, -6.68734e-07f},
     {0.440055f, -1.18952e-06f}},  // 185 C
    {{0.195418f, -7.03906e-07f},
     {0.0368674f, 0.0f},
     {0.076706f, 0.0f},
     {0.12845f, 0.0f},
     {0.195418f, -7.04094e-07f},
     {0.430229f, -1.26737e-06f}},  // 190 C
    {{0.191206f, -7.40275e-07f},
     {0.035169f, 0.0f},
     {0.0739015f, 0.0f},
     {0.12332f, 0.0f},
     {0.191206f, -7.40463e-07f},
     {0.420955f, -1.34744e-06f}},  // 195 C
    {{0.187224f, -7.77482e-07f},
     {0.0335973f, 0.0f},
     {0.0712769f, 0.0f},
     {0.118493f, 0.0f},
     {0.187224f, -7.7767e-07f},
     {0.412188f, -1.42935e-06f}},  // 200 C
};

// Polynomials in T (degrees C), constant term first, shared by the cation and ammonia formulas:
// limiting ionic conductances of H+, OH- and Cl- (S cm2/mol) and the ion product of water
// (mol2/L2).
static const float kPolyH[6] = {225.04228f, 5.0491605f, -0.00022965357f, -0.00013643055f, 4.9647446e-07f, 4.25222e-12f};
static const float kPolyOh[6] = {118.35151f, 3.0281765f, 0.011607769f, -0.00014898917f, 6.478147e-07f, 2.014006e-10f};
static const float kPolyCl[6] = {41.052982f, 1.2316835f, 0.010244507f, -0.00015944264f, 1.8999451e-06f, -8.616337e-09f};
static const float kPolyKw[7] = {1.1561089e-15f, 1.1318482e-16f, 5.2969933e-18f, 1.3230161e-19f,
                                 1.0798414e-21f, 3.6979868e-23f, -1.5658486e-25f};
// Base-10 dissociation exponent of ammonia, pKb(T).
static const float kPolyPkb[4] = {4.869f, -0.007583333f, 0.0001186f, -4.186667e-07f};

// Conductivity at 25 C (S/cm) of the acid concentration c (mol/L), k3 c^3 + k2 c^2 + k1 c + k0,
// by the range that holds c.
struct CationPiece {
    float upTo;  // the piece serves c up to this bound
    float k[4];  // k0 .. k3
};
static const CationPiece kCationPieces[4] = {
    {3e-7f, {5.5128663e-08f, 0.1518236f, 716789.9f, -7.668338e+11f}},
    {1.2e-6f, {3.425333e-08f, 0.347509f, 74466.805f, -2.4931496e+10f}},
    {4e-6f, {1.0561571e-08f, 0.41857645f, 1936.5688f, -1.8778013e+08f}},  // below 4e-6
    {INFINITY, {1.0723e-09f, 0.42553994f, 0.0f, 0.0f}},
};

// Conductivity at 25 C (S/cm) of the total ammonia c (mol/L) up to 0.03 mol/L, k0 .. k6; each
// range is open below and closed above.
struct AmmoniaPiece {
    float upTo;
    float k[7];
};
static const AmmoniaPiece kAmmoniaPieces[7] = {
    {2.5e-7f, {5.51613e-08f, -0.003736988f, 743484.2f, -8.977706e+11f, 0.0f, 0.0f, 0.0f}},
    {7e-7f, {4.316636e-08f, 0.1370457f, 175963.2f, -9.739047e+10f, 0.0f, 0.0f, 0.0f}},
    {1.5e-5f, {1.44756e-08f, 0.260155f, -10010.1f, 4.22396e+08f, -8.7462e+12f, 0.0f, 0.0f}},
    {1.6e-4f, {4.96144e-07f, 0.163697f, -1500.75f, 1.14032e+07f, -4.68096e+10f, 7.68206e+13f, 0.0f}},
    {6e-4f, {2.54383e-06f, 0.085664f, -216.607f, 514311.0f, -7.93753e+08f, 6.90219e+11f, -2.55551e+14f}},
    {0.008f, {9.650404e-06f, 0.03241171f, -10.31747f, 2731.885f, -428534.3f, 3.515488e+07f, -1.154854e+09f}},
    {0.03f, {1.9e-05f, 0.0178039f, -1.6247841f, 118.49207f, -5025.5356f, 110832.65f, -980542.0f}},
};
// Above 0.03 mol/L: k25 = b x c^e.
static constexpr float kAmmoniaPowerSplit = 1.0f;
static constexpr float kAmmoniaExpLow = 0.5030023f;
static constexpr float kAmmoniaCoefLow = 0.001152058f;
static constexpr float kAmmoniaExpHigh = 0.5002207f;
static constexpr float kAmmoniaCoefHigh = 0.001152542f;
// Limiting conductance of NH4+ at 25 C (S cm2/mol) and its temperature coefficient (1/K).
static constexpr float kNh4Conductance25 = 73.5f;
static constexpr float kNh4TempCoefficient = 0.02f;
static constexpr float kLn10 = 2.302585093f;

// Temperature corrections of the oxygen sensor's current, polynomials in T - 25, constant term
// first: A for the amperometric kinds, B for the kind shown as "ppmO2 G".
static const float kCurrentPolyA[6] = {1.0f, 0.024974f, 2.2807940e-4f, 7.850421e-7f, -3.2245900e-10f, -5.1545920e-12f};
static const float kCurrentPolyB[6] = {1.0f,          0.027918719f,   3.0045610e-4f,
                                       1.4842640e-6f, -2.1038324e-9f, -3.8656548e-12f};
static constexpr float kCurrentPolyCentre = 25.0f;

static float Horner(const float* coef, uint32_t count, float x) {
    float r = 0.0f;
    for (uint32_t i = count; i > 0; --i) r = r * x + coef[i - 1];
    return r;
}

// A resistivity from the conductivity of the same solution at 25 C.
static float ResistivityFrom25(float k25) { return k25 > 0.0f ? 1.0f / k25 : k25; }

uint32_t CalCond_GetCompKind(uint32_t mode) { return mode < 12 ? kModeToKind[mode] : 0; }

float CalCond_GetLinearFactor(uint32_t mode, float coefficient, float t) {
    const float reference = mode == kCompModeLinear25 ? 25.0f : 20.0f;
    return (t - reference) * coefficient + 1.0f;
}

float CalCond_Reciprocal(float x, uint32_t* status) {
    if (std::fabs(x) < kTinyValue) x = kTinyValue;
    const float result = 1.0f / x;
    if (!std::isfinite(result)) *status = 2;
    return result;
}

float CalCond_TempCompensate(uint32_t direction, float p, float t, uint32_t kind) {
    if (kind > 9) return p;
    if (kind == kCompKindCation) return CalCond_CationCompensate(p, t);
    if (kind == kCompKindAmmonia) return CalCond_AmmoniaCompensate(p, t);
    const uint8_t column = kKindToColumn[kind];
    if (column == 255) return p;
    if (!(t >= kTableFirstTemp && t <= kTableLastTemp) || !std::isfinite(p) || p == 0.0f) return kCompOverRange;
    float r = 1.0f / p;
    const int32_t row = static_cast<int32_t>(std::floor(t / kTableStep)) + 10;
    const CompPair& low = kCompTable[row][column];
    // At 200 C exactly the last row stands alone.
    const CompPair& high = row + 1 < kTableRows ? kCompTable[row + 1][column] : low;
    const float q = (t - kTableFirstTemp - kTableStep * static_cast<float>(row)) / kTableStep;
    const float a = low.factor - (low.factor - high.factor) * q;
    float b = low.offset - (low.offset - high.offset) * q;
    if (std::fabs(b) < kTinyOffset) b = 0.0f;
    if (direction == kCompToReferenceTemp) {
        r = r * a + b;
    } else if (a > 0.0f) {
        r = (r - b) / a;
    }
    if (r == 0.0f) return kCompOverRange;
    const float result = 1.0f / r;
    return result > 0.0f && std::isfinite(result) ? result : kCompOverRange;
}

// Conductivity in mS/cm of resistivity p; 0 for none.
static float ConductivityMs(float p) { return p > 0.0f ? 1000.0f / p : 0.0f; }

float CalCond_CationCompensate(float p, float t) {
    if (!std::isfinite(t) || std::isnan(p)) return kCompOverRange;
    const float g = ConductivityMs(p);
    const float lh = Horner(kPolyH, 6, t);
    const float loh = Horner(kPolyOh, 6, t);
    const float lcl = Horner(kPolyCl, 6, t);
    const float kw = Horner(kPolyKw, 7, t);
    const float d = g * g - 4.0f * (lh + lcl) * kw * (loh - lcl);
    if (d < 0.0f || lh + lcl < kTinyValue) return kCompOverRange;
    // Hydrogen ions, then the acid they come with (mol/L).
    const float h = (std::sqrt(d) + g) / (2.0f * (lh + lcl));
    const float c = h == 0.0f ? h : h - kw / h;
    uint32_t i = 0;
    while (c > kCationPieces[i].upTo) ++i;
    // The third range ends below 4e-6, the last begins there.
    if (i == 2 && c >= 4e-6f) i = 3;
    return ResistivityFrom25(Horner(kCationPieces[i].k, 4, c));
}

float CalCond_AmmoniaCompensate(float p, float t) {
    if (!std::isfinite(t) || std::isnan(p)) return kCompOverRange;
    const float g = ConductivityMs(p);
    const float lh = Horner(kPolyH, 6, t);
    const float loh = Horner(kPolyOh, 6, t);
    const float kw = Horner(kPolyKw, 7, t);
    const float kb = std::exp(-Horner(kPolyPkb, 4, t) * kLn10);
    const float lnh4 = ((t - 25.0f) * kNh4TempCoefficient + 1.0f) * kNh4Conductance25;
    const float d = g * g - 4.0f * (loh + lnh4) * kw * (lh - lnh4);
    if (d < 0.0f || loh + lnh4 < kTinyValue) return kCompOverRange;
    // Hydroxide ions, ammonium ions, free ammonia, total ammonia (mol/L).
    const float y = (std::sqrt(d) + g) / (2.0f * (loh + lnh4));
    if (!(y > 0.0f)) return kCompOverRange;
    const float n = y - kw / y;
    const float a = n * y / kb;
    float c = n + a;
    if (c < 0.0f) c = 0.0f;
    float k25;
    if (c <= kAmmoniaPieces[6].upTo) {
        uint32_t i = 0;
        while (c > kAmmoniaPieces[i].upTo) ++i;
        k25 = Horner(kAmmoniaPieces[i].k, 7, c);
    } else if (c <= kAmmoniaPowerSplit) {
        k25 = kAmmoniaCoefLow * std::pow(c, kAmmoniaExpLow);
    } else {
        k25 = kAmmoniaCoefHigh * std::pow(c, kAmmoniaExpHigh);
    }
    return ResistivityFrom25(k25);
}

// The formulas give the conductivity at 25 C of a solution from its conductivity at t, and rise
// with it. Their inverse is found by halving a bracket of conductivities at t on a logarithmic
// scale, from below what water conducts to above any solution measured: sixty halvings narrow
// its ten decades to far below a float's resolution.
static constexpr double kInverseLowest = 1e-12;  // S/cm
static constexpr double kInverseHighest = 10.0;  // S/cm
static constexpr int kInverseHalvings = 60;

float CalCond_FormulaToTemp(uint32_t kind, float p25, float t) {
    if (!(p25 > 0.0f) || !std::isfinite(p25) || !std::isfinite(t)) return kCompOverRange;
    const float k25 = 1.0f / p25;
    // Conductivity at 25 C of the solution that conducts g at t; 0 where water alone conducts more.
    auto at25 = [kind, t](double g) {
        const float p = CalCond_TempCompensate(kCompToReferenceTemp, static_cast<float>(1.0 / g), t, kind);
        return p < kCompOverRange ? 1.0f / p : 0.0f;
    };
    double low = std::log(kInverseLowest);
    double high = std::log(kInverseHighest);
    if (at25(std::exp(low)) > k25 || at25(std::exp(high)) < k25) return kCompOverRange;
    for (int i = 0; i < kInverseHalvings; ++i) {
        const double middle = 0.5 * (low + high);
        if (at25(std::exp(middle)) < k25) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return static_cast<float>(1.0 / std::exp(0.5 * (low + high)));
}

float CalCond_CompensateAtTemp(uint32_t mode, float coefficient, float value, float t, uint32_t* status) {
    if (value <= kTinyValue) return value;
    float result;
    if (mode == kCompModeLinear25 || mode == kCompModeLinear20) {
        result = value * CalCond_GetLinearFactor(mode, coefficient, t);
    } else {
        result = CalCond_TempCompensate(kCompToReferenceTemp, value, t, CalCond_GetCompKind(mode));
        if (result > kCompLimit) result = kCompLimit;
    }
    if (!std::isfinite(result)) {
        *status = 2;
        return 0.0f;
    }
    return result < kTinyValue ? 0.0f : result;
}

static float DivideByPoly(const float* poly, float value, float t, uint32_t* status) {
    float p = Horner(poly, 6, t - kCurrentPolyCentre);
    if (std::fabs(p) < kTinyValue) {
        *status = 2;
        p = kTinyValue;
    }
    return value / p;
}

float CalCond_DivideByPolyA(float value, float t, uint32_t* status) {
    return DivideByPoly(kCurrentPolyA, value, t, status);
}

float CalCond_DivideByPolyB(float value, float t, uint32_t* status) {
    return DivideByPoly(kCurrentPolyB, value, t, status);
}
