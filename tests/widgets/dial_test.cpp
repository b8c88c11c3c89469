// The dial steps its value by the wheel, by vertical drags (fine: one step per more than 5 pixels; right
// button: per more than 12; coarse: one unit per pixel, clipped) and by middle clicks towards the side
// clicked, never past its limits; user changes are reported as control events (type 5), and so is a
// Control-click that returns it to its default. It shows the value, or the text a table gives for it.
#include "WidgetTest.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawFont.h"
#include "gui/widgets/SDial.h"

namespace tovo::gui {
namespace {

using context::statdata;
using test::Probe;
using test::WindowPixels;

using Dial = SDial<int>;

class DialTest : public test::WidgetTest {
 protected:
  static constexpr int kW = 30;
  static constexpr int kH = 14;
  // Where presses land, in the dial.
  static constexpr int kPressX = 10;
  static constexpr int kPressY = 7;

  void SetUp() override {
    WidgetTest::SetUp();
    dial = MakeDial(kX, kY, true);
  }
  void TearDown() override {
    dial.reset();
    WidgetTest::TearDown();
  }

  std::unique_ptr<Dial> MakeDial(int x, int y, bool wholeZone) {
    auto made = std::make_unique<Dial>(&globals, nullptr, globals.NextId(), "dial", 0, x, y, kW, kH, false,
                                       wholeZone, 0, 0, 0, 16, 4);
    made->AddEventListener(&listener, kEventControlChanged);
    made->AddEventListener(&listener, kEventValueChanged);
    made->Show();
    Settle();
    return made;
  }

  std::vector<int> Changes() const { return Values(listener, kEventControlChanged); }

  // A button goes down with the real pointer at the same place, as the dial reads it from the server.
  void PressAt(unsigned button, int x, int y, unsigned state = 0) {
    PointerTo(kX + x, kY + y);
    Press(*dial, button, x, y, state);
  }
  // The pointer moves to y in the dial with a button held: the grab sends the motion to the dial.
  void DragTo(int y) {
    PointerTo(kX + kPressX, kY + y);
    Motion(*dial, kPressX, y);
  }
  void Wheel(unsigned button) { Press(*dial, button); }

