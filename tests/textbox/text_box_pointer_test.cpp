// The mouse selects in a text box: a press puts the caret at the character boundary under the pointer, a
// drag selects up to the pointer (in either direction, ordered on release), a double click selects the
// whole text. The caret blinks by the blink timer's messages only while the box has the focus, and the box
// draws its text, the selection in the focused or the unfocused colour, the caret and its hover outline.
#include <chrono>
#include <thread>

#include "TextBoxTest.h"
#include "gui/SToolkitLock.h"
#include "threading/STimer.h"

namespace tovo::gui {
namespace {

using context::statdata;
using test::WindowPixels;

class TextBoxPointer : public test::TextBoxTest {
 protected:
  void SetUp() override {
    TextBoxTest::SetUp();
    box->SetText(kText8);
    box->Show();
    Settle();
  }

  // Just right of the end of the first count characters, where a click means "after them".
  int After(int count) { return Width(std::string(kText8, static_cast<size_t>(count))) + 1; }
  // The pointer really goes there: the box asks the server where it is when the button goes down.
  void PressAt(int x) {
    PointerTo(kX + x, kY + kH / 2);
    Press(*box, Button1, x, kH / 2);
  }
  void DragTo(int x) { Motion(*box, x, kH / 2, Button1Mask); }
  void ReleaseAt(int x) { Release(*box, Button1, x, kH / 2); }

