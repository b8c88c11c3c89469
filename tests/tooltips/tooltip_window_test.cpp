// The tooltip window opens beside a registered control when the pointer enters it (only while the
// control's tip is enabled) and closes when it leaves; it keeps to the preferred side unless the tip would
// not lie whole inside its window (or the screen, for a tip larger than its window), takes the first side
// with room then, and points its arrow at the control. One switch turns
// all registered controls' tips on and off, and neither the tip nor its controls outlive each other's
// references.
#include <cmath>

#include "TooltipTest.h"
#include "gui/SInput.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawing.h"
#include "tests/drawing/XTestSupport.h"

namespace tovo::gui {
namespace {

using test::Crossing;
using test::PixelOf;
using test::Slot;

constexpr int kRedSlot = 4, kBlueSlot = 10, kOutline = 20;
constexpr const char* kText = "Option:\nToggle Midi Thru";

int Floor(double value) { return static_cast<int>(std::floor(value)); }

class TooltipWindow : public test::TooltipFixture {
 protected:
  // The tip's size for kText, measured before any control exists.
  void MeasureTip() {
    SToolTipData probe(tip, nullptr, kTipAbove);
    probe.AddLabel(kText, 0);
    tipWidth = probe.Bounds().right - probe.Bounds().left + 48;
    tipHeight = probe.Bounds().bottom - probe.Bounds().top + 16;
  }

  // A control with kText as its enabled tip, entered by the pointer.
  SWindow* EnterControl(int x, int y, int width, int height, int placement) {
    SWindow* control = AddControl(x, y, width, height);
    control->SetTooltip(tip, kText, placement);
    tip->EnableTooltips(true);
    Send(Crossing(*control, EnterNotify));
    return control;
  }

  // Where the server has the tip window.
  SPoint TipOnScreen() {
    XSync(dps, False);
    XWindowAttributes attributes;
    XGetWindowAttributes(dps, tip->GetWindow(), &attributes);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.width, tipWidth);
    EXPECT_EQ(attributes.height, tipHeight);
    return {attributes.x, attributes.y};
  }

  // Whether the arrow covers the pixel two in from the middle of each edge: bottom, top, left, right.
  std::vector<bool> ArrowEdges() {
    tip->Draw(tip->GetClientRect());
    tovo::test::Snapshot shot(tip->GetWindow(), tipWidth, tipHeight);
    const unsigned long arrow = PixelOf(tip->GetArrowColour());
    const int w = tipWidth, h = tipHeight;
    return {shot.At(w / 2, h - 3) == arrow, shot.At(w / 2, 3) == arrow, shot.At(3, h / 2) == arrow,
            shot.At(w - 3, h / 2) == arrow};
  }

