// Plug-and-measure of the digital sensor on channel B.
#pragma once
#include <cstdint>

void Vdx_InitPlugMachine();
void Vdx_ReportAutoclaveSave();
