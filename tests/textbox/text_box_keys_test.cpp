// Keys edit a text box: typing stops at the length limit, Backspace and Delete do nothing at the text's
// edges, the caret keys collapse a selection at its side, Control and a letter select, copy, cut, paste,
// undo and redo, pasted text loses its tabs and line breaks, Return and Escape are reported twice each, and
// the owner's operations set the limit, the text and the selection as the label dialog needs them.
#include "TextBoxTest.h"
// After the test headers: they bring gtest in before Xlib.
#include "ForeignClient.h"

namespace tovo::gui {
namespace {

using tovo::test::ForeignClient;

class TextBoxKeys : public test::TextBoxTest {};

TEST_F(TextBoxKeys, TypingStopsAtTheLimitAndPastingThereInsertsNothing) {
  const std::string many(40, 'q');
  Type(many);
  EXPECT_EQ(Text(), std::string(32, 'q'));
  EXPECT_EQ(box->Caret().x, 32);

  ForeignClient other;
  ASSERT_TRUE(other.Own("zz", "STRING"));
  Control('v');
  EXPECT_EQ(Text(), std::string(32, 'q'));

  box->SetMaxLength(5);
  EXPECT_EQ(Text(), "qqqqq") << "lines longer than the new limit are cut";
  EXPECT_EQ(box->Caret().x, 5);
  Key(XK_Home);
  Type("a");
  EXPECT_EQ(Text(), "qqqqq") << "inside the text the limit holds too";

  // Modifier combinations other than Shift and AltGr type nothing; characters outside Latin-1 neither.
  box->SetText("");
  Key(XK_a, Mod1Mask);
  Key(XK_a, ControlMask | ShiftMask | Mod1Mask);
  Key(XK_EuroSign);
  EXPECT_EQ(Text(), "");
  Key(XK_a, ShiftMask);
  Key(XK_b, ControlMask | Mod1Mask);
  EXPECT_EQ(Text(), "Ab");
}

TEST_F(TextBoxKeys, BackspaceAndDeleteAtTheEdges) {
  Type("abc");
  Key(XK_Delete);
  EXPECT_EQ(Text(), "abc") << "Delete at the end";
  Key(XK_Home);
  Key(XK_BackSpace);
  EXPECT_EQ(Text(), "abc") << "Backspace at the start";
  EXPECT_EQ(box->Caret().x, 0);
  Key(XK_Delete);
  EXPECT_EQ(Text(), "bc");
  Key(XK_End);
  Key(XK_BackSpace);
  EXPECT_EQ(Text(), "b");
  Key(XK_BackSpace);
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(box->GetStateBits() & kTextNotEmpty);
  Key(XK_BackSpace);
  Key(XK_Delete);
  EXPECT_EQ(Text(), "");

  // With a selection both delete exactly the selection.
  box->SetText("abcdef");
  box->SetSelection({1, 0, 4, 0});
  Key(XK_BackSpace);
  EXPECT_EQ(Text(), "aef");
  EXPECT_EQ(box->Caret().x, 1);
  box->SetSelection({2, 0, 1, 0});
  Key(XK_Delete);
  EXPECT_EQ(Text(), "af") << "a selection made leftwards deletes the same characters";
}

TEST_F(TextBoxKeys, CaretKeysCollapseTheSelectionAtItsSide) {
  box->SetText("abcdef");
  box->SetSelection({2, 0, 4, 0});
  Key(XK_Left);
  EXPECT_FALSE(box->HasSelection());
  EXPECT_EQ(box->Caret().x, 2);
  EXPECT_TRUE(box->CaretVisible());
  box->SetSelection({2, 0, 4, 0});
  Key(XK_Right);
  EXPECT_FALSE(box->HasSelection());
  EXPECT_EQ(box->Caret().x, 4);
  Key(XK_Right);
  EXPECT_EQ(box->Caret().x, 5);

  box->SetSelection({1, 0, 3, 0});
  Key(XK_End);
  EXPECT_FALSE(box->HasSelection());
  EXPECT_EQ(box->Caret().x, 6);
  Key(XK_Right);
  EXPECT_EQ(box->Caret().x, 6);
  EXPECT_EQ(box->Textpos2Coord(box->Caret()).x, Width("abcdef"));
  box->SetSelection({1, 0, 3, 0});
  Key(XK_Home);
  EXPECT_FALSE(box->HasSelection());
  EXPECT_EQ(box->Caret().x, 0);
  Key(XK_Left);
  EXPECT_EQ(box->Caret().x, 0);

  // Typing over a selection replaces it.
  box->SetSelection({1, 0, 5, 0});
  Type("x");
  EXPECT_EQ(Text(), "axf");
  EXPECT_EQ(box->Caret().x, 2);
}

TEST_F(TextBoxKeys, ControlKeysSelectCopyCutPasteBetweenBoxes) {
  auto second = MakeBox(2);
  Type("hello");
  Control('a');
  EXPECT_TRUE(box->HasSelection());
  EXPECT_EQ(box->SelectionAnchor(), 0);
  EXPECT_EQ(box->SelectionEnd(), 5);
  EXPECT_FALSE(box->CaretVisible()) << "the caret hides while the whole text is selected";
  EXPECT_EQ(Corners(box->SelectionRect()), (std::vector<int>{1, 2, Width("hello") + 1, 18}));
  Control('c');
  EXPECT_EQ(Text(), "hello");

  Type("ab ", second.get());
  Control('v', second.get());
  EXPECT_EQ(Text(second.get()), "ab hello");

  // Cut empties the selection's place; Control and "i" drops a selection without deleting.
  box->SetSelection({1, 0, 4, 0});
  Control('x');
  EXPECT_EQ(Text(), "ho");
  Control('a', second.get());
  Control('i', second.get());
  EXPECT_FALSE(second->HasSelection());
  EXPECT_EQ(Text(second.get()), "ab hello");
  Control('v', second.get());
  EXPECT_EQ(Text(second.get()), "ab helloell");

  // Copying without a selection serves an empty text.
  Control('c');
  ForeignClient other;
  const ForeignClient::Answer answer = other.Request("UTF8_STRING");
  ASSERT_NE(answer.property, static_cast<Atom>(None));
  EXPECT_EQ(answer.bytes, "");
  Control('v', second.get());
  EXPECT_EQ(Text(second.get()), "ab helloell");
}

TEST_F(TextBoxKeys, PastedTabsAndLineBreaksAreDropped) {
  ForeignClient other;
  ASSERT_TRUE(other.Own("a\tb", "STRING"));
  Control('v');
  EXPECT_EQ(Text(), "ab");
  ASSERT_TRUE(other.Own("\r\nx\ny\rz\x01", "UTF8_STRING"));
  Key(XK_Home);
  Control('v');
  EXPECT_EQ(Text(), "xyzab");
  EXPECT_EQ(box->Caret().x, 3) << "the caret follows what was pasted";
  EXPECT_EQ(box->LineCount(), 1);
}

TEST_F(TextBoxKeys, UndoAndRedoHoldOneStep) {
  Type("ab");
  Type("c");
  Control('z');
  EXPECT_EQ(Text(), "ab");
  EXPECT_EQ(box->Caret().x, 2);
  Control('z');
  EXPECT_EQ(Text(), "ab") << "a second undo does nothing";
  Control('y');
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(box->Caret().x, 3);
  Control('y');
  EXPECT_EQ(Text(), "abc");

  // Undo brings the selection back with the text; a new edit makes the redo unavailable.
  Control('a');
  Type("x");
  EXPECT_EQ(Text(), "x");
  Control('z');
  EXPECT_EQ(Text(), "abc");
  EXPECT_TRUE(box->HasSelection());
  EXPECT_EQ(box->SelectionEnd(), 3);
  Type("q");
  Control('y');
  EXPECT_EQ(Text(), "q");
  EXPECT_FALSE(box->RedoAvailable());

  // Undoing a cut restores the text, bit 0x01 included.
  Control('a');
  Control('x');
  EXPECT_FALSE(box->GetStateBits() & kTextNotEmpty);
  Control('z');
  EXPECT_EQ(Text(), "q");
  EXPECT_TRUE(box->GetStateBits() & kTextNotEmpty);
}

TEST_F(TextBoxKeys, ReturnAndEscapeAreReportedOnPressAndRelease) {
  Type("go");
  Key(XK_Return);
  Key(XK_Escape);
  Key(XK_KP_Enter);
  ASSERT_EQ(listener.messages.size(), 6u);
  for (size_t i = 0; i < listener.messages.size(); ++i) {
    SCOPED_TRACE(i);
    const SEvent& message = listener.messages[i];
    EXPECT_EQ(message.type, kEventTextKey);
    EXPECT_EQ(message.kind, kKindValue);
    EXPECT_EQ(message.sender, box.get());
    EXPECT_NE(message.data, nullptr);
    EXPECT_TRUE(message.value & kTextNotEmpty);
    EXPECT_EQ((message.value & kTextReturn) != 0, i < 2 || i >= 4);
    EXPECT_EQ((message.value & kTextKeyUp) != 0, i % 2 == 1) << "a press, then its release";
  }
  EXPECT_EQ(Text(), "go") << "neither key edits";
  // Other keys send nothing.
  Type("x");
  Key(XK_Tab);
  EXPECT_EQ(listener.messages.size(), 6u);
}

TEST_F(TextBoxKeys, TheLabelDialogSetsLimitTextAndSelection) {
  Type("abcdefghijklmnop");
  box->SetMaxLength(11);
  EXPECT_EQ(Text(), "abcdefghijk");
  box->SetMaxLength(0);
  EXPECT_EQ(box->GetMaxLength(), 11) << "a limit of nothing is ignored";

  box->SetText("Grand Piano Left\tBass\r\nDrums");
  EXPECT_EQ(box->LineCount(), 3);
  EXPECT_EQ(Text(), "Grand Piano");
  EXPECT_STREQ(box->GetLine(1).Get(), "Bass");
  EXPECT_STREQ(box->GetLine(2).Get(), "Drums");
  EXPECT_STREQ(box->GetLine(3).Get(), "");
  EXPECT_STREQ(box->GetLine(-1).Get(), "");
  EXPECT_TRUE(box->GetStateBits() & kTextMultiLine);
  EXPECT_FALSE(box->UndoAvailable()) << "a new text leaves nothing to undo";
  box->SelectAll();
  EXPECT_EQ(box->SelectionAnchor(), 0);
  EXPECT_EQ(box->SelectionEnd(), 11);
  EXPECT_EQ(box->Caret().x, 11);

  // In a box of several lines Up and Down choose the line the keys edit.
  Key(XK_Down);
  Key(XK_Down);
  Key(XK_Down);
  EXPECT_EQ(box->CurrentLine(), 2);
  EXPECT_EQ(box->Caret().x, 4) << "the caret keeps its column as far as the shorter line allowed";
  Type("x");
  EXPECT_STREQ(box->GetLine(2).Get(), "Drumxs");
  Key(XK_Up);
  Key(XK_End);
  Type("s");
  EXPECT_STREQ(box->GetLine(1).Get(), "Basss");
  EXPECT_EQ(box->Textpos2Coord({0, 1}).y, 26);

  box->SetText("one line");
  EXPECT_FALSE(box->GetStateBits() & kTextMultiLine);
  Key(XK_Down);
  EXPECT_EQ(box->CurrentLine(), 0);
  box->SetText(nullptr);
  EXPECT_EQ(box->LineCount(), 1);
  EXPECT_EQ(Text(), "");
  box->SelectAll();
  EXPECT_FALSE(box->HasSelection()) << "an empty text has nothing to select";
}

}  // namespace
}  // namespace tovo::gui