  int tipWidth = 0;
  int tipHeight = 0;
};

// Each case: the owner window's place and size on the 2560 x 1024 screen, the control in it (20 high),
// the preferred side, whether the tip ends on another side, where it must land for a tip of w x h, and
// the edge that carries the arrow.
struct PlacementCase {
  const char* name;
  int ownerX, ownerY, ownerWidth, ownerHeight, controlX, controlY, controlWidth;
  int placement;
  bool flipped;
  SPoint (*expected)(int w, int h);
  int arrowEdge;  // 0 bottom, 1 top, 2 left, 3 right
};

// Centring halves towards minus infinity.
int Centred(int room, int size) { return Floor((room - size) / 2.0); }

const PlacementCase kPlacements[] = {
    {"right with room in the window stays right", 1000, 400, 300, 200, 10, 80, 40, kTipRight, false,
     [](int, int h) { return SPoint{1010 + 40 + 3, 480 + Centred(20, h)}; }, 2},
    {"right at the window's right edge goes left", 1000, 400, 300, 200, 250, 80, 40, kTipRight, true,
     [](int w, int h) { return SPoint{1250 - w - 3, 480 + Centred(20, h)}; }, 3},
    {"above at the window's top goes below", 1000, 400, 300, 200, 100, 0, 60, kTipAbove, true,
     [](int w, int) { return SPoint{1100 + Centred(60, w), 400 + 20 + 3}; }, 1},
    {"below at the window's bottom goes above", 1000, 400, 300, 200, 100, 180, 60, kTipBelow, true,
     [](int w, int h) { return SPoint{1100 + Centred(60, w), 580 - h - 3}; }, 0},
    {"left at the window's left edge goes right", 1000, 400, 300, 200, 5, 80, 40, kTipLeft, true,
     [](int, int h) { return SPoint{1005 + 40 + 3, 480 + Centred(20, h)}; }, 2},
    // Too wide a control for either side: the tip goes above it.
    {"no room on either side goes above", 1000, 400, 300, 200, 50, 120, 200, kTipRight, true,
     [](int w, int h) { return SPoint{1050 + Centred(200, w), 520 - h - 3}; }, 0},
    // A tip must not cover its control, which would take the pointer from it: with no room on any side
    // inside the window, it goes beside the control on the screen.
    {"no room in the window puts it beside the control on the screen", 1000, 400, 200, 60, 40, 20, 120,
     kTipRight, false, [](int, int h) { return SPoint{1160 + 3, 420 + Centred(20, h)}; }, 2},
    // Only the part of the window on the screen counts.
    {"a window past the screen's edge keeps the tip on the screen", 2300, 400, 400, 200, 200, 80, 40,
     kTipRight, true, [](int w, int h) { return SPoint{2500 - w - 3, 480 + Centred(20, h)}; }, 3},
    // A window smaller than the tip: the screen is the limit, and the preferred side has room there.
    {"a tip larger than its window keeps to its side on the screen", 1000, 400, 60, 20, 0, 0, 60, kTipAbove,
     false, [](int w, int h) { return SPoint{1000 + Centred(60, w), 400 - h - 3}; }, 0},
    {"above near the screen's top flips below", 400, 2, 60, 20, 0, 0, 60, kTipAbove, true,
     [](int w, int) { return SPoint{400 + Centred(60, w), 2 + 20 + 3}; }, 1},
};

TEST_F(TooltipWindow, LiesWholeInsideItsWindowOnTheFirstSideWithRoomAndPointsAtTheControl) {
  for (const PlacementCase& c : kPlacements) {
    SCOPED_TRACE(c.name);
    MakeOwner(c.ownerX, c.ownerY, c.ownerWidth, c.ownerHeight);
    MeasureTip();
    EnterControl(c.controlX, c.controlY, c.controlWidth, 20, c.placement);
    ASSERT_TRUE(tip->IsOpen());
    EXPECT_EQ(tip->IsFlipped(), c.flipped);
    const SPoint at = TipOnScreen(), expected = c.expected(tipWidth, tipHeight);
    EXPECT_EQ(at.x, expected.x);
    EXPECT_EQ(at.y, expected.y);
    std::vector<bool> edges(4, false);
    edges[static_cast<size_t>(c.arrowEdge)] = true;
    EXPECT_EQ(ArrowEdges(), edges);
    delete owner;
    owner = nullptr;
  }
}

TEST_F(TooltipWindow, TheFlippedSideUsesItsOwnOffset) {
  MakeOwner(400, 2);
  MeasureTip();
  SWindow* control = EnterControl(100, 0, 60, 20, kTipAbove);
  ASSERT_TRUE(tip->IsFlipped());
  const SPoint first = TipOnScreen();
  control->GetTooltipData()->SetOffset({4, 9}, false);
  Send(Crossing(*control, LeaveNotify));
  Send(Crossing(*control, EnterNotify));
  const SPoint second = TipOnScreen();
  EXPECT_EQ(second.x, first.x + 4);
  EXPECT_EQ(second.y, first.y + 9);
}

TEST_F(TooltipWindow, PaintsItsFrameAndTextOnItsBackground) {
  MakeOwner(800, 300);
  MeasureTip();
  EnterControl(0, 0, 40, 20, kTipBelow);
  tip->Draw(tip->GetClientRect());
  tovo::test::Snapshot shot(tip->GetWindow(), tipWidth, tipHeight);
  const unsigned long outline = PixelOf(Slot(kOutline));
  EXPECT_EQ(shot.At(0, 0), outline);
  EXPECT_EQ(shot.At(tipWidth - 1, tipHeight - 1), outline);
  EXPECT_EQ(shot.At(8, tipHeight / 2), PixelOf(tip->GetBackgroundColour()));
  const SRect text = tip->GetData()->Bounds();
  EXPECT_FALSE(shot.Matching(PixelOf(tip->GetTextColour()), text.left, text.top, text.right, text.bottom).empty());
}

TEST_F(TooltipWindow, OpensOnlyWhileEnabledAndClosesWhenThePointerLeaves) {
  MakeOwner(800, 300);
  SWindow* control = AddControl(0, 0, 40, 20);
  control->SetTooltip(tip, kText, kTipBelow);
  Send(Crossing(*control, EnterNotify));
  EXPECT_FALSE(tip->IsOpen());
  Send(Crossing(*control, LeaveNotify));

  tip->EnableTooltips(true);
  Send(Crossing(*control, EnterNotify));
  EXPECT_TRUE(tip->IsOpen());
  EXPECT_EQ(tip->GetData(), control->GetTooltipData());
  Send(Crossing(*control, LeaveNotify));
  EXPECT_FALSE(tip->IsOpen());

  // The pointer leaving the tip itself closes it too.
  Send(Crossing(*control, EnterNotify));
  bool state[context::kInputEntries] = {};
  state[context::kMouseLeft] = true;
  tip->MouseStateChanged(state, context::kMouseLeft);
  EXPECT_FALSE(tip->IsOpen());
}

TEST_F(TooltipWindow, AControlIsRegisteredOnceAndLeavesTheListWhenItGoes) {
  MakeOwner(800, 300);
  SWindow* first = AddControl(0, 0, 40, 20);
  SWindow* second = AddControl(50, 0, 40, 20);
  first->SetTooltip(tip, "one", kTipAbove);
  first->SetTooltip(tip, "one again", kTipAbove);
  second->SetTooltip(tip, "two", kTipAbove);
  ASSERT_EQ(tip->Registered().size(), 2u);
  EXPECT_EQ(tip->Registered()[0], first);
  EXPECT_STREQ(first->GetTooltipData()->Lines()[0].Get(), "one again");

  owner->Remove(first, true);
  ASSERT_EQ(tip->Registered().size(), 1u);
  EXPECT_EQ(tip->Registered()[0], second);
  tip->ToggleTooltips();
  EXPECT_TRUE(second->GetState() & kStateTooltip);
}

TEST_F(TooltipWindow, ToggleSwitchesEveryRegisteredControlAndTheIndicator) {
  MakeOwner(800, 300);
  SWindow* first = AddControl(0, 0, 40, 20);
  SWindow* second = AddControl(50, 0, 40, 20);
  first->SetTooltip(tip, "one", kTipAbove);
  second->SetTooltip(tip, "two", kTipAbove);
  EXPECT_EQ(tip->GetIndicatorColour(), Slot(kBlueSlot));

  tip->ToggleTooltips();
  EXPECT_TRUE(tip->TooltipsEnabled());
  EXPECT_TRUE(first->GetState() & kStateTooltip);
  EXPECT_TRUE(second->GetState() & kStateTooltip);
  EXPECT_EQ(tip->GetIndicatorColour(), Slot(kRedSlot));

  tovo::test::BareWindow lamp(20, 20);
  context::SDrawing drawing;
  drawing.SetDevice(new context::SDrawDevice(lamp.Id()));
  tip->DrawTiprect(&drawing);
  tovo::test::Snapshot shot(lamp.Id(), 20, 20);
  EXPECT_EQ(shot.Matching(PixelOf(Slot(kRedSlot)), 0, 0, 20, 20).size(), 81u);
  EXPECT_EQ(shot.At(1, 1), PixelOf(Slot(kRedSlot)));

  tip->ToggleTooltips();
  EXPECT_FALSE(first->GetState() & kStateTooltip);
  EXPECT_FALSE(second->GetState() & kStateTooltip);
  EXPECT_EQ(tip->GetIndicatorColour(), Slot(kBlueSlot));
}

TEST_F(TooltipWindow, DataAndTipDoNotOutliveEachOther) {
  MakeOwner(800, 300);
  SWindow* control = EnterControl(0, 0, 40, 20, kTipBelow);
  ASSERT_TRUE(tip->IsOpen());
  // Replacing the data that is shown takes it off the tip.
  control->SetTooltip(tip, "replaced", kTipBelow);
  EXPECT_FALSE(tip->IsOpen());
  EXPECT_EQ(tip->GetData(), nullptr);

  Send(Crossing(*control, LeaveNotify));
  Send(Crossing(*control, EnterNotify));
  ASSERT_TRUE(tip->IsOpen());
  delete tip;
  EXPECT_EQ(control->GetTooltipData()->GetTooltip(), nullptr);
  EXPECT_EQ(owner->Children().size(), 1u);
  Send(Crossing(*control, LeaveNotify));
  Send(Crossing(*control, EnterNotify));
  control->CloseTip();
}

}  // namespace
}  // namespace tovo::gui
