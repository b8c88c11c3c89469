// Text lands where the alignment bits put it, in every shared font size, and rotated text is the upright
// text turned: 90 degrees reads upwards, and angles a full turn apart draw the same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "XTestSupport.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"

using tovo::gui::context::kAlignBottom;
using tovo::gui::context::kAlignLeft;
using tovo::gui::context::kAlignRight;
using tovo::gui::context::kAlignTop;
using tovo::gui::context::SDrawDevice;
using tovo::gui::context::SDrawFont;
using tovo::gui::context::SDrawing;
using tovo::gui::context::statdata;
using tovo::test::BareWindow;
using tovo::test::Normalised;
using tovo::test::PixelSet;
using tovo::test::Snapshot;

namespace {

constexpr int kWhite = 0, kYellow = 1, kBlack = 20, kDarkRed = 5;
const SDrawing::Point kNoOffset{0, 0};

unsigned long Slot(int slot) { return static_cast<unsigned long>(static_cast<unsigned>(statdata.GetColour(slot))); }

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
};

Box Bounds(const PixelSet& pixels) {
  Box b;
  for (const auto& p : pixels) {
    b.left = std::min(b.left, p.first);
    b.right = std::max(b.right, p.first);
    b.top = std::min(b.top, p.second);
    b.bottom = std::max(b.bottom, p.second);
  }
  return b;
}

// Quarter turn counter-clockwise on screen: the start of a line of text ends up at the bottom.
PixelSet TurnedUp(const PixelSet& upright) {
  Box b = Bounds(upright);
  PixelSet out;
  for (const auto& p : upright) out.insert({p.second, b.right - p.first});
  return Normalised(out);
}

class TextOnWindow : public testing::Test {
 protected:
  TextOnWindow() : window(400, 200) {
    drawing.SetDevice(new SDrawDevice(window.Id()));
    drawing.SetTextColour(statdata.GetColour(kWhite), false);
  }

  BareWindow window;
  SDrawing drawing;
};

}  // namespace

TEST_F(TextOnWindow, LabelsAlignInEveryFontSize) {
  struct Case {
    int size;
    bool bold;
  } fonts[] = {{7, false}, {8, false}, {10, true}, {12, false}, {12, true}, {14, false}};
  int top = 0;
  for (const Case& c : fonts) {
    SCOPED_TRACE(c.size);
    SDrawFont* font = statdata.FindFont(c.size, c.bold, false);
    ASSERT_TRUE(font->IsLoaded());
    drawing.SetFont(font);
    int width = 0, height = 0;
    drawing.GetTextDimensions("Mix", &width, &height, nullptr);
    ASSERT_GT(width, 0);
    EXPECT_EQ(font->Ascent() + font->Descent(), height);

    const SDrawing::Rect area{0, top, 400, top + height + 4};
    drawing.DrawLabel("Mix", {10, top, 110, top + height + 4}, kAlignLeft | kAlignTop, kNoOffset);
    drawing.DrawLabel("Mix", {150, top, 250, top + height + 4}, kAlignRight | kAlignBottom, {0, 0});
    drawing.DrawLabel("Mix", {270, top, 370, top + height + 4}, 0, {5, 0});
    Snapshot shot(window.Id(), 400, 200);
    Box left = Bounds(shot.Except(Slot(kBlack), 0, area.top, 130, area.bottom));
    Box right = Bounds(shot.Except(Slot(kBlack), 130, area.top, 260, area.bottom));
    Box centred = Bounds(shot.Except(Slot(kBlack), 260, area.top, 400, area.bottom));
    // Ink lies inside the text's cell: from the start x to start + width, from top to top + height.
    EXPECT_GE(left.left, 10);
    EXPECT_LT(left.right, 10 + width);
    EXPECT_GE(left.top, top);
    EXPECT_LT(left.bottom, top + height);
    EXPECT_LT(right.right, 250);
    EXPECT_GE(right.left, 250 - width);
    EXPECT_LT(right.bottom, top + height + 4);
    EXPECT_GT(right.bottom, left.bottom);
    // Centred on 320 + 5 (the offset), within a pixel of rounding.
    int middle = (centred.left + centred.right + 1) / 2;
    EXPECT_NEAR(325, middle, 2);
    top += height + 8;
  }
}

TEST_F(TextOnWindow, TextIsPositionedByItsTopAndSkippedWithoutFontOrText) {
  SDrawFont* font = statdata.FindFont(12, false, false);
  drawing.DrawText("Lost", 10, 10);  // no font yet
  drawing.SetFont(font);
  drawing.DrawText("", 10, 10);
  drawing.DrawText(static_cast<const char*>(nullptr), 10, 10);
  Snapshot none(window.Id(), 400, 200);
  EXPECT_TRUE(none.Except(Slot(kBlack), 0, 0, 400, 200).empty());

  drawing.DrawText(SDrawing::Text().Append("Top"), SDrawing::Point{10, 40});
  Snapshot shot(window.Id(), 400, 200);
  Box ink = Bounds(shot.Except(Slot(kBlack), 0, 0, 400, 200));
  EXPECT_GE(ink.top, 40);
  EXPECT_LE(ink.top, 40 + font->Ascent() / 2);
  EXPECT_LT(ink.bottom, 40 + font->Ascent() + font->Descent());
}

