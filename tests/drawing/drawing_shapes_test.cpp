// Outlines, fills, polygons, pixel digits, logic codes and blits put exactly the pixels the toolkit's
// corner-form rectangles promise (right and bottom exclusive) onto a real window, in the shared colours.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "XTestSupport.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawImage.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"

using tovo::gui::context::SDrawBitmap;
using tovo::gui::context::SDrawDevice;
using tovo::gui::context::SDrawImage;
using tovo::gui::context::SDrawing;
using tovo::gui::context::SDrawMemoryDevice;
using tovo::gui::context::statdata;
using tovo::test::BareWindow;
using tovo::test::PixelSet;
using tovo::test::Snapshot;

namespace {

constexpr int kRed = 4, kOrange = 2, kBlue = 10, kGreen = 13, kBlack = 20, kFrameGrey = 23;

unsigned long Slot(int slot) { return static_cast<unsigned long>(static_cast<unsigned>(statdata.GetColour(slot))); }

class DrawingOnWindow : public testing::Test {
 protected:
  DrawingOnWindow() : window(200, 120) { drawing.SetDevice(new SDrawDevice(window.Id())); }

  // Pen and brush of one shared colour, as controls paint.
  void UseColour(int slot) {
    drawing.SetPen(statdata.FindPen(statdata.GetColour(slot)));
    drawing.SetBrush(statdata.FindBrush(statdata.GetColour(slot)));
  }

  BareWindow window;
  SDrawing drawing;
};

PixelSet RectangleArea(int left, int top, int right, int bottom) {
  PixelSet out;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) out.insert({x, y});
  return out;
}

// The pixels of pen-drawn segments: X leaves the end point of each one-pixel line undrawn.
PixelSet Segments(const std::vector<std::array<int, 4>>& segments) {
  PixelSet out;
  for (const auto& s : segments) {
    int dx = (s[2] > s[0]) - (s[2] < s[0]), dy = (s[3] > s[1]) - (s[3] < s[1]);
    for (int x = s[0], y = s[1]; x != s[2] || y != s[3]; x += dx, y += dy) out.insert({x, y});
  }
  return out;
}

}  // namespace

TEST_F(DrawingOnWindow, RectangleOutlineCoversLeftTopToRightBottomMinusOne) {
  UseColour(kRed);
  drawing.DrawRect(SDrawing::Rect{10, 10, 20, 20});
  Snapshot shot(window.Id(), 40, 40);
  PixelSet expected;
  for (int i = 10; i <= 19; ++i) expected.insert({{i, 10}, {i, 19}, {10, i}, {19, i}});
  EXPECT_EQ(expected, shot.Except(Slot(kBlack), 0, 0, 40, 40));
  EXPECT_EQ(Slot(kRed), shot.At(19, 19));
}

TEST_F(DrawingOnWindow, FillsCoverExactlyTheirRectangleAndEmptyOnesNothing) {
  UseColour(kGreen);
  drawing.FillRect(30, 10, 40, 25);
  drawing.FillRect(SDrawing::Point{50, 10}, SDrawing::Point{50, 30});  // no width
  drawing.FillRect(SDrawing::Rect{70, 30, 60, 40});                    // inverted
  drawing.DrawRect(90, 10, 90, 20);
  Snapshot shot(window.Id(), 120, 60);
  EXPECT_EQ(RectangleArea(30, 10, 40, 25), shot.Except(Slot(kBlack), 0, 0, 120, 60));
}

