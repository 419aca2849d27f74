// Display painting: the firmware's frame buffer turned into the picture of the instrument's
// display, each frame-buffer pixel a 2 x 2 dot. Pure functions, no window system.
#pragma once
#include <cstdint>

#include "core/lcd.h"

// The display image and where it lies in the dialog's client area.
constexpr int kLcdImageWidth = 340;
constexpr int kLcdImageHeight = 228;
constexpr int kLcdImageX = 159;
constexpr int kLcdImageY = 111;
// Where frame-buffer pixel (0, 0) lands inside the display image.
constexpr int kLcdDotLeft = 25;
constexpr int kLcdDotTop = 5;

struct LcdColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// The display's background. With the display setting on, the fixed green-grey; otherwise the
// green follows analog output 1 (216 at 4 mA, two steps per mA, wrapping at 256), the way the
// instrument's backlight tracks the loop current.
LcdColour Panel_LcdBackground(uint8_t displayFlag, float output1mA);

// Paints the frame buffer into rgb (kLcdImageWidth x kLcdImageHeight pixels, 3 bytes each, rows
// from the top): background everywhere, black 2 x 2 dots for the set bits.
void Panel_PaintLcd(const uint8_t frame[kLcdRows][kLcdColumns], LcdColour background, uint8_t* rgb);
