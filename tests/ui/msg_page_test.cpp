// The Messages page by keys: reached from INFO, browsed newest first, "Clear Messages" answered
// No and Yes, the exit marker, and the page following the list while it is open.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "ui/msg_page.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
void BootEnglish() {
    BootHome();
    g_Language = 0;
}

void OpenMessages(bool english = true) {
    Press(kKeyInfo);
    if (english) {
        ASSERT_EQ(Item(), "Messages");
    }
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenMessages);
}
}  // namespace

TEST(MessagesPage, BrowseAndClearByKeys) {
    BootEnglish();
    Msg_Raise(3);
    Msg_Raise(567);
    Msg_Clear(3);
    OpenMessages();
    EXPECT_EQ(g_DisplayMode, 1);
    EXPECT_EQ(Row(11), std::string("Messages") + std::string(15, ' ') + "$");
    // The newest first; UP goes to older ones, then to "Clear Messages", then round again.
    EXPECT_EQ(Row(12), "B Wrong Sensor");
    EXPECT_EQ(g_BlinkField.row, kRowMessage);
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "AWarning pH slope>102%");
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Clear Messages  No");
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "B Wrong Sensor");
    Press(kKeyInfo);
    EXPECT_EQ(Row(12), "Clear Messages  No");
    // ENTER on "No" leaves and keeps the messages.
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 0);
    EXPECT_EQ(Msg_ShownCount(), 2u);

    OpenMessages();
    Press(kKeyInfo);
    // CAL moves to the Yes/No word, UP chooses "Yes", ENTER clears.
    Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, g_MsgYesNoColumn);
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Clear Messages  Yes");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 0);
    EXPECT_EQ(Msg_ShownCount(), 0u);
    EXPECT_EQ(Msg_ActiveCount(), 0u);
    EXPECT_EQ(Rig_StoreBytes()[1968], 0);
}

TEST(MessagesPage, FieldsMoveWithMenuAndCal) {
    BootEnglish();
    Msg_Raise(4);
    OpenMessages();
    // On a message line CAL and MENU go between the line and the exit marker.
    Press(kKeyCal);
    EXPECT_EQ(g_MsgField, 2);
    EXPECT_EQ(g_BlinkField.row, kRowStatus);
    Press(kKeyUp);
    EXPECT_EQ(g_MsgCursor, 0) << "UP does nothing on the exit marker";
    Press(kKeyMenu);
    EXPECT_EQ(g_MsgField, 0);
    // On "Clear Messages": CAL 0, 1, 2, 0 and MENU 0, 2, 1, 0.
    Press(kKeyUp);
    ASSERT_EQ(Row(12), "Clear Messages  No");
    Press(kKeyCal);
    EXPECT_EQ(g_MsgField, 1);
    Press(kKeyCal);
    EXPECT_EQ(g_MsgField, 2);
    Press(kKeyCal);
    EXPECT_EQ(g_MsgField, 0);
    Press(kKeyMenu);
    EXPECT_EQ(g_MsgField, 2);
    Press(kKeyMenu);
    EXPECT_EQ(g_MsgField, 1);
    Press(kKeyUp);
    Press(kKeyMenu);
    EXPECT_EQ(g_MsgField, 0);
    // "Yes" chosen, but ENTER on the exit marker leaves without clearing.
    Press(kKeyMenu);
    ASSERT_EQ(g_MsgField, 2);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 0);
    EXPECT_EQ(Msg_ActiveCount(), 1u);
}

TEST(MessagesPage, FollowsTheListWhileOpen) {
    BootEnglish();
    OpenMessages();
    EXPECT_EQ(Row(12), "No Message Available");
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "No Message Available");
    // A message raised while the page is open shows within a second.
    Msg_Raise(100);
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Row(12), "Communication Error");
    // ENTER with nothing to clear just leaves.
    Msg_Clear(100);
    Msg_ResetStore();
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Row(12), "No Message Available");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 0);
}

TEST(MessagesPage, TheYesNoWordStaysOnTheRowInEveryLanguage) {
    BootEnglish();
    Msg_Raise(4);
    for (uint8_t language = 0; language < kLanguages; ++language) {
        g_Language = language;
        OpenMessages(false);
        Press(kKeyUp);
        Press(kKeyCal);
        for (int i = 0; i < 2; ++i) {
            char word[kTextMaxChars + 1];
            uint32_t n = Text_Copy(Text_Nth(kTextYesNo, g_MsgYesNo), word);
            EXPECT_LE(g_MsgYesNoColumn + 6 * n, kLcdTextColumns) << "language " << int(language);
            Press(kKeyUp);
        }
        Key_Put(kKeyEscape);
        Rig_AdvanceMs(60);
    }
    g_Language = 0;
}
