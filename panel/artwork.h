// The panel's pictures, drawn by code when the program starts: the instrument front with its
// display window and key field, the key images up and down with their captions, the hand cursor
// over the keys and the program icon.
#pragma once
#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/cursor.h>
#include <wx/iconbndl.h>
#include <wx/image.h>

// The panel picture: its size and where it lies in the dialog's client area.
constexpr int kPanelPictureWidth = 500;
constexpr int kPanelPictureHeight = 499;
constexpr int kPanelPictureX = 80;
constexpr int kPanelPictureY = 23;

// The instrument front, 500 x 499; its corners show the dialog's background.
wxBitmap Panel_DrawPanelPicture(const wxColour& background);
// A key image, the size of its button; pressed shows the key pushed in. key indexes g_KeyAreas.
wxBitmap Panel_DrawKeyImage(int key, bool pressed);
// The hand-shaped cursor shown over the keys, and its picture (32 x 32, hot spot at the tip).
wxCursor Panel_MakeKeyCursor();
wxImage Panel_DrawKeyCursorImage();
// The program icon in 16, 32 and 48 pixels.
wxIconBundle Panel_MakeIcon();
