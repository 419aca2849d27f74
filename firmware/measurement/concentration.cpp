// The user concentration table.
#include "measurement/concentration.h"

#include <cmath>
#include <cstring>

#include "core/eeprom.h"
#include "measurement/meas.h"

// Settings store places: the counts, the name, the temperatures and concentrations, and the
// conductivity rows, the first three in one run and the last two in another.
static constexpr uint32_t kStoreTemperatureCount = 1602;
static constexpr uint32_t kStoreConcentrationCount = 1603;
static constexpr uint32_t kStoreName = 1720;
static constexpr uint32_t kStoreTemperatures = 1000;    // + 4 x point
static constexpr uint32_t kStoreConcentrations = 1700;  // + 4 x point
static constexpr uint32_t kStoreRowsLow = 1604;         // + 20 x row + 4 x column, rows 0..2
static constexpr uint32_t kStoreRowsHigh = 896;         // + 20 x (row - 3) + 4 x column, rows 3..4
static constexpr uint32_t kRowsInLowRun = 3;
static constexpr uint32_t kRowBytes = 4 * kConcPoints;
static constexpr StoreRange kStoreRanges[] = {
    {kStoreRowsHigh, 2 * kRowBytes}, {kStoreTemperatures, kRowBytes},   {kStoreTemperatureCount, 2},
    {kStoreRowsLow, 3 * kRowBytes},  {kStoreConcentrations, kRowBytes}, {kStoreName, kConcNameChars},
};
const StoreMap g_ConcStoreMap = {"concentration table", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

static const char kDefaultName[kConcNameSize] = "%Conc.";

// Steps of the table that count as equal.
static constexpr float kTemperatureSame = 0.001f;
static constexpr float kTiny = 1e-9f;
static constexpr float kIncreaseMin = 0.0001f;
static constexpr float kCondStepMin = 1e-10f;
// Value-page items whose entry may end the table.
static constexpr uint32_t kItemTemperatures = 45;
static constexpr uint32_t kItemOddColumns = 47;
static constexpr uint32_t kItemEvenColumns = 49;

ConcTable g_ConcTable;
ConcTableEdit g_ConcTableEdit;

static uint32_t RowOffset(uint32_t row, uint32_t column) {
    return row < kRowsInLowRun ? kStoreRowsLow + kRowBytes * row + 4 * column
                               : kStoreRowsHigh + kRowBytes * (row - kRowsInLowRun) + 4 * column;
}

static void Defaults(ConcTable* table) {
    std::memset(table, 0, sizeof *table);
    table->temperatureCount = kConcPointsMin;
    table->concentrationCount = kConcPointsMin;
    std::memcpy(table->name, kDefaultName, kConcNameSize);
}

static bool CountValid(uint8_t count) { return count >= kConcPointsMin && count <= kConcPoints; }

void Conc_ResetState() {
    Defaults(&g_ConcTable);
    g_ConcTableEdit = ConcTableEdit{};
    Defaults(&g_ConcTableEdit.table);
}

// ---- Settings module --------------------------------------------------------------------------------

void Conc_SetUserTableDefaults(uint32_t* status) {
    Defaults(&g_ConcTable);
    Conc_StoreUserTable(status);
}

void Conc_StoreUserTable(uint32_t* status) {
    const ConcTable& t = g_ConcTable;
    uint32_t result = 0, step = 0;
    Eeprom_WriteChecked(kStoreTemperatureCount, &t.temperatureCount, 1, &step);
    Eeprom_Chain(&result, step);
    Eeprom_WriteChecked(kStoreConcentrationCount, &t.concentrationCount, 1, &step);
    Eeprom_Chain(&result, step);
    Eeprom_WriteChecked(kStoreName, t.name, kConcNameChars, &step);
    Eeprom_Chain(&result, step);
    for (uint32_t i = 0; i < kConcPoints; ++i) {
        Eeprom_WriteFloat(kStoreTemperatures + 4 * i, t.temperatures[i], &step);
        Eeprom_Chain(&result, step);
        Eeprom_WriteFloat(kStoreConcentrations + 4 * i, t.concentrations[i], &step);
        Eeprom_Chain(&result, step);
        for (uint32_t column = 0; column < kConcPoints; ++column) {
            Eeprom_WriteFloat(RowOffset(i, column), t.conductivities[i][column], &step);
            Eeprom_Chain(&result, step);
        }
    }
    *status = result;
}

void Conc_LoadUserTable(uint32_t* status) {
    ConcTable t;
    Defaults(&t);
    bool failed = false;
    uint32_t step = 0;
    auto read = [&](uint32_t offset, void* buffer, uint32_t n) {
        Eeprom_Read(offset, buffer, n, &step);
        if (step != 0) failed = true;
    };
    auto readFloat = [&](uint32_t offset, float* value) {
        Eeprom_ReadFloat(offset, value, &step);
        if (step != 0) failed = true;
    };
    read(kStoreTemperatureCount, &t.temperatureCount, 1);
    read(kStoreConcentrationCount, &t.concentrationCount, 1);
    read(kStoreName, t.name, kConcNameChars);
    for (uint32_t i = 0; i < kConcPoints; ++i) {
        readFloat(kStoreTemperatures + 4 * i, &t.temperatures[i]);
        readFloat(kStoreConcentrations + 4 * i, &t.concentrations[i]);
        for (uint32_t column = 0; column < kConcPoints; ++column)
            readFloat(RowOffset(i, column), &t.conductivities[i][column]);
    }
    if (failed) {
        Conc_SetUserTableDefaults(status);
        return;
    }
    if (!CountValid(t.temperatureCount)) t.temperatureCount = kConcPointsMin;
    if (!CountValid(t.concentrationCount)) t.concentrationCount = kConcPointsMin;
    // The store holds seven characters; the name shown as the unit ends after them whatever they are.
    t.name[kConcNameChars] = '\0';
    g_ConcTable = t;
    *status = 0;
}

void Conc_CopyUserTableToWork() { g_ConcTableEdit.table = g_ConcTable; }

void Conc_CommitUserTable(uint32_t* status) {
    *status = 0;
    ConcTable edited = g_ConcTableEdit.table;
    edited.name[kConcNameChars] = '\0';
    // An unchanged table is not written again.
    if (std::memcmp(&edited, &g_ConcTable, sizeof edited) == 0) return;
    g_ConcTable = edited;
    Conc_StoreUserTable(status);
}

void Conc_GetTableName(char* text) {
    std::memcpy(text, g_ConcTable.name, kConcNameChars);
    text[kConcNameChars] = '\0';
}

// ---- The concentration ------------------------------------------------------------------------------

float Conc_FromCondUnit2(float k, float t, uint32_t* status) {
    *status = 0;
    const ConcTable& table = g_ConcTable;
    uint32_t nT = table.temperatureCount;
    uint32_t nC = table.concentrationCount;
    const float* temps = table.temperatures;
    if (!CountValid(table.temperatureCount) || !CountValid(table.concentrationCount) || std::isnan(k) ||
        !(std::fabs(temps[0] - temps[1]) >= kTemperatureSame)) {
        *status = kStatusOver;
        return 0.0f;
    }
    if (t < temps[0]) {
        *status = kStatusUnder;
        return 0.0f;
    }
    if (!(t <= temps[nT - 1])) {
        *status = kStatusOver;
        return 0.0f;
    }
    uint32_t j = 0;
    while (j < nT - 2 && !(temps[j] <= t && t <= temps[j + 1])) ++j;
    float dt = temps[j + 1] - temps[j];
    if (!(std::fabs(dt) >= kTiny)) {
        *status = kStatusOver;
        return 0.0f;
    }
    // The conductivity of each concentration at t.
    float cond[kConcPoints];
    for (uint32_t m = 0; m < nC; ++m) {
        float low = table.conductivities[j][m];
        cond[m] = low + (t - temps[j]) * (table.conductivities[j + 1][m] - low) / dt;
    }
    uint32_t m = 1;
    while (m < nC && !((cond[m - 1] <= k && k <= cond[m]) || (cond[m] <= k && k <= cond[m - 1]))) ++m;
    if (m == nC) {
        bool rising = cond[0] <= cond[nC - 1];
        *status = (rising ? k < cond[0] : k > cond[0]) ? kStatusUnder : kStatusOver;
        return 0.0f;
    }
    float dk = cond[m] - cond[m - 1];
    if (!(std::fabs(dk) >= kTiny)) {
        *status = kStatusOver;
        return 0.0f;
    }
    const float* conc = table.concentrations;
    float result = conc[m - 1] + (k - cond[m - 1]) * (conc[m] - conc[m - 1]) / dk;
    return result < 0.0f ? 0.0f : result;
}

// ---- Checks of the edit copy --------------------------------------------------------------------------

bool Conc_CheckTempIncreasing(uint32_t n) {
    if (n == 0) return true;
    if (n >= kConcPoints) return false;
    const float* temps = g_ConcTableEdit.table.temperatures;
    return temps[n] - temps[n - 1] > kIncreaseMin;
}

bool Conc_CheckConcIncreasing() {
    const ConcTable& t = g_ConcTableEdit.table;
    uint32_t n = CountValid(t.concentrationCount) ? t.concentrationCount : kConcPointsMin;
    for (uint32_t m = 1; m < n; ++m) {
        if (!(t.concentrations[m] - t.concentrations[m - 1] > kIncreaseMin)) return false;
    }
    return true;
}

static uint32_t EditColumns() {
    uint8_t n = g_ConcTableEdit.table.concentrationCount;
    return CountValid(n) ? n : kConcPointsMin;
}

bool Conc_CheckCondMonotonic() {
    const float* e = g_ConcTableEdit.table.conductivities[0];
    uint32_t n = EditColumns();
    bool rising = e[1] - e[0] > kCondStepMin;
    if (!rising && !(e[0] - e[1] > kCondStepMin)) return false;
    for (uint32_t m = 2; m < n; ++m) {
        float back = rising ? e[m - 1] - e[m] : e[m] - e[m - 1];
        if (back > kCondStepMin) return false;
    }
    return true;
}

bool Conc_CheckRowFollowsT1(uint32_t row) {
    if (row >= kConcPoints) return false;
    const float* e = g_ConcTableEdit.table.conductivities[0];
    const float* r = g_ConcTableEdit.table.conductivities[row];
    uint32_t n = EditColumns();
    bool rising = e[1] - e[0] > kCondStepMin;
    for (uint32_t m = 1; m < n; ++m) {
        float step = rising ? r[m] - r[m - 1] : r[m - 1] - r[m];
        if (!(step > kCondStepMin)) return false;
    }
    return true;
}

bool Conc_IsLastTemperatureReached() {
    return g_ConcTableEdit.temperatureIndex + 1 >= g_ConcTableEdit.table.temperatureCount;
}

bool Conc_IsOddHalfReached() { return g_ConcTableEdit.rowIndex >= (g_ConcTableEdit.table.concentrationCount - 1) / 2; }

bool Conc_IsEvenHalfReached() {
    return g_ConcTableEdit.columnIndex + 1 >= g_ConcTableEdit.table.concentrationCount / 2;
}

bool Conc_IsTableEntryDone(uint32_t item) {
    bool odd = g_ConcTableEdit.table.concentrationCount % 2 == 1;
    switch (item) {
        case kItemTemperatures:
            return true;
        case kItemOddColumns:
            return odd && Conc_IsOddHalfReached();
        case kItemEvenColumns:
            return !odd && Conc_IsEvenHalfReached();
        default:
            return false;
    }
}
