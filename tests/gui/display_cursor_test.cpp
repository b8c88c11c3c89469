// Monitor geometry (a wide single screen counts as monitors side by side, a tall one as stacked, and
// controls are centred on the monitor that holds a point) and the toolkit's arrow pointer.
#include "GuiTest.h"

#include <X11/extensions/Xinerama.h>
#include "gui/SCursor.h"
#include "gui/SDisplay.h"
#include "gui/context/SDrawBitmap.h"
#include "images/ArrowCursor.h"

namespace tovo::gui {
namespace {

using Rect = SDisplay::Rect;

void ExpectRect(const Rect& actual, const Rect& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST(Monitors, ScreenShapeDecidesTheSplit) {
  bool split = false;
  std::vector<Rect> wide = SDisplay::SplitScreen(2560, 1024, &split);
  EXPECT_TRUE(split);
  ASSERT_EQ(wide.size(), 2u);
  ExpectRect(wide[0], {0, 0, 1280, 1024});
  ExpectRect(wide[1], {1280, 0, 2560, 1024});

  // 2560 / (1024 * 0.8) = 3.125: three monitors of round(2560 / 3.125) = 819 rows.
  std::vector<Rect> tall = SDisplay::SplitScreen(1024, 2560, &split);
  EXPECT_TRUE(split);
  ASSERT_EQ(tall.size(), 3u);
  ExpectRect(tall[1], {0, 819, 1024, 1638});

  std::vector<Rect> single = SDisplay::SplitScreen(1280, 1024, &split);
  EXPECT_FALSE(split);
  ASSERT_EQ(single.size(), 1u);
  ExpectRect(single[0], {0, 0, 1280, 1024});
}

TEST(Monitors, ServerScreensAreReadAndControlsAreCentredOnTheMonitorOfAPoint) {
  SDisplay display;
  display.AllMonitorRects();
  ASSERT_GE(display.Count(), 1);
  EXPECT_EQ(display.Count(), static_cast<int>(display.Monitors().size()));
  if (XineramaIsActive(dps)) {
    int heads = 0;
    XineramaScreenInfo* info = XineramaQueryScreens(dps, &heads);
    ASSERT_EQ(display.Count(), heads);
    for (int i = 0; i < heads; ++i)
      ExpectRect(display.Monitors()[i], {info[i].x_org, info[i].y_org, info[i].x_org + info[i].width,
                                         info[i].y_org + info[i].height});
    XFree(info);
    EXPECT_FALSE(display.Split());
  } else if (ScreenCount(dps) == 1) {
    // One 2560 x 1024 screen without Xinerama is two monitors side by side.
    EXPECT_TRUE(display.Split());
    ASSERT_EQ(display.Count(), 2);
    ExpectRect(display.Bounds(), {0, 0, 2560, 1024});
  }

  // Edges belong to a monitor; the first one that holds a point wins; a point on none gives the first.
  const Rect last = display.Monitors().back();
  ExpectRect(display.MonitorRect(SDisplay::Point{display.Monitors()[0].right, 0}), display.Monitors()[0]);
  ExpectRect(display.MonitorRect(SDisplay::Point{-5000, -5000}), display.Monitors()[0]);

  SGlobals globals;
  test::Probe probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild, 200, 100);
  display.CenterOnWindow(&probe, {last.right - 1, last.bottom - 1});
  EXPECT_EQ(probe.GetWindowRect().left, last.left + ((last.right - last.left) - 200) / 2);
  EXPECT_EQ(probe.GetWindowRect().top, last.top + ((last.bottom - last.top) - 100) / 2);
  EXPECT_EQ(probe.GetWindowRect().right - probe.GetWindowRect().left, 200);
}

bool Bit(const unsigned char* bits, int x, int y) { return (bits[y * 3 + x / 8] >> (x % 8)) & 1; }

TEST(Cursor, ArrowTipIsTheHotSpotAndTheMaskCoversTheOutline) {
  using namespace tovo::images;
  EXPECT_TRUE(Bit(kArrowCursorImage, kArrowCursorHotX, kArrowCursorHotY));
  EXPECT_TRUE(Bit(kArrowCursorMask, kArrowCursorHotX, kArrowCursorHotY));
  // Nothing of the arrow lies above or left of its tip.
  for (int x = 0; x < kArrowCursorWidth; ++x) EXPECT_EQ(Bit(kArrowCursorMask, x, 0), x == 0) << x;
  for (int y = 0; y < kArrowCursorHeight; ++y)
    for (int x = 0; x < kArrowCursorWidth; ++x)
      if (Bit(kArrowCursorImage, x, y)) {
        EXPECT_TRUE(Bit(kArrowCursorMask, x, y)) << x << "," << y;
      }
}

TEST(Cursor, ArrowIsBuiltAndOnlyDepthOneBitmapsMakeACursor) {
  SGlobals globals;
  test::Probe probe(&globals, nullptr, kStyleTopLevel | kStyleRootChild);
  SCursor arrow;
  arrow.Bind(probe.GetWindow());
  arrow.CreateDefault();
  EXPECT_NE(arrow.GetCursor(), 0u);
  EXPECT_FALSE(arrow.Invisible());
  arrow.Set();
  arrow.Free();

  // A colour pixmap is refused instead of ending in BadMatch; the arrow stays.
  const unsigned long built = arrow.GetCursor();
  context::SDrawBitmap colour(nullptr, 24, 24, false);
  arrow.Create(&colour, &colour, 0, 0);
  EXPECT_EQ(arrow.GetCursor(), built);

  SCursor unbound;
  unbound.CreateDefault();
  unbound.Set();
  EXPECT_EQ(unbound.GetWindow(), 0u);

  SCursor invisible(kCursorInvisible, static_cast<int>(probe.GetWindow()));
  EXPECT_TRUE(invisible.Invisible());
  EXPECT_NE(invisible.GetCursor(), 0u);
  XSync(dps, False);
}

}  // namespace
}  // namespace tovo::gui
