// The lockout page and the access codes through the rig, key by key: the master code, a wrong code,
// leaving without a change, the operator's code, and what the lockout then asks for, with the codes
// changed on the password pages and kept over a restart.
#include <gtest/gtest.h>

#include <string>

#include "settings/settings_system.h"
#include "ui/menu.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// MENU, "System", "Set/Clear Lockout".
void OpenLockout() {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("System"));
    ASSERT_TRUE(Choose("Set/Clear Lockout"));
    ASSERT_EQ(Menu_TopScreen(), kScreenLockout);
}

// Types a code from the first digit on (the cursor there), UP to each digit and CAL on; the cursor
// ends on the Yes/No word.
void TypeCode(const char* code) {
    for (const char* p = code; *p != '\0'; ++p) {
        for (int i = 0; i < *p - '0'; ++i) Press(kKeyUp);
        Press(kKeyCal);
    }
}

// A value page's code: the digits typed on its line from the cursor, CAL between them.
void TypeOnValuePage(const char* code) {
    for (const char* p = code; *p != '\0'; ++p) {
        if (p != code) Press(kKeyCal);
        for (int i = 0; i < *p - '0'; ++i) Press(kKeyUp);
    }
}

// "Save Changes" answered with its first choice, "Yes & Exit".
void SaveAndExit() {
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    Press(kKeyEnter);
    Rig_AdvanceMs(2000);
}
}  // namespace

TEST(PasswordPage, TheMasterCodeSetsTheLockoutWhateverTheStoredCodes) {
    BootHome();
    g_SystemSettings.accessCode[0] = 11111;
    g_SystemSettings.accessCode[1] = 22222;
    OpenLockout();
    EXPECT_EQ(Row(11), "Password = 00000");
    EXPECT_EQ(Row(12), "Enable Lockout = No    $");
    TypeCode("05864");
    EXPECT_EQ(Row(11), "Password = 05864");
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Enable Lockout = Yes   $");
    Press(kKeyEnter);
    EXPECT_EQ(g_SystemEdit.lockout, kLockoutOn);
    EXPECT_EQ(g_SystemSettings.lockout, kLockoutOff) << "taken into the working set, not yet committed";
    SaveAndExit();
    EXPECT_EQ(g_SystemSettings.lockout, kLockoutOn);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);

    // Locked: "Configure" (open with its lock byte 0) now asks for the code.
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12), "Enter Password 00000   $");
    // A wrong code is refused; the operator's code opens the node.
    TypeOnValuePage("22223");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    Press(kKeyEnter);
    Press(kKeyCal);
    TypeOnValuePage("22222");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_EQ(Row(11), "Configure");
}

TEST(PasswordPage, AWrongCodeKeepsTheSettingAndSaysSo) {
    BootHome();
    OpenLockout();
    TypeCode("12345");
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Enable Lockout = Yes   $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    EXPECT_EQ(Row(12), "Press ENTER to Continue$");
    EXPECT_EQ(Menu_TopScreen(), kScreenLockout);
    EXPECT_EQ(g_SystemEdit.lockout, kLockoutOff);
    // ENTER brings the page back with the digits at 0, the setting as it was and the leave
    // marker selected.
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Password = 00000");
    EXPECT_EQ(Row(12), "Enable Lockout = No    $");
    EXPECT_EQ(g_BlinkField.column, 138);
    // A wrong code on a field is refused even without a change of the choice.
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    EXPECT_EQ(g_SystemEdit.lockout, kLockoutOff);
}

TEST(PasswordPage, LeavingWithoutAChangeNeedsNoCode) {
    BootHome();
    OpenLockout();
    // MENU from the first digit reaches the leave marker.
    Press(kKeyMenu);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_EQ(Row(11), "System");
    EXPECT_EQ(g_SystemEdit.lockout, kLockoutOff);

    // A changed choice on the leave marker still needs the code.
    ASSERT_TRUE(Choose("Set/Clear Lockout"));
    Press(kKeyMenu);
    Press(kKeyMenu);
    Press(kKeyUp);
    Press(kKeyCal);
    ASSERT_EQ(g_BlinkField.column, 138);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    EXPECT_EQ(g_SystemEdit.lockout, kLockoutOff);
}

TEST(PasswordPage, DigitsWrapAndTheFieldsGoRound) {
    BootHome();
    OpenLockout();
    // INFO from 0 wraps to 9; UP from 9 to 0.
    Press(kKeyInfo);
    EXPECT_EQ(Row(11), "Password = 90000");
    Press(kKeyUp);
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Password = 10000");
    // CAL: digits, the word, the marker, then the first digit again.
    for (int i = 0; i < 7; ++i) Press(kKeyCal);
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Password = 20000");
    EXPECT_EQ(Row(12), "Enable Lockout = No    $");
}

TEST(PasswordPage, ChangedCodesOpenTheLockoutAndSurviveARestart) {
    BootHome();
    std::string folder = Rig_StorePath().substr(0, Rig_StorePath().find_last_of('/'));
    // Administrator: the factory code, then a new one twice.
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("System"));
    ASSERT_TRUE(Choose("Passwords"));
    TypeOnValuePage("31752");
    Press(kKeyEnter);
    ASSERT_EQ(Row(12), "New Password = 00000   $");
    TypeOnValuePage("24680");
    Press(kKeyEnter);
    ASSERT_EQ(Row(11), "Re-enter password");
    TypeOnValuePage("24680");
    Press(kKeyEnter);
    SaveAndExit();
    EXPECT_EQ(g_SystemSettings.accessCode[0], 24680u);

    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    EXPECT_EQ(g_SystemSettings.accessCode[0], 24680u);
    OpenLockout();
    // The operator's code stays the factory one; any other code is refused.
    TypeCode("31753");
    Press(kKeyUp);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    Press(kKeyEnter);
    Press(kKeyCal);
    TypeCode("24680");
    Press(kKeyUp);
    Press(kKeyEnter);
    SaveAndExit();
    EXPECT_EQ(g_SystemSettings.lockout, kLockoutOn);
}
