// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include "placeholders.h"

#include "measurement/calibration.h"

// ---- Calibration data sets ------------------------------------------------------------------
void Cal_ClearDataSetSensorFlag(uint32_t) {}

// ---- Power-on ---------------------------------------------------------------------------------
void Placeholders_ResetState() {}
