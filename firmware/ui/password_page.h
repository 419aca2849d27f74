// Password and lockout page (screen 19): a five-digit access code and the choice whether the menus
// are locked; the choice is taken only with a valid code.
#pragma once
#include <cstdint>

// Back to power-on (tests run many starts in one process).
void Screen_ResetPasswordState();

// Entry 1 redraws with the leave marker selected; any other entry starts on the first digit.
// Every digit starts at 0 and the choice at the lockout setting being edited.
void Screen_PasswordDraw(uint32_t entry);
// Returns -1 to stay, 4080 (ENTER on the leave marker) or 4084 (ENTER in a field).
int32_t Screen_PasswordKey(uint32_t event);
