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
