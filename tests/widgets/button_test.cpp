// Buttons change their value by the rules of their type and report it (type 3): momentary, toggle with
// and without the report of switching off, click buttons that report the mouse button and stay at 0,
// code-only and menu buttons; they draw pressed and hover states, the active colour, the alternative text
// and a pair of images instead of background and text.
#include "WidgetTest.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawFont.h"
#include "gui/widgets/SButton.h"

namespace tovo::gui {
namespace {

using context::statdata;
using test::Probe;
using test::SolidImage;
using test::WindowPixels;

using Button = SButton<false>;

class ButtonTest : public test::WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    button = std::make_unique<Button>(&globals, nullptr, 1, "button", 0, kX, kY, kW, kH, 0, false);
    button->AddEventListener(&listener, kEventValueChanged);
  }
  void TearDown() override {
    button.reset();
    WidgetTest::TearDown();
  }

  std::vector<int> Reports() const { return Values(listener, kEventValueChanged); }

  static constexpr int kW = 40;
  static constexpr int kH = 16;
  Probe listener{&globals, nullptr, 0};
  std::unique_ptr<Button> button;
};

TEST_F(ButtonTest, SettingTheSameValueChangesNothing) {
  button->Show();
  Settle();
  EXPECT_FALSE(button->SetValue(0, true));
  XSync(dps, False);
  EXPECT_EQ(PumpToolkitEvents(), 0) << "no redraw was requested";
  EXPECT_TRUE(Reports().empty());

  EXPECT_TRUE(button->SetValue(1, false));
  EXPECT_TRUE(button->SetValue(0, true));
  EXPECT_EQ(Reports(), std::vector<int>{0});
}

TEST_F(ButtonTest, MomentaryReportsThePressAndOptionallyTheRelease) {
  Click(*button, Button1);
  EXPECT_EQ(button->GetValue(), 0);
  EXPECT_EQ(Reports(), std::vector<int>{1});

  button->SetType(kButtonMomentary | kButtonReportOff);
  Press(*button, Button1);
  EXPECT_EQ(button->GetValue(), 1);
  Release(*button, Button1);
  EXPECT_EQ(button->GetValue(), 0);
  EXPECT_EQ(Reports(), (std::vector<int>{1, 1, 0}));

  // The pointer leaving a held button lets it go as a release would.
  Press(*button, Button1);
  Cross(*button, LeaveNotify);
  EXPECT_EQ(button->GetValue(), 0);
  EXPECT_EQ(Reports(), (std::vector<int>{1, 1, 0, 1, 0}));
}

TEST_F(ButtonTest, ToggleReportsSwitchingOffOnlyWhenAsked) {
  for (int type : {0, int{kButtonReportOff}, int{kButtonReportOffAlso}}) {
    SCOPED_TRACE(type);
    listener.messages.clear();
    button->SetType(type);
    Click(*button, Button1);
    EXPECT_EQ(button->GetValue(), 1);
    Click(*button, Button1);
    EXPECT_EQ(button->GetValue(), 0);
    EXPECT_EQ(Reports(), type ? (std::vector<int>{1, 0}) : (std::vector<int>{1}));
  }
  // Right and middle presses leave a toggle alone.
  Click(*button, Button3);
  Click(*button, Button2);
  EXPECT_EQ(button->GetValue(), 0);
}

TEST_F(ButtonTest, ClickButtonReportsWhichMouseButtonAndStaysAtZero) {
  button->SetType(kButtonClick);
  Click(*button, Button1);
  EXPECT_EQ(button->GetValue(), 0);
  Click(*button, Button3);
  EXPECT_EQ(button->GetValue(), 0);
  Click(*button, Button2);
  Press(*button, Button1);
  DoublePress(*button, Button1);
  Release(*button, Button1);
  EXPECT_EQ(button->GetValue(), 0);
  EXPECT_EQ(Reports(), (std::vector<int>{1, 3, 2, 1, 1}));
  // The pointer is elsewhere, so the button does not stay hovered after the click.
  EXPECT_FALSE(button->IsHovering());
}