  WindowPixels Pixels() {
    Settle();
    return WindowPixels(box->GetWindow(), kW, kH);
  }
  // Delivers the blink timer's message once it is due, as the thread that serves the box does.
  bool Blink() {
    for (int i = 0; i < 100 && !box->BlinkTimer()->Worker().Due(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SToolkitLock inside;
    return tovo::threading::DeliverDueTimers(&globals) == 1;
  }

  static constexpr const char* kText8 = "ABCDEFGH";
  const int kFocusedSelection = SCOL(160, 90, 0);
};

TEST_F(TextBoxPointer, PressPutsTheCaretAtTheBoundaryUnderThePointer) {
  PressAt(1);
  ReleaseAt(1);
  EXPECT_EQ(box->Caret().x, 0);
  for (int count : {1, 3, 8}) {
    SCOPED_TRACE(count);
    PressAt(After(count));
    EXPECT_TRUE(box->Selecting());
    EXPECT_FALSE(box->CaretVisible()) << "hidden while selecting";
    ReleaseAt(After(count));
    EXPECT_EQ(box->Caret().x, count);
    EXPECT_FALSE(box->HasSelection());
    EXPECT_TRUE(box->CaretVisible());
  }
  PressAt(kW - 5);
  ReleaseAt(kW - 5);
  EXPECT_EQ(box->Caret().x, 8) << "beyond the text the caret stays at its end";
  // The press took the undo snapshot: the typing after it can be undone to it.
  Type("x");
  Key(XK_z, ControlMask);
  EXPECT_EQ(Text(), kText8);
}

TEST_F(TextBoxPointer, DraggingSelectsInEitherDirection) {
  PressAt(After(2));
  DragTo(After(6));
  EXPECT_TRUE(box->HasSelection());
  EXPECT_EQ(Corners(box->SelectionRect()), (std::vector<int>{After(2), 2, After(6), 18}));
  DragTo(After(2));
  EXPECT_FALSE(box->HasSelection()) << "back at the start nothing is selected";
  DragTo(After(5));
  ReleaseAt(After(5));
  EXPECT_FALSE(box->Selecting());
  EXPECT_EQ(box->SelectionAnchor(), 2);
  EXPECT_EQ(box->SelectionEnd(), 5);

  // Leftwards: ordered on release, and the keys then work on the ordered pair.
  PressAt(After(6));
  DragTo(After(1));
  ReleaseAt(After(1));
  EXPECT_EQ(box->SelectionAnchor(), 1);
  EXPECT_EQ(box->SelectionEnd(), 6);
  Key(XK_BackSpace);
  EXPECT_EQ(Text(), "AGH");

  // A drag that comes back to its start leaves a plain caret.
  PressAt(After(1));
  DragTo(After(3));
  DragTo(After(1));
  ReleaseAt(After(1));
  EXPECT_FALSE(box->HasSelection());
  EXPECT_TRUE(box->CaretVisible());
  EXPECT_EQ(box->Caret().x, 1);
}

TEST_F(TextBoxPointer, DoubleClickSelectsTheWholeText) {
  PressAt(After(3));
  DoublePress(*box, Button1, After(3), kH / 2);
  EXPECT_FALSE(box->Selecting());
  ReleaseAt(After(3));
  EXPECT_EQ(box->SelectionAnchor(), 0);
  EXPECT_EQ(box->SelectionEnd(), 8);
  EXPECT_EQ(box->Caret().x, 8);
  Type("z");
  EXPECT_EQ(Text(), "z");
}

TEST_F(TextBoxPointer, CaretBlinksOnlyWhileFocused) {
  EXPECT_FALSE(box->BlinkTimer()->Running());
  Focus(*box, true);
  ASSERT_TRUE(box->BlinkTimer()->Running());
  EXPECT_EQ(box->BlinkTimer()->Interval(), static_cast<unsigned>(STextBox::kBlinkInterval));
  EXPECT_TRUE(box->CaretVisible());
  // Caret at the end: its two columns stand right of the text.
  Key(XK_End);
  const int caretX = box->Textpos2Coord(box->Caret()).x + 1;
  const int caretColour = box->CaretColour();
  ASSERT_NE(caretColour, kBackground);
  EXPECT_EQ(Pixels().Count(caretColour, caretX, 2, caretX + 2, 18), 0);

  ASSERT_TRUE(Blink());
  EXPECT_TRUE(box->CaretPhase());
  EXPECT_GE(Pixels().Count(caretColour, caretX, 2, caretX + 2, 18), 2 * 15) << "two columns down the line";
  ASSERT_TRUE(Blink());
  EXPECT_FALSE(box->CaretPhase());
  EXPECT_EQ(Pixels().Count(caretColour, caretX, 2, caretX + 2, 18), 0);

  // A selection hides the caret: the timer's messages no longer flip it.
  Key(XK_a, ControlMask);
  ASSERT_TRUE(Blink());
  EXPECT_FALSE(box->CaretPhase());
  Key(XK_End);
  ASSERT_TRUE(Blink());
  EXPECT_TRUE(box->CaretPhase());

  Focus(*box, false);
  EXPECT_FALSE(box->BlinkTimer()->Running());
  EXPECT_FALSE(box->CaretVisible());
  EXPECT_FALSE(box->CaretPhase());
  EXPECT_EQ(Pixels().Count(caretColour, caretX, 2, caretX + 2, 18), 0);
}

TEST_F(TextBoxPointer, DrawsTextSelectionAndHoverOutline) {
  {
    WindowPixels shown = Pixels();
    EXPECT_GT(shown.Count(kText), 0);
    EXPECT_GT(shown.Count(kBackground), kW * kH / 2);
    EXPECT_EQ(shown.At(0, 0), static_cast<unsigned long>(static_cast<unsigned>(kParent)))
        << "without a frame the outline takes the parent's colour";
    // The text starts two pixels in, in the left of the box.
    EXPECT_EQ(shown.Count(kText, 0, 0, 2, kH), 0);
    EXPECT_EQ(shown.Count(kText, After(8) + 2, 0, kW, kH), 0);
  }
  Focus(*box, true);
  box->SetSelection({2, 0, 5, 0});
  box->RedrawLabel();
  {
    WindowPixels selected = Pixels();
    const SRect r = box->SelectionRect();
    const int inside = selected.Count(kFocusedSelection, r.left, r.top, r.right, r.bottom) +
                       selected.Count(kText, r.left, r.top, r.right, r.bottom);
    EXPECT_EQ(inside, (r.right - r.left) * (r.bottom - r.top)) << "the selection is filled behind its text";
    EXPECT_EQ(selected.Count(kFocusedSelection, 0, 0, r.left, kH), 0);
    EXPECT_EQ(selected.Count(kFocusedSelection, r.right, 0, kW, kH), 0);
  }
  Focus(*box, false);
  {
    WindowPixels unfocused = Pixels();
    EXPECT_EQ(unfocused.Count(kFocusedSelection), 0);
    EXPECT_GT(unfocused.Count(box->SelectionColour(false)), 0);
  }
  Cross(*box, EnterNotify);
  EXPECT_EQ(Pixels().At(0, 0), static_cast<unsigned long>(static_cast<unsigned>(kHover)));
  Cross(*box, LeaveNotify);
  EXPECT_EQ(Pixels().At(0, 0), static_cast<unsigned long>(static_cast<unsigned>(kParent)));

  // An empty box draws no text at all.
  box->SetText("");
  EXPECT_EQ(Pixels().Count(kText), 0);
}

}  // namespace
}  // namespace tovo::gui
