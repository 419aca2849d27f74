// Message list: the active and cleared message codes, the four newest shown (and kept in the
// settings store), the message definition table and the composition of a message's display line.
#pragma once
#include <cstdint>

struct StoreMap;

constexpr uint32_t kMsgListSize = 40;
// The lists count at most 39 codes; the 40th slot takes a code that finds the list full.
constexpr uint32_t kMsgListMax = 39;
constexpr uint32_t kMsgShownMax = 4;
// A composed line: at most one display row of characters and the ending zero.
constexpr uint32_t kMsgLineSize = 25;
constexpr uint32_t kMsgTableRows = 102;
// The store ranges of the shown list.
extern const StoreMap g_MsgStoreMap;

// Message numbers the code names (n of a code; codes without a channel are n itself).
constexpr uint16_t kMsgClearMessages = 0;  // the "Clear Messages" line of the Messages page
constexpr uint16_t kMsgNoMessage = 1;      // the "No Message Available" line
constexpr uint16_t kMsgWatchdog = 2;
constexpr uint16_t kMsgDisconnected = 54;
constexpr uint16_t kMsgWrongSensor = 55;
constexpr uint16_t kMsgChangeSensor = 99;
constexpr uint16_t kMsgCommError = 100;
constexpr uint16_t kMsgSetCorrectDate = 101;
// Set-point messages: 1200 + 10 x (set point - 1) + condition.
constexpr uint16_t kMsgSetPointFirst = 1200;
constexpr uint16_t kMsgSetPointLast = 1259;
// A channel-B code is the number plus this.
constexpr uint16_t kMsgChannelB = 512;

// One row of the message definition table.
struct MsgDef {
    uint8_t word[3];    // text indexes of up to three words, 255 none
    uint8_t limitKind;  // 0 ">" and the limit, 1 "<" and the limit, 2 no limit
    float limit;
    uint8_t decimals;
    uint8_t unit;  // text index of the unit word, 255 none
};
constexpr uint8_t kMsgNoWord = 255;
constexpr uint8_t kMsgLimitAbove = 0;
constexpr uint8_t kMsgLimitBelow = 1;
constexpr uint8_t kMsgNoLimit = 2;
extern const MsgDef g_MsgTable[kMsgTableRows];

// Active codes in the order raised, oldest first.
extern uint16_t g_MsgActive[kMsgListSize];
extern uint8_t g_MsgActiveCount;
// Codes that were active and have been cleared, oldest first.
extern uint16_t g_MsgCleared[kMsgListSize];
extern uint8_t g_MsgClearedCount;
// The newest messages, oldest first: cleared ones, then active ones.
extern uint16_t g_MsgShown[kMsgShownMax];
extern uint8_t g_MsgShownCount;
// Set whenever the list changes; the Messages page redraws and resets it.
extern uint8_t g_MsgChanged;

// State of the Messages page: the cursor (0 the newest shown message, counting towards older ones;
// the shown count = the "Clear Messages" line), the field (0 the line, 1 the Yes/No word, 2 the
// exit marker), the Yes/No choice (0 "Yes", 1 "No") and the pixel column of the Yes/No word.
extern uint8_t g_MsgCursor;
extern uint8_t g_MsgField;
extern uint8_t g_MsgYesNo;
extern uint8_t g_MsgYesNoColumn;

// Empty lists, the page at its start and nothing in the store touched, as at power-up.
void Msg_ResetState();

// Raises a message; codes below 2 are ignored.
void Msg_Raise(uint16_t code);
// Clears a message: 0 when no message at all was active, else 1 (also when this one was not).
uint32_t Msg_Clear(uint16_t code);
// Appends a code to the cleared list (once).
void Msg_AddCleared(uint16_t code);
// 1 while the code stands in the active list.
uint32_t Msg_IsActive(uint16_t code);
uint32_t Msg_ActiveCount();
uint32_t Msg_ShownCount();
// The i-th shown code, oldest first; 0 outside the shown list.
uint16_t Msg_ShownCode(uint32_t i);
// Marks the list changed so that the Messages page redraws.
void Msg_SetChanged();
// Rebuilds the shown list; while fewer than four messages are active it is stored too, by the
// next Msg_SaveStore.
void Msg_BuildShownList();
// Writes the stored list once when it changed since the last call: the main loop calls it at
// the end of every pass, so a pass writes it at most once however many messages changed.
void Msg_SaveStore();
// Start-up clearing: empty lists, both alarm flag words cleared.
void Msg_ClearAll();
// "Clear Messages" and the factory defaults: the lists emptied and the stored list emptied (by
// the next Msg_SaveStore).
void Msg_ResetStore();
// Loads the stored shown list: its active entries become active again, the others cleared.
void Msg_LoadStore(uint32_t* status);
// The message part of a channel reset.
void Msg_ResetChannel(uint32_t channel);
// 1 for a code that can stand in the list: a table row (2 to 101, channel B 515 to 613) or a
// set-point code.
uint32_t Msg_IsValidCode(uint16_t code);
// The display line of a code in the display language, at most 24 characters and the ending zero
// (buffer of kMsgLineSize). Returns the length before any cut; a code that names no row gives an
// empty line.
uint32_t Msg_ComposeText(uint16_t code, char* buffer);
