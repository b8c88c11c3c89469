// The options dialog: its size (never narrower than 160), name and children; OK reports result 1 to its
// listeners and Cancel ends it with result 0; a modal showing disables the enabled ancestors (and so
// their other children) while the dialog stays usable, and closing gives them back; the pixels it paints.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "../widgets/WidgetTest.h"
#include "editor/SOptionsDialog.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SLabel.h"
#include "gui/widgets/SToolTip.h"

namespace tovo::gui {
namespace {

using context::statdata;
using test::Probe;
using test::WindowPixels;

SRect ServerGeometry(const SControl& control) {
  XSync(dps, False);
  XWindowAttributes attributes;
  XGetWindowAttributes(dps, control.GetWindow(), &attributes);
  return {attributes.x, attributes.y, attributes.x + attributes.width, attributes.y + attributes.height};
}

bool Viewable(const SControl& control) {
  XSync(dps, False);
  XWindowAttributes attributes;
  XGetWindowAttributes(dps, control.GetWindow(), &attributes);
  return attributes.map_state == IsViewable;
}

unsigned long Slot(int slot) {
  return static_cast<unsigned long>(static_cast<unsigned>(statdata.GetColour(slot)));
}

class OptionsDialogTest : public test::WidgetTest {
 protected:
  // The window the dialog belongs to, as the panel is: with a child control of its own.
  void SetUp() override {
    WidgetTest::SetUp();
    owner = std::make_unique<Probe>(&globals, nullptr, kStyleFramedDraw, 200, 120);
    sibling = new Probe(&globals, owner.get(), 0, 40, 20);
    owner->Add(sibling);
    owner->Show();
    sibling->Show();
  }
  void TearDown() override {
    dialog.reset();
    owner.reset();
    WidgetTest::TearDown();
  }

  SOptionsDialog& Make(int width = 180, int height = 100) {
    dialog = std::make_unique<SOptionsDialog>(owner.get(), SPoint{width, height}, false);
    // The owner hears the result, as the panel does.
    dialog->AddEventListener(owner.get(), kEventDialogResult);
    return *dialog;
  }

