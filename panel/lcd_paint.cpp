// Display painting from the frame buffer.
#include "panel/lcd_paint.h"

#include <cmath>

LcdColour Panel_LcdBackground(uint8_t displayFlag, float output1mA) {
    if (displayFlag) return LcdColour{183, 216, 189};
    // A current that is not a number, or absurdly large, must not reach the integer conversion.
    double mA = std::isfinite(output1mA) ? output1mA : 4.0;
    if (mA > 1000.0) mA = 1000.0;
    if (mA < -1000.0) mA = -1000.0;
    int32_t green = 216 + static_cast<int32_t>(std::trunc((mA - 4.0) * 2.0));
    green = ((green % 256) + 256) % 256;
    return LcdColour{183, static_cast<uint8_t>(green), 189};
}

void Panel_PaintLcd(const uint8_t frame[kLcdRows][kLcdColumns], LcdColour background, uint8_t* rgb) {
    const int pixels = kLcdImageWidth * kLcdImageHeight;
    for (int i = 0; i < pixels; ++i) {
        rgb[3 * i] = background.red;
        rgb[3 * i + 1] = background.green;
        rgb[3 * i + 2] = background.blue;
    }
    for (uint32_t row = 0; row < kLcdRows; ++row) {
        for (uint32_t column = 0; column < kLcdColumns; ++column) {
            uint8_t byte = frame[row][column];
            for (uint32_t bit = 0; bit < 8; ++bit) {
                if (!(byte & (1u << bit))) continue;
                int x = kLcdDotLeft + 2 * static_cast<int>(column);
                int y = kLcdDotTop + 16 * static_cast<int>(row) + 2 * static_cast<int>(bit);
                for (int dy = 0; dy < 2; ++dy) {
                    uint8_t* p = rgb + 3 * ((y + dy) * kLcdImageWidth + x);
                    for (int k = 0; k < 6; ++k) p[k] = 0;
                }
            }
        }
    }
}
