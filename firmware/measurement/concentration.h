// Concentration and dissolved-solids curves from a conductivity (S/cm) and a temperature.
#pragma once
#include <cstdint>

float Conc_FromCondUnit2(float k, float t, uint32_t* status);
float Conc_FromCondUnit3(float k, float t, uint32_t* status);
float Conc_FromCondUnit4(float k, float t, uint32_t* status);
float Conc_FromCondUnit5(float k, float t, uint32_t* status);
float Conc_FromCondUnit6(float k, float t, uint32_t* status);
float Conc_FromCondUnit7(float k, float t, uint32_t* status);
float Conc_FromCondUnit8(float k, float t, uint32_t* status);
float Conc_GetTdsUnit9(float k, float t, uint32_t* status);
float Conc_GetTdsUnit10(float k, float t, uint32_t* status);

constexpr uint32_t kConcNameSize = 8;
// The user table's 7-character name and an ending zero.
void Conc_GetTableName(char* text);
// The user concentration table as a settings module.
void Conc_SetUserTableDefaults(uint32_t* status);
void Conc_LoadUserTable(uint32_t* status);
void Conc_CopyUserTableToWork();
void Conc_CommitUserTable(uint32_t* status);

// The user concentration table: conductivities (S/cm) at up to five temperatures (rows) and five
// concentrations (columns), and the name shown as its unit.
constexpr uint32_t kConcPoints = 5;
struct ConcUserTable {
    uint8_t tempCount;
    uint8_t concCount;
    char name[kConcNameSize];
    float temp[kConcPoints];
    float conc[kConcPoints];
    float cond[kConcPoints][kConcPoints];
};
// The edit copy the value pages change, and the pages' place in it: the temperature row and the
// pair of entries shown.
extern ConcUserTable g_ConcWork;
extern uint8_t g_ConcEditRow;
extern uint8_t g_ConcEditColumn;
// Checks of the edit copy: temperature n above the one before, concentrations rising, the first
// row's conductivities running one way, a row running the way of the first.
uint32_t Conc_CheckTempIncreasing(uint32_t n);
uint32_t Conc_CheckConcIncreasing();
uint32_t Conc_CheckCondMonotonic();
uint32_t Conc_CheckRowFollowsT1(uint32_t row);
// Where the pages stand: the last temperature row, the last pair of concentrations (odd half) or
// of conductivities (even half), the end of an entry of value page item.
uint32_t Conc_IsLastTemperatureReached();
uint32_t Conc_IsOddHalfReached();
uint32_t Conc_IsEvenHalfReached();
uint32_t Conc_IsTableEntryDone(uint32_t item);
// A value in the prefix that shows it best: 2 micro, 1 milli, 0 none (a negative value counts as 0).
float Unit_AutoPrefix(float value, uint8_t* prefix);
