// Test rig: runs the firmware on one virtual clock. The firmware's tick, its main-loop pass
// and the other periodic work are called in virtual time, so no test waits in real time.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Everything the firmware, the simulated input store, the in-process sensor board and the host
// layer keep, back to a fresh program's. Runs before every test, so that the tests pass in one
// process as they do in a process each.
void Rig_PowerOn();
// Fresh firmware state with the settings store (and the library folder) in that folder, created
// when missing. The sensor board of the next Rig_Boot is the library's own code again.
void Rig_Reset(const std::string& folder);
// Binds the sensor board chosen below (the library's code unless a test chose otherwise), then
// runs the firmware's start-up; its 14-second wait for the sensor board costs no real time.
void Rig_Boot();
// Advances virtual time: every 20 ms the firmware tick and a main-loop pass; every 100 ms the
// link pump; every 50 ms one poll of the board's worker once the board was started.
void Rig_AdvanceMs(uint32_t ms);
// Advances virtual time with the ticks and periodic work only, no main-loop pass.
void Rig_TickOnlyMs(uint32_t ms);
// Holds a panel key for that long as the panel does, releases it, and lets 60 ms pass so the
// key's event and what it leads to are handled.
void Rig_HoldKey(uint8_t key, uint32_t ms);
// Virtual milliseconds since Rig_Reset.
uint64_t Rig_NowMs();
// The firmware's calendar clock, as the panel keeps it from the computer's clock: Rig_Reset sets
// 2025-06-01 00:10:00, and every virtual second it moves on by one second (a clock the firmware
// or a test set moves on from there; an invalid one stands still). A date that is no valid clock
// leaves the clock invalid (year 0 for an unset clock).
void Rig_SetClock(uint32_t year, uint32_t month, uint32_t day, uint32_t hour, uint32_t minute, uint32_t second);
// Calls fn every periodMs of virtual time (after the tick of that instant); for later work
// such as the link pump. At most 8.
void Rig_AddPeriodic(uint32_t periodMs, void (*fn)());
// A new empty folder under the system's temporary folder, removed at the end of the process.
std::string Rig_MakeTempFolder();
// The settings store file in the rig's folder, and its bytes as they stand (empty when missing).
std::string Rig_StorePath();
std::vector<uint8_t> Rig_StoreBytes();
// Replaces the settings store file with these bytes (for a start from a prepared store).
void Rig_WriteStoreBytes(const std::vector<uint8_t>& bytes);
// Changes to the store file from outside while the program runs: bytes written into it in place,
// and a copy of it with those bytes put in its place (a file of its own, renamed over the store).
// Both leave the file the times of a backup taken long ago, as a restored backup keeps its own.
void Rig_ChangeStoreOnDisk(uint32_t offset, const std::vector<uint8_t>& bytes);
void Rig_ReplaceStoreOnDisk(uint32_t offset, const std::vector<uint8_t>& bytes);
// The settings store lost while the program runs: its file gone, a folder in its place, and the
// store opened again, so that every read and every write reports status 10.
void Rig_LoseStore();
// Rig_Reset in a new temporary folder, then the settings store opened there (a fresh one is
// 4096 bytes of FF).
void Rig_OpenFreshStore();
// The little-endian float at offset of a store's bytes, NaN past their end; and of the store file
// as it stands.
float Rig_FloatAt(const std::vector<uint8_t>& bytes, uint32_t offset);
float Rig_StoredFloat(uint32_t offset);
// One byte written through the firmware's store access (the store must be open).
void Rig_WriteStoreByte(uint32_t offset, uint8_t value);
// The calibration filters hold this value and temperature, as after a settled calibration point.
void Rig_SettleCalFilters(float value, float t);
// Writes the settings store a first start leaves in the rig's folder: both markers and every
// module's factory values, so that a test can change single settings in it before Rig_Boot.
void Rig_WriteFactoryStore();

// The text of a display row (0..12), read back from the frame buffer by matching the drawn
// columns against the fonts: UTF-8, each blank cell a space, trailing blanks dropped. A cell
// that matches no glyph reads as U+FFFD.
std::string Rig_RowText(uint32_t row);
// The characters drawn in the big font on a big line (0 or 1), blanks dropped.
std::string Rig_BigLineText(uint32_t line);
// The frame buffer, row by row, 13 x 145 bytes.
std::string Rig_FrameBytes();

// ---- Sensor board ---------------------------------------------------------------------------
// Rig_Boot binds the board behind the same nine export names the program looks up; the worker is
// polled in virtual time instead of running on its thread. Choose before Rig_Boot.

// No library: the library file is missing, so the firmware binds nothing.
void Rig_UseNoLibrary();
// A stand-in board that takes every request byte and never answers.
void Rig_UseSilentBoard();
// The library's board, except that requests with this command are answered with status 7.
void Rig_UseBoardRejecting(uint8_t command);
// The library's board, except that it stops answering this command after that many answers.
void Rig_UseBoardIgnoring(uint8_t command, uint32_t answersFirst);
// A stand-in board that answers each whole request frame through maker: it fills the reply's
// bytes (any bytes, at most kRigReplyMax) and returns true, or returns false to stay silent.
constexpr size_t kRigReplyMax = 255;
using RigReplyMaker = bool (*)(const std::vector<uint8_t>& request, std::vector<uint8_t>* reply);
void Rig_UseScriptedBoard(RigReplyMaker maker);
// Lookups of this export find nothing (as a library without it).
void Rig_HideExport(const std::string& name);

struct RigFrame {
    uint64_t atMs;
    std::vector<uint8_t> bytes;
};
// Request frames the firmware handed to the board, and the replies it fetched, in order.
const std::vector<RigFrame>& Rig_SentFrames();
const std::vector<RigFrame>& Rig_ReceivedFrames();
// The exports the firmware called while binding, in order.
const std::vector<std::string>& Rig_BindCalls();