TEST_F(ButtonTest, CodeOnlyButtonIgnoresTheMouse) {
  button->SetType(kButtonCodeOnly);
  Click(*button, Button1);
  EXPECT_EQ(button->GetValue(), 0);
  EXPECT_TRUE(Reports().empty());
  button->SetValue(1, true);
  EXPECT_EQ(Reports(), std::vector<int>{1});
}

TEST_F(ButtonTest, MenuButtonOpensAndClosesTheWindowMenu) {
  Probe menu(&globals, nullptr, 0, 60, 30);
  button->SetMenu(&menu);
  button->SetType(kButtonMenu | kButtonReportOff);
  button->Show();
  Settle();

  Click(*button, Button1);
  EXPECT_EQ(button->GetValue(), 1);
  EXPECT_TRUE(button->MenuShown());
  EXPECT_TRUE(menu.IsMapped());
  EXPECT_EQ(menu.GetWindowRect().left, kX);
  EXPECT_EQ(menu.GetWindowRect().top, kY + kH);
  // A press on the open button does not toggle it; the middle button closes the menu.
  Click(*button, Button1);
  EXPECT_EQ(button->GetValue(), 1);
  Click(*button, Button2);
  EXPECT_EQ(button->GetValue(), 0);
  EXPECT_FALSE(button->MenuShown());
  EXPECT_FALSE(menu.IsMapped());

  // A menu that closes resets its button; the press that closed it must not open it again.
  Click(*button, Button3);
  EXPECT_TRUE(button->MenuShown());
  button->CloseMenu();
  button->Reset();
  EXPECT_TRUE(button->MenuJustClosed());
  Press(*button, Button1);
  EXPECT_FALSE(button->MenuShown());
  Release(*button, Button1);
  Click(*button, Button1);
  EXPECT_TRUE(button->MenuShown());
  EXPECT_EQ(Reports(), (std::vector<int>{1, 0, 1, 0, 1}));
  button->CloseMenu();
}

TEST_F(ButtonTest, ClearStateLetsAHeldMomentaryButtonGoSilently) {
  Press(*button, Button1);
  Cross(*button, EnterNotify);
  ASSERT_EQ(button->GetValue(), 1);
  ASSERT_TRUE(button->IsHovering());
  button->ClearState();
  EXPECT_EQ(button->GetValue(), 0);
  EXPECT_FALSE(button->IsHovering());
  EXPECT_FALSE(button->MouseState()[context::kMouseLeftDown]);
  EXPECT_EQ(Reports(), std::vector<int>{1});
}

class ButtonDrawingTest : public ButtonTest {
 protected:
  void SetUp() override {
    ButtonTest::SetUp();
    button->SetColours(kBackground, kPressed, kParent, 0, 0, 0, 0);
    button->SetLabelColours(kText, kDisabled);
    button->SetLabelColourActive(kActive);
    button->SetHoverColours(kHoverOff, kHoverOn);
    button->SetLabel("I", statdata.FindFont(12, true, false), 0);
  }

  WindowPixels Pixels() {
    Settle();
    return WindowPixels(button->GetWindow(), kW, kH);
  }
  // The colour of the outline, read at the top-left corner.
  unsigned long Outline() { return Pixels().At(0, 0); }

  const int kBackground = SCOL(20, 20, 20);
  const int kPressed = SCOL(0, 0, 200);
  const int kParent = SCOL(60, 0, 0);
  const int kText = SCOL(240, 240, 240);
  const int kDisabled = SCOL(100, 100, 100);
  const int kActive = SCOL(255, 255, 0);
  const int kHoverOff = SCOL(0, 255, 0);
  const int kHoverOn = SCOL(255, 0, 255);
};

unsigned long PixelOf(int colour) {
  return static_cast<unsigned long>(static_cast<unsigned>(colour));
}

