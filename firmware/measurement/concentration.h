// The user concentration table: conductivities measured at up to five concentrations and five
// temperatures, with a name shown as the unit; it turns a conductivity into a concentration
// (conductivity unit 2). A settings module with an edit copy and the checks the value pages make
// while the table is entered. The built-in curves are in conc_curves.h.
#pragma once
#include <cstdint>

struct StoreMap;

// The settings-store ranges of the table.
extern const StoreMap g_ConcStoreMap;

constexpr uint32_t kConcPoints = 5;
constexpr uint32_t kConcPointsMin = 2;
// The name: 7 characters and an ending zero.
constexpr uint32_t kConcNameChars = 7;
constexpr uint32_t kConcNameSize = 8;

struct ConcTable {
    uint8_t temperatureCount;    // 2..5
    uint8_t concentrationCount;  // 2..5
    char name[kConcNameSize];
    float temperatures[kConcPoints];                 // degrees C, rising
    float concentrations[kConcPoints];               // rising
    float conductivities[kConcPoints][kConcPoints];  // [temperature point][concentration point], S/cm
};
// The edit copy and where the editor stands in it.
struct ConcTableEdit {
    ConcTable table;
    uint8_t temperatureIndex;
    uint8_t rowIndex;
    uint8_t columnIndex;
};
extern ConcTable g_ConcTable;
extern ConcTableEdit g_ConcTableEdit;

// Both at their defaults; nothing read from the store.
void Conc_ResetState();

// ---- Settings module --------------------------------------------------------------------------------
// Defaults (counts 2, name "%Conc.", all values 0.0) into the table, then stored.
void Conc_SetUserTableDefaults(uint32_t* status);
// Reads the table; a count outside 2..5 reads as 2; an unreadable table is replaced by the
// defaults, which are stored.
void Conc_LoadUserTable(uint32_t* status);
void Conc_StoreUserTable(uint32_t* status);
void Conc_CopyUserTableToWork();
// The edit copy into the table, stored whole when it changed.
void Conc_CommitUserTable(uint32_t* status);
// The table's name and an ending zero.
void Conc_GetTableName(char* text);

// ---- The concentration ------------------------------------------------------------------------------
// Concentration at conductivity k (S/cm) and temperature t: status 3 below the table's
// temperatures or conductivities, 2 above them or for a degenerate table; result 0.0 then.
float Conc_FromCondUnit2(float k, float t, uint32_t* status);

// ---- Checks of the edit copy --------------------------------------------------------------------------
// Temperature n exceeds temperature n - 1 by more than 0.0001.
bool Conc_CheckTempIncreasing(uint32_t n);
// Every concentration exceeds the one before by more than 0.0001.
bool Conc_CheckConcIncreasing();
// The first temperature row rises or falls throughout (equal neighbours after its first step pass).
bool Conc_CheckCondMonotonic();
// The row runs strictly in the direction of the first row.
bool Conc_CheckRowFollowsT1(uint32_t row);
// Navigation of the entry pages.
bool Conc_IsLastTemperatureReached();
bool Conc_IsOddHalfReached();
bool Conc_IsEvenHalfReached();
// The entry of the value-page item is complete (items 45, 47 and 49).
bool Conc_IsTableEntryDone(uint32_t item);
