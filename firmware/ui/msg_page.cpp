// The Messages page: browsing the shown messages, clearing them, and the exit marker.
#include "ui/msg_page.h"

#include "core/lcd.h"
#include "core/texts.h"
#include "core/ui_ids.h"
#include "outputs/messages.h"
#include "ui/menu.h"

// The Yes/No words: 0 "Yes", 1 "No".
static constexpr uint8_t kYes = 0;
static constexpr uint8_t kNo = 1;
// Fields of the page.
static constexpr uint8_t kFieldLine = 0;
static constexpr uint8_t kFieldYesNo = 1;
static constexpr uint8_t kFieldExit = 2;
// The exit marker stands on row 11, where channel B's mark is drawn.
static constexpr uint32_t kExitMarkChannel = 1;
static constexpr uint32_t kCharWidth = 6;

static bool NothingShown() { return g_MsgShownCount == 0; }
static bool OnClearLine() { return !NothingShown() && g_MsgCursor >= g_MsgShownCount; }

// The code of the line at the cursor: the newest shown message at cursor 0, then older ones.
static uint16_t CodeAtCursor() {
    if (NothingShown()) return kMsgNoMessage;
    if (OnClearLine()) return kMsgClearMessages;
    return g_MsgShown[g_MsgShownCount - 1 - g_MsgCursor];
}

static void WordOf(uint8_t choice, char* text) { Text_Copy(Text_Nth(kTextYesNo, choice), text); }

// The Yes/No word one blank after the "Clear Messages" line, moved left where the longer of the two
// words would otherwise run past the row's last column.
static uint8_t YesNoColumn() {
    char line[kMsgLineSize];
    uint32_t n = Msg_ComposeText(kMsgClearMessages, line);
    if (n > kLcdCharsPerRow) n = kLcdCharsPerRow;
    char yes[kTextMaxChars + 1];
    char no[kTextMaxChars + 1];
    WordOf(kYes, yes);
    WordOf(kNo, no);
    uint32_t longest = 0;
    for (const char* word : {static_cast<const char*>(yes), static_cast<const char*>(no)}) {
        uint32_t length = 0;
        while (word[length] != '\0') ++length;
        if (length > longest) longest = length;
    }
    uint32_t column = n * kCharWidth + kCharWidth;
    uint32_t last = kLcdTextColumns - longest * kCharWidth;
    return static_cast<uint8_t>(column < last ? column : last);
}

static void DrawYesNo(uint32_t blink) {
    char word[kTextMaxChars + 1];
    WordOf(g_MsgYesNo, word);
    Lcd_DrawTextMode(kRowMessage, g_MsgYesNoColumn, blink, word);
}

void Msg_DrawLine(uint16_t code, uint32_t blink) {
    char line[kMsgLineSize];
    Msg_ComposeText(code, line);
    Lcd_ClearSpan(kRowMessage, 0, kLcdColumns);
    Lcd_DrawTextMode(kRowMessage, 0, blink, line);
    if (code == kMsgClearMessages) DrawYesNo(0);
}

static void DrawField(uint8_t field, uint32_t blink) {
    if (field == kFieldLine) {
        Msg_DrawLine(CodeAtCursor(), blink);
    } else if (field == kFieldYesNo) {
        DrawYesNo(blink);
    } else {
        Lcd_DrawChannelMark(kExitMarkChannel, blink);
    }
}

void Msg_DrawPage() {
    if (!g_MsgChanged) return;
    g_MsgChanged = 0;
    Lcd_FillStatusRows(0);
    Lcd_DrawTextRef(kRowStatus, 0, kTextMessagesTitle);
    Lcd_DrawChannelMark(kExitMarkChannel, 0);
    g_MsgCursor = 0;
    g_MsgField = kFieldLine;
    DrawField(kFieldLine, 1);
}

// UP and INFO: the cursor through the messages and the "Clear Messages" line, or the Yes/No choice.
static void StepChoice(bool older) {
    if (g_MsgField == kFieldLine) {
        uint8_t count = g_MsgShownCount;
        if (older) {
            g_MsgCursor = g_MsgCursor >= count ? 0 : static_cast<uint8_t>(g_MsgCursor + 1);
        } else {
            g_MsgCursor = g_MsgCursor == 0 ? count : static_cast<uint8_t>(g_MsgCursor - 1);
        }
        if (OnClearLine()) {
            // Clearing is always offered with "No" first.
            g_MsgYesNo = kNo;
            g_MsgYesNoColumn = YesNoColumn();
        }
        Msg_DrawLine(CodeAtCursor(), 1);
        return;
    }
    g_MsgYesNo = g_MsgYesNo == kYes ? kNo : kYes;
    Lcd_ClearSpan(kRowMessage, g_MsgYesNoColumn, kLcdColumns - g_MsgYesNoColumn);
    DrawYesNo(1);
}

// MENU (backward) and CAL (forward): the blinking field moves.
static void StepField(bool forward) {
    DrawField(g_MsgField, 0);
    if (!OnClearLine()) {
        g_MsgField = g_MsgField == kFieldLine ? kFieldExit : kFieldLine;
    } else if (forward) {
        g_MsgField = g_MsgField >= kFieldExit ? kFieldLine : static_cast<uint8_t>(g_MsgField + 1);
    } else {
        g_MsgField = g_MsgField == kFieldLine ? kFieldExit : static_cast<uint8_t>(g_MsgField - 1);
    }
    DrawField(g_MsgField, 1);
}

int32_t Msg_PageKey(uint32_t event) {
    switch (event) {
        case kEventEnter:
            // Only a "Yes" the user chose on the "Clear Messages" line clears; any other ENTER leaves.
            if (OnClearLine() && g_MsgField <= kFieldYesNo && g_MsgYesNo == kYes)
                return static_cast<int32_t>(kActionClearMessageStore);
            return static_cast<int32_t>(kEventHome);
        case kEventUp:
        case kEventUpRepeat:
        case kEventDown:
        case kEventDownRepeat:
            if (g_MsgField == kFieldExit || NothingShown()) return -1;
            StepChoice(event == kEventUp || event == kEventUpRepeat);
            return -1;
        case kEventLeft:
        case kEventRight:
            StepField(event == kEventRight);
            return -1;
        default:
            return -1;
    }
}