TEST_F(DrawingOnWindow, RoundedRectanglesLeaveTheirCornersOpen) {
  UseColour(kOrange);
  drawing.FillRoundedRect(SDrawing::Rect{10, 10, 60, 50}, 7, 7);
  UseColour(kFrameGrey);
  drawing.DrawRoundedRect(SDrawing::Rect{80, 10, 130, 50}, 7, 7);
  Snapshot shot(window.Id(), 140, 60);
  // Filled: body and edge middles in colour, the very corners not.
  EXPECT_EQ(Slot(kOrange), shot.At(35, 30));
  EXPECT_EQ(Slot(kOrange), shot.At(35, 10));
  EXPECT_EQ(Slot(kOrange), shot.At(10, 30));
  EXPECT_EQ(Slot(kOrange), shot.At(59, 30));
  EXPECT_EQ(Slot(kOrange), shot.At(35, 49));
  for (auto corner : {std::pair{10, 10}, {59, 10}, {10, 49}, {59, 49}})
    EXPECT_EQ(Slot(kBlack), shot.At(corner.first, corner.second)) << corner.first << "," << corner.second;
  EXPECT_TRUE(shot.Except(Slot(kBlack), 0, 0, 10, 60).empty());
  EXPECT_TRUE(shot.Except(Slot(kBlack), 60, 0, 80, 60).empty());
  // Outline: the edges' middles up to right - 1 and bottom - 1, an empty inside, open corners.
  EXPECT_EQ(Slot(kFrameGrey), shot.At(105, 10));
  EXPECT_EQ(Slot(kFrameGrey), shot.At(105, 49));
  EXPECT_EQ(Slot(kFrameGrey), shot.At(80, 30));
  EXPECT_EQ(Slot(kFrameGrey), shot.At(129, 30));
  EXPECT_EQ(Slot(kBlack), shot.At(105, 30));
  EXPECT_EQ(Slot(kBlack), shot.At(80, 10));
  EXPECT_TRUE(shot.Except(Slot(kBlack), 130, 0, 140, 60).empty());
}

TEST_F(DrawingOnWindow, EllipsesAndPiesStayInTheirBounds) {
  UseColour(kBlue);
  drawing.FillEllipse(SDrawing::Rect{10, 10, 50, 40});
  drawing.FillPie(SDrawing::Rect{60, 10, 100, 50}, 0, 90);
  Snapshot shot(window.Id(), 120, 60);
  EXPECT_EQ(Slot(kBlue), shot.At(30, 25));
  EXPECT_EQ(Slot(kBlack), shot.At(11, 11));
  PixelSet ellipse = shot.Except(Slot(kBlack), 0, 0, 55, 60);
  EXPECT_EQ(ellipse.size(), shot.Except(Slot(kBlack), 10, 10, 50, 40).size());
  // A quarter pie from 0 to 90 degrees lies in the upper right quarter.
  EXPECT_EQ(Slot(kBlue), shot.At(90, 20));
  EXPECT_EQ(Slot(kBlack), shot.At(70, 20));
  EXPECT_EQ(Slot(kBlack), shot.At(90, 40));
}

TEST_F(DrawingOnWindow, PolygonsFillConcaveShapesAndIgnoreDegenerateInput) {
  UseColour(kRed);
  // A "U": the notch between the arms must stay empty.
  const SDrawing::Point u[] = {{10, 10}, {20, 10}, {20, 40}, {40, 40}, {40, 10}, {50, 10}, {50, 50}, {10, 50}};
  drawing.FillPoly(u, 8);
  drawing.FillPoly(nullptr, 8);
  drawing.FillPoly(u, 1);
  drawing.DrawPoly(u, 1);
  Snapshot shot(window.Id(), 120, 60);
  EXPECT_EQ(Slot(kRed), shot.At(15, 30));
  EXPECT_EQ(Slot(kRed), shot.At(45, 30));
  EXPECT_EQ(Slot(kRed), shot.At(30, 45));
  EXPECT_EQ(Slot(kBlack), shot.At(30, 25));
  EXPECT_TRUE(shot.Except(Slot(kBlack), 55, 0, 120, 60).empty());

  const SDrawing::Point open[] = {{70, 10}, {90, 10}, {90, 30}};
  drawing.DrawPoly(open, 3);
  Snapshot lines(window.Id(), 120, 60);
  EXPECT_EQ(Slot(kRed), lines.At(80, 10));
  EXPECT_EQ(Slot(kRed), lines.At(90, 20));
  // Open: nothing closes the path back to the start.
  EXPECT_EQ(Slot(kBlack), lines.At(80, 20));
}

