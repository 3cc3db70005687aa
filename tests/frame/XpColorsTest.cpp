// The flat look's colour table and popup item sizes.
#include <gtest/gtest.h>

#include "ui/xpbar/atlctrlxp.h"

namespace {

const XPSystemColors kClassicXp{
    RGB(255, 255, 255), RGB(0, 0, 0),   RGB(236, 233, 216), RGB(49, 106, 197),
    RGB(172, 168, 153), RGB(0, 0, 0),   RGB(0, 0, 0),       RGB(0, 0, 0)};

struct ColourCase {
  const char* name;
  COLORREF XPSTYLE::*field;
  COLORREF trueColour;
  COLORREF palette;
};

const ColourCase kColourCases[] = {
    {"background", &XPSTYLE::clrBackground, RGB(248, 248, 248), RGB(255, 255, 255)},
    {"button", &XPSTYLE::clrButton, RGB(239, 237, 223), RGB(236, 233, 216)},
    {"selection", &XPSTYLE::clrSelection, RGB(193, 210, 237), RGB(255, 255, 255)},
    {"checked", &XPSTYLE::clrChecked, RGB(172, 195, 231), RGB(255, 255, 255)},
    {"pressed", &XPSTYLE::clrPressed, RGB(155, 168, 190), RGB(49, 106, 197)},
    {"shadow", &XPSTYLE::clrShadow, RGB(154, 152, 141), RGB(172, 168, 153)},
    {"highlight border", &XPSTYLE::clrHighlightBorder, RGB(49, 106, 197), RGB(49, 106, 197)},
};

TEST(XpColors, TrueColourAndPaletteScreens) {
  const XPSTYLE blended = xpbar::ComputeXPColors(kClassicXp, 32);
  const XPSTYLE plain = xpbar::ComputeXPColors(kClassicXp, 8);
  for (const ColourCase& c : kColourCases) {
    EXPECT_EQ(blended.*c.field, c.trueColour) << c.name;
    EXPECT_EQ(plain.*c.field, c.palette) << c.name;
  }
}

TEST(XpColors, BlendTruncatesTowardZeroPerChannel) {
  EXPECT_EQ(xpbar::Blend(RGB(255, 0, 100), RGB(0, 255, 100), 3), RGB(248, 7, 100));
  EXPECT_EQ(xpbar::Blend(RGB(10, 20, 30), RGB(10, 20, 30), 50), RGB(10, 20, 30));
  EXPECT_EQ(xpbar::Blend(RGB(0, 0, 0), RGB(255, 255, 255), 100), RGB(255, 255, 255));
}

TEST(XpPopupItems, MeasureRules) {
  const xpbar::PopupItemMetrics metrics{-11, SIZE{22, 20}, 13};
  const SIZE separator = xpbar::MeasurePopupItem(true, 100, metrics);
  EXPECT_EQ(separator.cx, 0);
  EXPECT_EQ(separator.cy, 5);
  const SIZE item = xpbar::MeasurePopupItem(false, 100, metrics);
  EXPECT_EQ(item.cy, 22);  // button height + 2 beats 11 + 10
  EXPECT_EQ(item.cx, 100 + 2 * 22 + 14 - 13);
  const xpbar::PopupItemMetrics bigFont{-16, SIZE{22, 20}, 13};
  EXPECT_EQ(xpbar::MeasurePopupItem(false, 50, bigFont).cy, 26);
}

}  // namespace
