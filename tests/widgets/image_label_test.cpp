// The image label draws its image over the whole control and nothing else, and reports presses by button
// as labels do.
#include "WidgetTest.h"
#include "gui/context/SColour.h"
#include "gui/widgets/SImageLabel.h"

namespace tovo::gui {
namespace {

using test::Probe;
using test::SolidImage;
using test::WindowPixels;

class ImageLabelTest : public test::WidgetTest {};

TEST_F(ImageLabelTest, DrawsOnlyItsImage) {
  SImageLabel logo(&globals, nullptr, 1, "logo", 0, kX, kY, 30, 20, 0, false);
  const int background = SCOL(0, 90, 0);
  logo.SetColours(background, background, background, 0, 0, 0, 0);
  logo.Show();
  Settle();
  // Without an image nothing is painted, not even the background.
  EXPECT_EQ(WindowPixels(logo.GetWindow(), 30, 20).Count(background), 0);

  SolidImage first(30, 20, "#FF8000"), second(30, 20, "#00C0FF");
  logo.LoadBackground(first.Data(), 30, 20);
  logo.LoadBackground(second.Data(), 30, 20);
  logo.Refresh();
  Settle();
  WindowPixels pixels(logo.GetWindow(), 30, 20);
  EXPECT_EQ(pixels.Count(SCOL(0, 192, 255)), 30 * 20);
}

TEST_F(ImageLabelTest, PressesAreReportedByButton) {
  SImageLabel logo(&globals, nullptr, 1, "logo", 0, kX, kY, 30, 20, 0, false);
  Probe listener(&globals, nullptr, 0);
  logo.AddEventListener(&listener, kEventValueChanged);
  Click(logo, Button2);
  Click(logo, Button1);
  Click(logo, Button3);
  EXPECT_EQ(Values(listener, kEventValueChanged), (std::vector<int>{2, 1, 3}));
}

}  // namespace
}  // namespace tovo::gui
