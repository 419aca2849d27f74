// Firmware top level: start-up, the 20-ms main-loop pass and its housekeeping, and the
// configured sensor kind and model per channel.
#pragma once
#include <atomic>
#include <cstdint>

extern uint32_t g_FwHalted;
extern uint8_t g_LinkStartupWait;
// Set by the 500-ms blink timer on the timer thread, consumed by the main loop.
extern std::atomic<uint32_t> g_BlinkTick;
extern uint32_t g_SymbolBlinkPhase;
extern uint32_t g_SymbolBlinkMask;
extern uint32_t g_HoldMarkPhase;
extern uint8_t g_StateMarkerStep;
extern uint8_t g_SaveWaitBits;
extern uint8_t g_DisplayMode;
extern uint8_t g_ChannelKind[2];
extern uint32_t g_ChannelSensorId[2];

constexpr uint8_t kSaveWaitSensor = 0x01;
constexpr uint8_t kSaveWaitBoard = 0x02;
constexpr uint32_t kRowStatus = 11;
constexpr uint32_t kRowMessage = 12;

extern const char kFirmwareVersion[];

// Brings the firmware up once (at least 14 s: the wait for the sensor board). Returns early only
// when the firmware thread is asked to stop.
void Fw_Start();
void Fw_MainLoopPass();
void Fw_Housekeeping();
void Fw_HardwareInit();
void Fw_ShowVersion();
// Where the instrument drives a watchdog, LED or output line; nothing on the computer.
void Fw_HardwareHook(uint32_t state = 0, uint32_t mask = 0);
void Fw_LoadChannelTypes();
uint8_t Fw_GetChannelType(uint32_t channel);
uint32_t Fw_GetChannelSensorId(uint32_t channel);
