// Display painting: background colours and where the 2 x 2 dots of the frame buffer land.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "panel/lcd_paint.h"

namespace {
struct Painted {
    std::vector<uint8_t> rgb = std::vector<uint8_t>(kLcdImageWidth * kLcdImageHeight * 3);
    LcdColour At(int x, int y) const {
        const uint8_t* p = &rgb[3 * (y * kLcdImageWidth + x)];
        return LcdColour{p[0], p[1], p[2]};
    }
    int BlackPixels() const {
        int n = 0;
        for (size_t i = 0; i < rgb.size(); i += 3) n += rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
        return n;
    }
};

bool Same(LcdColour a, LcdColour b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

const LcdColour kBlack{0, 0, 0};
}  // namespace

TEST(LcdPaint, BackgroundFollowsDisplaySettingAndOutputOne) {
    EXPECT_TRUE(Same(Panel_LcdBackground(1, 12.0f), LcdColour{183, 216, 189}));
    EXPECT_TRUE(Same(Panel_LcdBackground(0, 12.0f), LcdColour{183, 232, 189}));
    EXPECT_EQ(Panel_LcdBackground(0, 4.0f).green, 216);
    EXPECT_EQ(Panel_LcdBackground(0, 20.0f).green, 248);
    EXPECT_EQ(Panel_LcdBackground(0, 0.0f).green, 208);
    // Truncated toward zero: 4.4 mA is 0.8 steps, 3.6 mA is -0.8 steps.
    EXPECT_EQ(Panel_LcdBackground(0, 4.4f).green, 216);
    EXPECT_EQ(Panel_LcdBackground(0, 3.6f).green, 216);
    // Beyond the byte the green wraps round.
    EXPECT_EQ(Panel_LcdBackground(0, 24.0f).green, (216 + 40) % 256);
    // A current that is no number paints as 4 mA instead of converting garbage.
    EXPECT_EQ(Panel_LcdBackground(0, std::nanf("")).green, 216);
    EXPECT_EQ(Panel_LcdBackground(0, INFINITY).red, 183);
}

TEST(LcdPaint, EmptyFrameIsPlainBackground) {
    uint8_t frame[kLcdRows][kLcdColumns] = {};
    Painted painted;
    const LcdColour background{183, 232, 189};
    Panel_PaintLcd(frame, background, painted.rgb.data());
    for (int y = 0; y < kLcdImageHeight; ++y) {
        for (int x = 0; x < kLcdImageWidth; ++x) ASSERT_TRUE(Same(painted.At(x, y), background)) << x << "," << y;
    }
}

TEST(LcdPaint, FirstAndLastDotsAndBitOrder) {
    uint8_t frame[kLcdRows][kLcdColumns] = {};
    const LcdColour background{183, 216, 189};
    Painted painted;

    frame[0][0] = 0x01;
    Panel_PaintLcd(frame, background, painted.rgb.data());
    EXPECT_EQ(painted.BlackPixels(), 4);
    for (auto [x, y] : {std::pair{25, 5}, {25, 6}, {26, 5}, {26, 6}}) EXPECT_TRUE(Same(painted.At(x, y), kBlack));
    EXPECT_TRUE(Same(painted.At(24, 5), background));
    EXPECT_TRUE(Same(painted.At(27, 5), background));
    EXPECT_TRUE(Same(painted.At(25, 4), background));
    EXPECT_TRUE(Same(painted.At(25, 7), background));

    // Bit 7 is the lowest pixel of the row's eight; row r starts 16 screen pixels lower.
    std::memset(frame, 0, sizeof frame);
    frame[12][144] = 0x80;
    Panel_PaintLcd(frame, background, painted.rgb.data());
    EXPECT_EQ(painted.BlackPixels(), 4);
    for (auto [x, y] : {std::pair{313, 211}, {313, 212}, {314, 211}, {314, 212}}) {
        EXPECT_TRUE(Same(painted.At(x, y), kBlack)) << x << "," << y;
    }

    // A full frame: 13 x 145 x 8 dots of four pixels, none outside the dot grid.
    std::memset(frame, 0xFF, sizeof frame);
    Panel_PaintLcd(frame, background, painted.rgb.data());
    EXPECT_EQ(painted.BlackPixels(), 13 * 145 * 8 * 4);
    EXPECT_TRUE(Same(painted.At(24, 5), background));
    EXPECT_TRUE(Same(painted.At(315, 5), background));
    EXPECT_TRUE(Same(painted.At(25, 4), background));
    EXPECT_TRUE(Same(painted.At(25, 213), background));
}
