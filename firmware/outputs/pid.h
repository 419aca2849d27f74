// PID controller and pulse outputs.
#pragma once
#include <cstdint>

// Measurement slot the controller reads; 4 and above = controller off.
uint8_t Pid_GetSourceSlot();
void Pid_ActivateOnce();
void Pid_Deactivate();
void Pid_EnterHold();
void Pid_LeaveHold();
// One step with the process value and its status (non-zero restarts the history).
void Pid_Step(float value, uint32_t status);
// The value the controller works with while its measurement is not valid.
float Pid_GetSubstituteValue();
uint32_t Pid_IsManual();
// Outputs as fractions (1.0 = 100 %).
float Pid_GetOutput();
float Pid_GetManualOutput();
// The pulse relay of pulse output 0 or 1 (2 = none) and the output type (4 = no pulses).
uint8_t Pid_GetPulseRelay(uint32_t output);
uint8_t Pid_GetOutputType();
// Row 12 of the measurement screen: "Auto Ctrl Out" (mode 0) or "Man Ctrl Out" with the percent.
void Pid_DrawOutputLine(uint32_t mode, float percent);