TEST_F(ButtonDrawingTest, PressedButtonShowsPressedBackgroundAndActiveText) {
  button->SetType(kButtonReportOff);
  button->Show();
  {
    WindowPixels released = Pixels();
    EXPECT_GT(released.Count(kBackground), kW * kH / 2);
    EXPECT_GT(released.Count(kText), 0);
    EXPECT_EQ(released.Count(kActive), 0);
  }
  button->SetValue(1, false);
  WindowPixels pressed = Pixels();
  EXPECT_GT(pressed.Count(kPressed), kW * kH / 2);
  EXPECT_EQ(pressed.Count(kText), 0);
  const int plainText = pressed.Count(kActive);
  EXPECT_GT(plainText, 0);

  // While pressed the alternative text stands in for the label.
  button->SetLabelAlternative("WWW", true);
  button->Refresh();
  EXPECT_GT(Pixels().Count(kActive), 2 * plainText);
  button->SetValue(0, false);
  EXPECT_EQ(Pixels().Count(kActive), 0);
}

TEST_F(ButtonDrawingTest, OutlineFollowsHoverValueAndFrameStyle) {
  button->SetType(kButtonReportOff);
  button->Show();
  // Without the frame style the outline takes the parent's colour and disappears.
  EXPECT_EQ(Outline(), PixelOf(kParent));
  Cross(*button, EnterNotify);
  EXPECT_EQ(Outline(), PixelOf(kHoverOff));
  button->SetValue(1, false);
  EXPECT_EQ(Outline(), PixelOf(kHoverOn));
  Cross(*button, LeaveNotify);
  EXPECT_EQ(Outline(), PixelOf(kParent));

  const int enabled = SCOL(0, 128, 128), highlighted = SCOL(128, 128, 0), disabled = SCOL(128, 0, 128);
  Button framed(&globals, nullptr, 2, "framed", kStyleFramedOutline, kX, kY, kW, kH, 0, false);
  framed.SetFrameColour(enabled, highlighted, disabled);
  framed.Show();
  Settle();
  EXPECT_EQ(WindowPixels(framed.GetWindow(), kW, kH).At(0, 0), PixelOf(enabled));
  framed.SetValue(1, false);
  Settle();
  EXPECT_EQ(WindowPixels(framed.GetWindow(), kW, kH).At(0, 0), PixelOf(highlighted));
  framed.Enable(false);
  Settle();
  EXPECT_EQ(WindowPixels(framed.GetWindow(), kW, kH).At(0, 0), PixelOf(disabled));
}

TEST_F(ButtonDrawingTest, TwoImagesReplaceBackgroundAndText) {
  SolidImage released(kW, kH, "#FF0000"), pressed(kW, kH, "#0000FF");
  button->SetType(kButtonReportOff);
  button->SetBitmaps(released.Data(), pressed.Data(), kW, kH);
  EXPECT_TRUE(button->GetType() & kButtonImages);
  button->Show();
  const int red = SCOL(255, 0, 0), blue = SCOL(0, 0, 255);
  // The inside is all image; the outline around it is drawn as for any button.
  constexpr int kInside = (kW - 2) * (kH - 2);
  EXPECT_EQ(Pixels().Count(red, 1, 1, kW - 1, kH - 1), kInside);
  Click(*button, Button1);
  EXPECT_EQ(Pixels().Count(blue, 1, 1, kW - 1, kH - 1), kInside);
}

TEST_F(ButtonDrawingTest, OneImageIsNotEnough) {
  SolidImage released(kW, kH, "#FF0000");
  button->SetBitmaps(released.Data(), nullptr, kW, kH);
  EXPECT_FALSE(button->GetType() & kButtonImages);
  // Ready bitmaps pass to the button even when it cannot use them.
  button->SetBitmaps(new context::SDrawBitmap(released.Data(), kW, kH, false), nullptr);
  EXPECT_FALSE(button->GetType() & kButtonImages);
  button->Show();
  WindowPixels pixels = Pixels();
  EXPECT_EQ(pixels.Count(SCOL(255, 0, 0)), 0);
  EXPECT_GT(pixels.Count(kBackground), kW * kH / 2);
  EXPECT_GT(pixels.Count(kText), 0);
}

}  // namespace
}  // namespace tovo::gui