TEST_F(DrawingOnWindow, PixelDigitsUseTheirSegments) {
  UseColour(kGreen);
  drawing.DrawPixelNumber(10, 10, 8);
  drawing.DrawPixelNumber(SDrawing::Point{30, 10}, 1);
  drawing.DrawPixelNumber(50, 10, 7);
  drawing.DrawPixelNumber(70, 10, 10);
  drawing.DrawPixelNumber(90, 10, -1);
  Snapshot shot(window.Id(), 120, 40);
  const int l = 11, r = 15, t = 13, m = 16, b = 19;
  EXPECT_EQ(Segments({{l, t, r, t}, {l, m, r, m}, {l, b, r, b}, {l, t, l, m}, {l, m, l, b}, {r, t, r, m}, {r, m, r, b}}),
            shot.Except(Slot(kBlack), 0, 0, 25, 40));
  EXPECT_EQ(Segments({{32, t, 33, t}, {33, t, 33, b}}), shot.Except(Slot(kBlack), 25, 0, 45, 40));
  EXPECT_EQ(Segments({{51, t, 55, t}, {55, t, 55, m}, {55, m, 55, b}}), shot.Except(Slot(kBlack), 45, 0, 65, 40));
  EXPECT_TRUE(shot.Except(Slot(kBlack), 65, 0, 120, 40).empty());
}

TEST_F(DrawingOnWindow, LogicCodesCombineWithWhatIsThereAndUnknownCodesCopy) {
  UseColour(kRed);
  drawing.FillRect(10, 10, 30, 30);
  drawing.FillRect(40, 10, 60, 30);
  drawing.SetLogic(1);  // xor: red over red cancels out
  drawing.FillRect(10, 10, 30, 30);
  drawing.SetLogic(99);
  EXPECT_EQ(99, drawing.GetLogic());
  UseColour(kBlue);
  drawing.FillRect(40, 10, 60, 30);
  Snapshot shot(window.Id(), 80, 40);
  EXPECT_EQ(0ul, shot.At(20, 20));
  EXPECT_EQ(Slot(kBlue), shot.At(50, 20));
}

TEST_F(DrawingOnWindow, BackgroundUsesTheSharedPenAndBrushOfItsColour) {
  int green = statdata.GetColour(kGreen), orange = statdata.GetColour(kOrange);
  drawing.SetColours(green, orange, statdata.GetColour(kBlue), 0, 0, 0, 0);
  drawing.DrawBackground(SDrawing::Rect{0, 0, 20, 20}, false);
  drawing.SetBackgroundColour(true);
  drawing.DrawBackground(SDrawing::Rect{20, 0, 40, 20}, false);
  drawing.DrawBackground(SDrawing::Rect{40, 0, 60, 20}, true);
  size_t brushes = statdata.Brushes().size(), pens = statdata.Pens().size();
  drawing.DrawBackground(SDrawing::Rect{40, 0, 60, 20}, true);
  EXPECT_EQ(brushes, statdata.Brushes().size());
  EXPECT_EQ(pens, statdata.Pens().size());
  EXPECT_EQ(drawing.GetBrush(), statdata.FindBrush(statdata.GetColour(kBlue)));
  Snapshot shot(window.Id(), 80, 30);
  EXPECT_EQ(RectangleArea(0, 0, 20, 20), shot.Matching(Slot(kGreen), 0, 0, 80, 30));
  EXPECT_EQ(RectangleArea(20, 0, 40, 20), shot.Matching(Slot(kOrange), 0, 0, 80, 30));
  EXPECT_EQ(RectangleArea(40, 0, 60, 20), shot.Matching(Slot(kBlue), 0, 0, 80, 30));
}