  Probe listener{&globals, nullptr, 0};
  std::unique_ptr<Dial> dial;
};

TEST_F(DialTest, WheelStepsByOneWithinTheLimits) {
  dial->SetValue(1, true);
  Wheel(Button5);
  Wheel(Button5);
  EXPECT_EQ(dial->GetValue(), 0);
  Wheel(Button4);
  Wheel(Button4);
  EXPECT_EQ(dial->GetValue(), 2);
  EXPECT_EQ(Changes(), (std::vector<int>{0, 1, 2}));

  dial->SetValue(16, true);
  listener.messages.clear();
  Wheel(Button4);
  EXPECT_EQ(dial->GetValue(), 16);
  EXPECT_TRUE(listener.messages.empty());
}

TEST_F(DialTest, FineDragStepsOnceForMoreThanFivePixels) {
  dial->SetValue(8, false);
  PressAt(Button1, kPressX, kPressY);
  ASSERT_EQ(capture, dial.get()) << "the drag needs the pointer grab";
  DragTo(kPressY - 5);
  EXPECT_EQ(dial->GetValue(), 8);
  DragTo(kPressY - 6);
  EXPECT_EQ(dial->GetValue(), 9);
  // The count starts again where the last step was taken; a long move is still one step.
  DragTo(kPressY - 11);
  EXPECT_EQ(dial->GetValue(), 9);
  DragTo(kPressY - 60);
  EXPECT_EQ(dial->GetValue(), 10);
  DragTo(kPressY - 40);
  EXPECT_EQ(dial->GetValue(), 9);
  Release(*dial, Button1, kPressX, kPressY - 40);
  EXPECT_EQ(capture, nullptr);
  DragTo(kPressY + 40);
  EXPECT_EQ(dial->GetValue(), 9) << "no drag without a button held";
  EXPECT_EQ(Changes(), (std::vector<int>{9, 10, 9}));
}

TEST_F(DialTest, RightDragNeedsMoreThanTwelvePixels) {
  dial->SetValue(8, false);
  PressAt(Button3, kPressX, kPressY);
  DragTo(kPressY + 12);
  EXPECT_EQ(dial->GetValue(), 8);
  DragTo(kPressY + 13);
  EXPECT_EQ(dial->GetValue(), 7);
  Release(*dial, Button3, kPressX, kPressY + 13);
  EXPECT_EQ(Changes(), std::vector<int>{7});
}

TEST_F(DialTest, CoarseDragMovesOneUnitPerPixelAndIsClipped) {
  dial->fineDrag = false;
  dial->SetValue(10, false);
  PressAt(Button1, kPressX, kPressY);
  DragTo(kPressY - 3);
  EXPECT_EQ(dial->GetValue(), 13);
  DragTo(kPressY - 13);
  EXPECT_EQ(dial->GetValue(), 16);
  DragTo(kPressY - 11);
  EXPECT_EQ(dial->GetValue(), 14);
  Release(*dial, Button1, kPressX, kPressY - 11);
  EXPECT_EQ(Changes(), (std::vector<int>{13, 16, 14}));
}

TEST_F(DialTest, MiddleClickStepsTowardsTheSideClicked) {
  dial->SetValue(5, false);
  // The zone is the whole dial, 0 to 30: right of 15 goes up, 15 and left of it go down.
  PressAt(Button2, 16, kPressY);
  Release(*dial, Button2, 16, kPressY);
  EXPECT_EQ(dial->GetValue(), 6);
  PressAt(Button2, 15, kPressY);
  Release(*dial, Button2, 15, kPressY);
  EXPECT_EQ(dial->GetValue(), 5);
  EXPECT_EQ(Changes(), (std::vector<int>{6, 5}));
}

TEST_F(DialTest, AtTheMaximumNothingGoesUpOrIsReported) {
  dial->SetValue(16, false);
  Wheel(Button4);
  PressAt(Button2, 25, kPressY);
  Release(*dial, Button2, 25, kPressY);
  PressAt(Button1, kPressX, kPressY);
  DragTo(kPressY - 20);
  Release(*dial, Button1, kPressX, kPressY - 20);
  EXPECT_EQ(dial->GetValue(), 16);
  EXPECT_TRUE(Changes().empty());

  dial->SetValue(0, false);
  PressAt(Button2, 2, kPressY);
  Release(*dial, Button2, 2, kPressY);
  EXPECT_EQ(dial->GetValue(), 0);
  EXPECT_TRUE(Changes().empty());
}

TEST_F(DialTest, ControlClickResetsToTheDefaultAndReportsIt) {
  dial->SetValue(12, false);
  PressAt(Button1, kPressX, kPressY, ControlMask);
  Release(*dial, Button1);
  EXPECT_EQ(dial->GetValue(), 4);
  EXPECT_EQ(Changes(), std::vector<int>{4});
  // At the default already there is nothing to report.
  PressAt(Button3, kPressX, kPressY, ControlMask);
  Release(*dial, Button3);
  EXPECT_EQ(Changes(), std::vector<int>{4});
}

TEST_F(DialTest, EveryPressIsAlsoReportedAsAClick) {
  PressAt(Button1, kPressX, kPressY);
  Release(*dial, Button1);
  PressAt(Button3, kPressX, kPressY);
  Release(*dial, Button3);
  PressAt(Button2, kPressX, kPressY);
  Release(*dial, Button2);
  EXPECT_EQ(Values(listener, kEventValueChanged), (std::vector<int>{1, 3, 2}));
}

TEST_F(DialTest, PressOutsideTheHandleZoneStartsNoDrag) {
  dial = MakeDial(kX, kY, false);
  dial->SetHandleZone({0, 0, 10, 13});
  dial->SetValue(8, false);
  PressAt(Button1, 20, kPressY);
  EXPECT_EQ(capture, nullptr);
  DragTo(kPressY - 20);
  Release(*dial, Button1);
  PressAt(Button2, 20, kPressY);
  Release(*dial, Button2);
  EXPECT_EQ(dial->GetValue(), 8);
  EXPECT_TRUE(Changes().empty());

  // Inside it the same gestures work.
  PressAt(Button1, 5, kPressY);
  EXPECT_EQ(capture, dial.get());
  DragTo(kPressY - 6);
  Release(*dial, Button1);
  EXPECT_EQ(dial->GetValue(), 9);
}

TEST_F(DialTest, CodeSetsAnyValueWithoutReport) {
  EXPECT_TRUE(dial->SetValue(500, true));
  EXPECT_FALSE(dial->SetValue(500, true));
  EXPECT_EQ(dial->GetValue(), 500);
  EXPECT_TRUE(dial->SetValueClipped(-3));
  EXPECT_EQ(dial->GetValue(), 0);
  EXPECT_TRUE(listener.messages.empty());
}

TEST_F(DialTest, OutlineShowsTheHoverColours) {
  const int away = SCOL(0, 0, 255), over = SCOL(255, 0, 0);
  dial->SetHoverColours(away, over);
  dial->Refresh();
  Settle();
  EXPECT_EQ(WindowPixels(dial->GetWindow(), kW, kH).Count(away), 2 * kW + 2 * (kH - 2));
  Cross(*dial, EnterNotify);
  Settle();
  EXPECT_EQ(WindowPixels(dial->GetWindow(), kW, kH).Count(over), 2 * kW + 2 * (kH - 2));
  Cross(*dial, LeaveNotify);
  Settle();
  EXPECT_EQ(WindowPixels(dial->GetWindow(), kW, kH).Count(over), 0);
}

// Dials side by side, each showing one value, so that what they draw can be compared.
class DialTextTest : public DialTest {
 protected:
  std::unique_ptr<Dial> Showing(int v, int slot) {
    auto shown = MakeDial(kX, kY + 30 * slot, true);
    shown->SetColours(SCOL(20, 20, 20), 0, 0, 0, 0, 0, 0);
    shown->SetControlColours(0, 0, 0, SCOL(20, 20, 20));
    shown->SetLabelColours(SCOL(255, 255, 0), 0);
    shown->SetValueFont(statdata.FindFont(8, false, false));
    shown->SetValue(v, false);
    return shown;
  }
  static std::vector<unsigned long> Picture(Dial& shown) {
    shown.Refresh();
    Settle();
    WindowPixels pixels(shown.GetWindow(), kW, kH);
    std::vector<unsigned long> picture;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) picture.push_back(pixels.At(x, y));
    return picture;
  }
};

TEST_F(DialTextTest, TablesAreShownInsteadOfTheNumber) {
  auto plain88 = Showing(88, 1);
  auto plain2 = Showing(2, 2);
  auto plainMinus = Showing(-1, 3);
  auto texts = Showing(2, 4);
  ASSERT_NE(Picture(*plain88), Picture(*plain2));
  EXPECT_GT(WindowPixels(plain2->GetWindow(), kW, kH).Count(SCOL(255, 255, 0)), 0);

  SDisplayText channels[3] = {SDisplayText(8, "-1"), SDisplayText(8, "1"), SDisplayText(8, "88")};
  texts->SetDisplayTextsB(channels, 3, false, true);
  EXPECT_EQ(Picture(*texts), Picture(*plain88));
  // Table A, when enabled, comes first; an owned table goes with the dial.
  auto* own = new SDisplayText[17];
  for (int i = 0; i < 17; ++i) own[i] = SDisplayText(8, "%d", -i / 2);
  texts->SetDisplayTextsA(own, true, true);
  EXPECT_EQ(Picture(*texts), Picture(*plainMinus));
  texts->SetDisplayTextsA(nullptr, false, false);
  EXPECT_EQ(Picture(*texts), Picture(*plain88));

  // A value that code stored beyond the table's entries shows as a number.
  texts->SetValue(88, false);
  EXPECT_EQ(Picture(*texts), Picture(*plain88));
}

TEST(ValueRange, DefaultAndMiddleStayInsideTheRange) {
  SIControllable<int> held;
  held.SetValueRange(10, 20, 99);
  EXPECT_EQ(held.GetValueDef(), 20);
  EXPECT_EQ(held.GetValueMed(), 15);
  EXPECT_FLOAT_EQ(held.GetScale(), 0.1f);
  EXPECT_EQ(held.GetValueRange(), 10);
  held.SetValueMax(13);
  EXPECT_EQ(held.GetValueDef(), 13);
  EXPECT_EQ(held.GetValueMed(), 11);
  held.SetValueMin(-5);
  EXPECT_EQ(held.GetValueMed(), 4);
  // The value itself is clipped only on request.
  EXPECT_TRUE(held.SetValue(50, false));
  EXPECT_TRUE(held.SetValueClipped(50));
  EXPECT_EQ(held.GetValue(), 13);
  EXPECT_TRUE(held.SetValueMed());
  EXPECT_EQ(held.GetValue(), 4);
  held.Reset();
  EXPECT_EQ(held.GetValue(), 13);

  held.SetValueRange(3, 3, 7);
  EXPECT_FLOAT_EQ(held.GetScale(), 1.0f);
  EXPECT_EQ(held.GetValueDef(), 3);
  EXPECT_EQ(held.GetValueMed(), 3);
}

TEST_F(DialTest, RangeOfOneValue) {
  dial->SetValueRange(3, 3, 9);
  EXPECT_EQ(dial->GetValueCount(), 1);
  EXPECT_FLOAT_EQ(dial->GetScale(), 1.0f);
  dial->SetValueRange(0, 128, 0);
  EXPECT_EQ(dial->GetValueCount(), 129);
}

}  // namespace
}  // namespace tovo::gui
