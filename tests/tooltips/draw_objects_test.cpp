// Draw objects put their shapes where their rectangles and offsets say, in their own colours, and leave
// the drawing's background colour as they found it; text objects draw in the container's font, the X
// variant in its own.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SDrawObject.h"
#include "tests/drawing/XTestSupport.h"

namespace tovo::gui {
namespace {

using context::SDrawing;
using context::statdata;
using test::BareWindow;
using test::PixelSet;
using test::Snapshot;

constexpr int kRed = 4, kBlue = 10, kWhite = 0, kBlack = 20;

int Slot(int slot) { return statdata.GetColour(slot); }
unsigned long Pixel(int slot) { return static_cast<unsigned long>(static_cast<unsigned>(Slot(slot))); }

PixelSet Area(int left, int top, int right, int bottom) {
  PixelSet out;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) out.insert({x, y});
  return out;
}

PixelSet Border(int left, int top, int right, int bottom) {
  PixelSet out = Area(left, top, right, bottom);
  for (const auto& p : Area(left + 1, top + 1, right - 1, bottom - 1)) out.erase(p);
  return out;
}

PixelSet Shifted(const PixelSet& pixels, int dx, int dy) {
  PixelSet out;
  for (const auto& p : pixels) out.insert({p.first + dx, p.second + dy});
  return out;
}

class DrawObjects : public testing::Test {
 protected:
  DrawObjects() : window(120, 60) { drawing.SetDevice(new context::SDrawDevice(window.Id())); }

  BareWindow window;
  SDrawing drawing;
};

TEST_F(DrawObjects, RectsAreFramedAndFilledOnlyWhenAsked) {
  SDrawRect filled({10, 10, 30, 22}, Slot(kRed), Slot(kBlue), true);
  filled.SetDrawOffset(5, 3);
  filled.Draw(&drawing);
  SDrawRect framed({60, 10, 80, 22}, Slot(kRed), Slot(kBlue), false);
  framed.Draw(&drawing);
  Snapshot shot(window.Id(), 120, 60);
  PixelSet frames = Border(15, 13, 35, 25);
  const PixelSet second = Border(60, 10, 80, 22);
  frames.insert(second.begin(), second.end());
  EXPECT_EQ(shot.Matching(Pixel(kBlue), 0, 0, 120, 60), frames);
  EXPECT_EQ(shot.Matching(Pixel(kRed), 0, 0, 120, 60), Area(16, 14, 34, 24));
}

TEST_F(DrawObjects, PlainObjectPaintsItsBackgroundAndRestoresTheDrawings) {
  drawing.SetBackgroundColour(Slot(kBlue));
  SDrawObject patch({4, 4, 14, 9}, Slot(kRed), Slot(kWhite));
  patch.SetDrawOffset(2, 1);
  patch.Draw(&drawing);
  EXPECT_EQ(drawing.GetBackgroundColour(), Slot(kBlue));
  Snapshot shot(window.Id(), 120, 60);
  EXPECT_EQ(shot.Matching(Pixel(kRed), 0, 0, 120, 60), Area(6, 5, 16, 10));
  patch.Draw(nullptr);
}

TEST_F(DrawObjects, TextIsDrawnOnItsPatchAndMovedByTheTextOffsetOnly) {
  context::SDrawFont* font = statdata.FindFont(10, false, false);
  ASSERT_TRUE(font->IsLoaded());
  drawing.SetFont(font);
  const SDrawObject::Rect area{0, 0, 60, 20};
  STextObject text("Hi", area, Slot(kWhite), Slot(kBlack), Slot(kRed), 0, nullptr);
  text.Draw(&drawing);
  Snapshot plain(window.Id(), 120, 60);
  const PixelSet glyphs = plain.Matching(Pixel(kRed), 0, 0, 120, 60);
  ASSERT_FALSE(glyphs.empty());
  // The patch and the glyphs together cover the rectangle exactly.
  PixelSet covered = plain.Matching(Pixel(kWhite), 0, 0, 120, 60);
  covered.insert(glyphs.begin(), glyphs.end());
  EXPECT_EQ(covered, Area(0, 0, 60, 20));

  STextObject moved("Hi", {0, 30, 60, 50}, Slot(kWhite), Slot(kBlack), Slot(kRed), 0, nullptr);
  moved.SetTextOffset(7, 2);
  moved.Draw(&drawing);
  Snapshot after(window.Id(), 120, 60);
  const PixelSet movedGlyphs = Shifted(glyphs, 7, 32);
  EXPECT_EQ(after.Matching(Pixel(kRed), 0, 30, 120, 60), movedGlyphs);
  PixelSet patch = after.Matching(Pixel(kWhite), 0, 30, 120, 60);
  patch.insert(movedGlyphs.begin(), movedGlyphs.end());
  EXPECT_EQ(patch, Area(0, 30, 60, 50));
}

TEST_F(DrawObjects, OnlyTheXVariantBringsItsOwnFont) {
  context::SDrawFont* font = statdata.FindFont(10, true, false);
  ASSERT_TRUE(font->IsLoaded());
  STextObject borrowing("W", {0, 0, 40, 20}, Slot(kWhite), Slot(kBlack), Slot(kRed), 0, font);
  borrowing.Draw(&drawing);
  STextObjectX own("W", {50, 0, 90, 20}, Slot(kWhite), Slot(kBlack), Slot(kRed), 0, font);
  own.Draw(&drawing);
  Snapshot shot(window.Id(), 120, 60);
  EXPECT_TRUE(shot.Matching(Pixel(kRed), 0, 0, 40, 20).empty());
  EXPECT_FALSE(shot.Matching(Pixel(kRed), 50, 0, 90, 20).empty());
  EXPECT_EQ(drawing.GetFont(), font);
}

}  // namespace
}  // namespace tovo::gui