TEST_F(DrawingOnWindow, BlitsCopyBetweenDevicesAndImages) {
  // Off screen: a bitmap painted through a memory device swapped into the drawing, then restored.
  SDrawBitmap bitmap(nullptr, 50, 40, true);
  ASSERT_EQ(50, bitmap.Width());
  SDrawDevice* windowDevice = drawing.GetDevice();
  auto memory = std::make_unique<SDrawMemoryDevice>(windowDevice, &bitmap);
  drawing.SetDevice(memory.get());
  UseColour(kBlack);
  drawing.FillRect(0, 0, 50, 40);
  UseColour(kOrange);
  drawing.FillRect(5, 5, 15, 10);
  UseColour(kBlue);
  drawing.DrawRect(20, 5, 30, 15);
  drawing.SetDevice(windowDevice);
  Snapshot onScreenBefore(window.Id(), 200, 120);
  EXPECT_TRUE(onScreenBefore.Except(Slot(kBlack), 0, 0, 200, 120).empty());

  drawing.DrawMemory(memory.get(), SDrawing::Point{100, 50}, SDrawing::Rect{0, 0, 50, 40});
  drawing.DrawMemory(memory.get(), 160, 10, 20, 5, 30, 15, static_cast<unsigned char>(128));
  Snapshot shot(window.Id(), 200, 120);
  Snapshot source(bitmap.GetPixmap(), 50, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) ASSERT_EQ(source.At(x, y), shot.At(100 + x, 50 + y)) << x << "," << y;
  EXPECT_EQ(Slot(kBlue), shot.At(160, 10));
  EXPECT_EQ(Slot(kBlue), shot.At(169, 19));
  EXPECT_EQ(Slot(kBlack), shot.At(165, 15));

  // From memory pixels through an image: the source corner goes to the destination corner.
  std::vector<uint32_t> pixels(16 * 8, 0xDEADBEEF);
  SDrawImage image(pixels.data(), 16, 8, 16 * 4, 32);
  ASSERT_NE(nullptr, image.Get());
  EXPECT_EQ(0u, pixels[5]);
  pixels[2 * 16 + 3] = static_cast<uint32_t>(statdata.GetColour(kGreen));
  drawing.DrawImage(&image, SDrawing::Rect{10, 60, 20, 66}, SDrawing::Rect{3, 2, 13, 8});
  Snapshot put(window.Id(), 200, 120);
  EXPECT_EQ(Slot(kGreen), put.At(10, 60));
  EXPECT_EQ((PixelSet{{10, 60}}), put.Except(Slot(kBlack), 0, 55, 40, 75));

  // Selecting another bitmap redirects the memory device; null keeps the current one.
  SDrawBitmap other(nullptr, 8, 8, true);
  memory->Select(nullptr);
  EXPECT_EQ(&bitmap, memory->Selected());
  memory->Select(&other);
  EXPECT_EQ(other.GetPixmap(), memory->GetDrawable());
}

TEST(DrawingUnbound, DrawsNothingAndKeepsItsColourSet) {
  SDrawing drawing;
  drawing.FillRect(0, 0, 10, 10);
  drawing.DrawRotatedText("x", SDrawing::Rect{0, 0, 10, 10}, 90, 0, SDrawing::Point{0, 0});
  drawing.SetFrameColour(1, 2, 3);
  EXPECT_EQ(1, drawing.GetFrameColour(true, false));
  EXPECT_EQ(2, drawing.GetFrameColour(true, true));
  EXPECT_EQ(3, drawing.GetFrameColour(false, true));
  drawing.SetColours(10, 11, 12, 13, 14, 15, 16);
  EXPECT_EQ(10, drawing.GetBackgroundColour());
  EXPECT_EQ(12, drawing.GetParentBackgroundColour());
  EXPECT_EQ(10, drawing.GetFrameColour(true, true));
  drawing.SetBackground(21, true);
  EXPECT_EQ(21, drawing.GetBackgroundColour());
  drawing.SetBackgroundColour(false);
  EXPECT_EQ(10, drawing.GetBackgroundColour());
  drawing.SetForegroundColour(true);
  EXPECT_EQ(14, drawing.GetForegroundColour());
  EXPECT_EQ(16, drawing.GetTextColour(true));
  EXPECT_EQ(15, drawing.GetTextColour(false));
}
