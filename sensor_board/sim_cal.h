// The sensor board's calibration store: thirteen calibration kinds with points, computations,
// saves to the parameter file, factory copies and the normalised table.
#pragma once
#include <cstdint>

// Request 0x01: 1 accepted, 0 refused.
uint32_t SimCal_SetPoint(uint8_t point, uint8_t kind, float value);
// Request 0x02: 1 saved, 0 failed; mode 1 also writes the factory copy.
uint32_t SimCal_Save(uint8_t kind, uint8_t mode);
void SimCal_RestoreAllFactory();
void SimCal_WriteAllDefaults();
// Every kind from the parameter file, in the start-up order 7 and 8, 6, 5, 0 to 4, 10, 9, 11, 12.
void SimCal_LoadAll();
// Writes every default when the parameter file lacks its marker.
void SimCal_CheckMarker(uint32_t* status);
// Request 0x0C: the 27 values relative to their defaults, 108 bytes; 1 done.
uint32_t SimCal_ReadTable(uint8_t* payload);