  std::unique_ptr<Probe> owner;
  Probe* sibling = nullptr;
  std::unique_ptr<SOptionsDialog> dialog;
};

TEST_F(OptionsDialogTest, IsBuiltHiddenWithTitleAndButtons) {
  SOptionsDialog& box = Make();
  const SRect frame = ServerGeometry(box);
  EXPECT_EQ(frame.right - frame.left, 180);
  EXPECT_EQ(frame.bottom - frame.top, 100);
  EXPECT_FALSE(box.IsMapped());
  EXPECT_FALSE(box.IsShown());
  EXPECT_EQ(box.GetResult(), -1);
  EXPECT_EQ(box.GetParent(), owner.get());
  EXPECT_EQ(box.GetStyle() & ~kStyleHasChildren, 0xc80100);

  // "SOptionsDialog (ID n)" with n below a million; the children are named after the dialog.
  const char* name = box.GetLabel().Get();
  ASSERT_EQ(std::strncmp(name, "SOptionsDialog (ID ", 19), 0) << name;
  char* end = nullptr;
  const long number = std::strtol(name + 19, &end, 10);
  EXPECT_STREQ(end, ")");
  EXPECT_GE(number, 0);
  EXPECT_LT(number, 1000000);
  const std::string base(name);
  EXPECT_EQ(box.GetTitleLabel()->SControl::GetLabel().Get(), base + " - Label");
  EXPECT_EQ(box.GetOkButton()->SControl::GetLabel().Get(), base + " - OK");
  EXPECT_EQ(box.GetCancelButton()->SControl::GetLabel().Get(), base + " - Cancel");
  EXPECT_STREQ(box.GetTitleLabel()->GetLabel().Get(), "Title");
  EXPECT_STREQ(box.GetOkButton()->GetLabel().Get(), "OK");
  EXPECT_STREQ(box.GetCancelButton()->GetLabel().Get(), "Cancel");

  // Cancel bottom left, OK bottom right, the title across the top.
  const SRect cancel = box.GetCancelButton()->GetWindowRect(), ok = box.GetOkButton()->GetWindowRect();
  EXPECT_EQ(cancel.left, 20);
  EXPECT_EQ(cancel.top, 60);
  EXPECT_EQ(cancel.right - cancel.left, 50);
  EXPECT_EQ(ok.left, 110);
  EXPECT_EQ(ok.bottom, 80);
  EXPECT_EQ(box.GetTitleLabel()->GetWindowRect().right, 170);

  // The tooltip window is the dialog's own, switched on.
  ASSERT_NE(box.GetTooltip(), nullptr);
  EXPECT_EQ(box.GetTooltip()->GetOwner(), &box);
  EXPECT_TRUE(box.GetTooltip()->TooltipsEnabled());
}

TEST_F(OptionsDialogTest, ANarrowRequestStillGivesTheMinimumWidth) {
  SOptionsDialog& box = Make(100, 90);
  const SRect frame = ServerGeometry(box);
  EXPECT_EQ(frame.right - frame.left, SOptionsDialog::kMinimumWidth);
  EXPECT_EQ(frame.bottom - frame.top, 90);
  // The OK button keeps its place at the right edge of the widened dialog.
  EXPECT_EQ(box.GetOkButton()->GetWindowRect().right, SOptionsDialog::kMinimumWidth - 20);

  // Two dialogs made one after the other get distinct names.
  SOptionsDialog other(owner.get(), SPoint{180, 100}, true);
  EXPECT_STRNE(other.GetLabel().Get(), box.GetLabel().Get());
  EXPECT_EQ(other.GetStyle() & ~kStyleHasChildren, 0xcb0100);
}

TEST_F(OptionsDialogTest, ShowingTitlesAndClosingHides) {
  SOptionsDialog& box = Make();
  box.ShowDialog("Insert Text", false);
  EXPECT_TRUE(box.IsShown());
  EXPECT_TRUE(Viewable(box));
  EXPECT_EQ(box.GetResult(), 0);
  EXPECT_STREQ(box.GetTitleLabel()->GetLabel().Get(), "Insert Text");
  EXPECT_FALSE(box.IsModal());
  EXPECT_TRUE(owner->Enabled()) << "a plain showing leaves the owner alone";

  box.CloseDialog();
  EXPECT_FALSE(box.IsShown());
  EXPECT_FALSE(box.IsMapped());
  EXPECT_FALSE(Viewable(box));

  // A null title empties the line instead of keeping the old one.
  box.ShowDialog(nullptr, false);
  EXPECT_STREQ(box.GetTitleLabel()->GetLabel().Get(), "");
}

TEST_F(OptionsDialogTest, OkReportsOneAndCancelEndsWithZero) {
  SOptionsDialog& box = Make();
  box.ShowDialog("Insert Text", true);
  Click(*box.GetOkButton(), Button1);
  EXPECT_EQ(Values(*owner, kEventDialogResult), std::vector<int>{1});
  ASSERT_FALSE(owner->messages.empty());
  EXPECT_EQ(owner->messages.back().sender, &box);
  EXPECT_EQ(owner->messages.back().kind, kKindValue);
  EXPECT_EQ(box.GetResult(), 1);
  EXPECT_FALSE(box.IsShown());
  EXPECT_FALSE(box.IsMapped());
  EXPECT_EQ(capture, nullptr) << "the closing button must not keep the pointer";

  // Cancel closes with result 0 and reports nothing; the result itself can still be sent.
  owner->messages.clear();
  box.ShowDialog("Insert Text", true);
  EXPECT_EQ(box.GetResult(), 0);
  Click(*box.GetCancelButton(), Button1);
  EXPECT_TRUE(Values(*owner, kEventDialogResult).empty());
  EXPECT_EQ(box.GetResult(), 0);
  EXPECT_FALSE(box.IsShown());
  box.SendResult();
  EXPECT_EQ(Values(*owner, kEventDialogResult), std::vector<int>{0});
}

TEST_F(OptionsDialogTest, OnlyItsOwnButtonsEndIt) {
  SOptionsDialog& box = Make();
  box.ShowDialog("Insert Text", true);
  // A value event from any other control, the title line included, changes nothing.
  for (SControl* stranger : {static_cast<SControl*>(sibling), static_cast<SControl*>(box.GetTitleLabel())}) {
    SEvent message;
    SControl::PrepareEvent(message, kEventValueChanged, kKindValue, 1, 0.0f, nullptr, stranger, nullptr);
    box.ParseEvent(&message);
  }
  box.ParseEvent(nullptr);
  EXPECT_TRUE(box.IsShown());
  EXPECT_FALSE(owner->Enabled());
  // The same event from OK under another type is not a click either.
  SEvent other;
  SControl::PrepareEvent(other, kEventControlChanged, kKindValue, 1, 0.0f, nullptr, box.GetOkButton(),
                         nullptr);
  box.ParseEvent(&other);
  EXPECT_TRUE(box.IsShown());
  EXPECT_TRUE(owner->messages.empty());
}

TEST_F(OptionsDialogTest, AModalShowingDisablesTheOwnerUntilClosed) {
  SOptionsDialog& box = Make();
  box.ShowDialog("Insert Text", true);
  EXPECT_TRUE(box.IsModal());
  EXPECT_FALSE(owner->Enabled());
  EXPECT_FALSE(sibling->Enabled()) << "the owner's controls go with it";
  EXPECT_TRUE(box.Enabled());
  EXPECT_TRUE(box.GetOkButton()->Enabled());
  EXPECT_EQ(box.DisabledAncestors(), std::vector<SControl*>{owner.get()});

  // Presses on the owner's controls are not delivered meanwhile; the dialog's are.
  sibling->changes.clear();
  Click(*sibling, Button1);
  EXPECT_TRUE(sibling->changes.empty());

  // Showing again while open does not list the owner twice.
  box.ShowDialog("Insert Text", true);
  EXPECT_EQ(box.DisabledAncestors().size(), 1u);

  Click(*box.GetCancelButton(), Button1);
  EXPECT_TRUE(owner->Enabled());
  EXPECT_TRUE(sibling->Enabled());
  EXPECT_TRUE(box.DisabledAncestors().empty());
  EXPECT_FALSE(box.IsModal());
  Click(*sibling, Button1);
  EXPECT_FALSE(sibling->changes.empty());
}

TEST_F(OptionsDialogTest, TheWholeChainOfEnabledAncestorsIsDisabledAndGivenBack) {
  // The dialog belongs to a window inside the owner.
  Probe* inner = new Probe(&globals, owner.get(), 0, 80, 60);
  owner->Add(inner);
  SOptionsDialog box(inner, SPoint{180, 100}, false);
  box.ShowDialog("Nested", true);
  EXPECT_EQ(box.DisabledAncestors(), (std::vector<SControl*>{inner, owner.get()}));
  EXPECT_FALSE(inner->Enabled());
  EXPECT_FALSE(owner->Enabled());
  Click(*box.GetOkButton(), Button1);
  EXPECT_TRUE(inner->Enabled());
  EXPECT_TRUE(owner->Enabled());

  // An ancestor that was disabled before stays disabled after the dialog.
  inner->Enable(false);
  box.ShowDialog("Nested", true);
  EXPECT_EQ(box.DisabledAncestors(), std::vector<SControl*>{owner.get()});
  Click(*box.GetCancelButton(), Button1);
  EXPECT_TRUE(owner->Enabled());
  EXPECT_FALSE(inner->Enabled());
}

TEST_F(OptionsDialogTest, AnOwnerIsNotLeftDisabled) {
  // Shown plainly after a modal showing that was never ended.
  SOptionsDialog& box = Make();
  box.ShowDialog("Insert Text", true);
  box.ShowDialog("Insert Text", false);
  EXPECT_TRUE(owner->Enabled());
  EXPECT_TRUE(box.DisabledAncestors().empty());

  // Destroyed while modal.
  box.ShowDialog("Insert Text", true);
  ASSERT_FALSE(owner->Enabled());
  dialog.reset();
  EXPECT_TRUE(owner->Enabled());
}

TEST_F(OptionsDialogTest, OptionRowsAreNotBuilt) {
  SOptionsDialog& box = Make();
  const size_t children = box.Children().size();
  SLabelText text;
  text.Append("Option");
  EXPECT_FALSE(box.AddCheckBox(text, true, "tip"));
  EXPECT_FALSE(box.AddCheckBox("Option", false, nullptr));
  EXPECT_FALSE(box.AddValueBox(text, 1, 0, 10, "tip"));
  EXPECT_FALSE(box.AddValueBox("Value", 1, 0, 10, nullptr));
  EXPECT_EQ(box.AddChoiceBox(&text, 1), 0);
  EXPECT_EQ(box.Children().size(), children);
  // Without rows the dialog still works end to end.
  box.ShowDialog("Empty", true);
  Click(*box.GetOkButton(), Button1);
  EXPECT_EQ(Values(*owner, kEventDialogResult), std::vector<int>{1});
}

TEST_F(OptionsDialogTest, PaintsBodyFrameButtonsAndTheTooltipLamp) {
  SOptionsDialog& box = Make();
  box.ShowDialog("Insert Text", true);
  Settle();
  {
    WindowPixels pixels(box.GetWindow(), 180, 100);
    ASSERT_TRUE(pixels.Valid());
    // The 10-pixel black frame around a grey body.
    EXPECT_EQ(pixels.At(5, 50), Slot(20));
    EXPECT_EQ(pixels.At(175, 50), Slot(20));
    EXPECT_EQ(pixels.At(90, 95), Slot(20));
    EXPECT_EQ(pixels.At(90, 45), Slot(24));
    EXPECT_EQ(pixels.At(14, 50), Slot(24));
    // The tooltip lamp in the corner is lit: tips are on.
    EXPECT_EQ(pixels.At(5, 5), Slot(4));
    // Title text in white on the grey line.
    EXPECT_GT(pixels.Count(static_cast<int>(Slot(0)), 10, 10, 170, 30), 0);
  }
  for (SButton<false>* button : {box.GetOkButton(), box.GetCancelButton()}) {
    WindowPixels face(button->GetWindow(), 50, 20);
    ASSERT_TRUE(face.Valid());
    EXPECT_GT(face.Count(static_cast<int>(Slot(26))), 50 * 20 / 2) << "dark grey face";
    EXPECT_GT(face.Count(static_cast<int>(Slot(0))), 0) << "white text";
  }

  // A press on the lamp switches the tips off and the lamp shows it; the dialog asks the server where
  // the pointer is, so the real pointer goes there first.
  auto pressAt = [&](int x, int y) {
    SPoint screen{x, y};
    box.GetClient2Screen(screen);
    PointerTo(screen.x, screen.y);
    Click(box, Button1, x, y);
  };
  pressAt(5, 5);
  EXPECT_FALSE(box.GetTooltip()->TooltipsEnabled());
  Settle();
  EXPECT_EQ(WindowPixels(box.GetWindow(), 180, 100).At(5, 5), Slot(10));
  // A press elsewhere leaves them alone; the lamp's far corner still counts.
  pressAt(90, 45);
  EXPECT_FALSE(box.GetTooltip()->TooltipsEnabled());
  pressAt(11, 11);
  EXPECT_FALSE(box.GetTooltip()->TooltipsEnabled());
  pressAt(10, 10);
  EXPECT_TRUE(box.GetTooltip()->TooltipsEnabled());
}

}  // namespace
}  // namespace tovo::gui