TEST_F(TextOnWindow, LabelRectFillsAndKeepsTheTextVisible) {
  drawing.SetFont(statdata.FindFont(12, true, false));
  drawing.DrawLabelRect("OK", SDrawing::Rect{20, 20, 100, 50}, statdata.GetColour(kDarkRed), kNoOffset);
  Snapshot shot(window.Id(), 400, 200);
  PixelSet text = shot.Matching(Slot(kWhite), 0, 0, 400, 200);
  ASSERT_FALSE(text.empty());
  Box ink = Bounds(text);
  EXPECT_GE(ink.left, 20);
  EXPECT_LT(ink.right, 100);
  EXPECT_EQ(Slot(kDarkRed), shot.At(21, 21));
  EXPECT_EQ(Slot(kDarkRed), shot.At(99, 49));
  EXPECT_EQ(Slot(kBlack), shot.At(100, 50));
}

TEST_F(TextOnWindow, QuarterTurnReadsUpwardsAndFullTurnsAreEquivalent) {
  drawing.SetFont(statdata.FindFont(12, false, false));
  drawing.DrawText("Volume 7", 10, 10);
  drawing.DrawRotatedText("Volume 7", SDrawing::Rect{100, 0, 140, 120}, 90, kAlignLeft | kAlignTop, kNoOffset);
  drawing.DrawRotatedText("Volume 7", SDrawing::Rect{150, 0, 190, 120}, 450, kAlignLeft | kAlignTop, kNoOffset);
  drawing.DrawRotatedText("Volume 7", SDrawing::Rect{200, 0, 240, 120}, -270, kAlignLeft | kAlignTop, kNoOffset);
  Snapshot shot(window.Id(), 400, 200);
  PixelSet upright = shot.Except(Slot(kBlack), 0, 0, 95, 40);
  PixelSet turned = shot.Except(Slot(kBlack), 95, 0, 145, 200);
  ASSERT_FALSE(upright.empty());
  EXPECT_EQ(TurnedUp(upright), Normalised(turned));
  EXPECT_EQ(Normalised(turned), Normalised(shot.Except(Slot(kBlack), 145, 0, 195, 200)));
  EXPECT_EQ(Normalised(turned), Normalised(shot.Except(Slot(kBlack), 195, 0, 245, 200)));
  // Same offsets from each rectangle's corner, a full turn apart or not.
  EXPECT_EQ(Bounds(turned).left + 50, Bounds(shot.Except(Slot(kBlack), 145, 0, 195, 200)).left);
  EXPECT_EQ(Bounds(turned).top, Bounds(shot.Except(Slot(kBlack), 145, 0, 195, 200)).top);
}

TEST_F(TextOnWindow, RotatedTextIsPlacedByAlignmentAndPaintedInTheTextColour) {
  drawing.SetFont(statdata.FindFont(10, false, false));
  drawing.SetTextColour(statdata.GetColour(kYellow), false);
  const SDrawing::Rect column{20, 20, 40, 180};
  drawing.DrawRotatedText("Label", column, 90, kAlignBottom, kNoOffset);
  drawing.DrawRotatedText("Label", SDrawing::Rect{60, 20, 80, 180}, 90, 0, SDrawing::Point{0, -30});
  drawing.DrawRotatedText("Label", SDrawing::Rect{100, 20, 200, 180}, 45, 0, kNoOffset);
  Snapshot shot(window.Id(), 400, 200);
  EXPECT_TRUE(shot.Except(Slot(kBlack), 0, 0, 400, 200) == shot.Matching(Slot(kYellow), 0, 0, 400, 200));
  Box bottom = Bounds(shot.Except(Slot(kBlack), 0, 0, 50, 200));
  EXPECT_LE(bottom.bottom, 180);
  EXPECT_GE(bottom.bottom, 170);
  EXPECT_GE(bottom.left, 19);
  EXPECT_LE(bottom.right, 40);
  Box centred = Bounds(shot.Except(Slot(kBlack), 50, 0, 95, 200));
  EXPECT_NEAR(100 - 30, (centred.top + centred.bottom) / 2, 2);
  // At 45 degrees the ink is as wide as it is tall, around the centre of its rectangle.
  Box slanted = Bounds(shot.Except(Slot(kBlack), 95, 0, 400, 200));
  EXPECT_NEAR(slanted.right - slanted.left, slanted.bottom - slanted.top, 3);
  EXPECT_NEAR(150, (slanted.left + slanted.right) / 2, 2);
  EXPECT_NEAR(100, (slanted.top + slanted.bottom) / 2, 2);
}

TEST_F(TextOnWindow, VerticalLabelsTurnEitherWayAndAppendTheirSuffix) {
  drawing.SetFont(statdata.FindFont(10, false, false));
  drawing.SetTextColour(statdata.GetColour(kYellow), true);
  drawing.DrawVerticalLabel("dB", SDrawing::Rect{10, 10, 40, 190}, 0, -1, kNoOffset, false, false, nullptr);
  drawing.DrawVerticalLabel("dB", SDrawing::Rect{50, 10, 80, 190}, 0, -1, kNoOffset, true, true, nullptr);
  drawing.DrawVerticalLabel("dB", SDrawing::Rect{90, 10, 120, 190}, 0, statdata.GetColour(kDarkRed), kNoOffset,
                            false, false, " gain");
  Snapshot shot(window.Id(), 400, 200);
  PixelSet up = shot.Matching(Slot(kWhite), 0, 0, 45, 200);
  PixelSet down = shot.Matching(Slot(kYellow), 45, 0, 85, 200);
  ASSERT_FALSE(up.empty());
  // Downwards is upwards turned half a turn.
  PixelSet half;
  Box b = Bounds(up);
  for (const auto& p : up) half.insert({b.right - p.first, b.bottom - p.second});
  EXPECT_EQ(Normalised(half), Normalised(down));
  Box longer = Bounds(shot.Matching(Slot(kDarkRed), 85, 0, 130, 200));
  EXPECT_GT(longer.bottom - longer.top, b.bottom - b.top + 10);
}
