// The text entry of the label dialog: one line of text (or several, when its text held line breaks), a
// blinking caret, a selection made with the keys or the mouse, one step of undo and redo, and copy, cut and
// paste through the X clipboard. Return and Escape are reported to the listeners as text-box key events
// (type 10) whose value carries the box's state bits; the owner then reads the first line.
#pragma once

#include <vector>

#include "gui/SWindow.h"
#include "gui/context/SData.h"
#include "gui/widgets/SIHoverable.h"

namespace tovo::file {
class SClipboard;
}

namespace tovo::gui {

namespace context {
class SDrawBitmap;
class SDrawBrush;
class SDrawFont;
class SDrawMemoryDevice;
}  // namespace context

// State bits of a text box, sent as the value of its type-10 events.
enum STextBoxState : int {
  kTextNotEmpty = 0x01,
  kTextMultiLine = 0x02,
  kTextSelection = 0x04,
  kTextReturn = 0x20,  // the last of Return and Escape was Return
  kTextKeyUp = 0x40,   // the event reports the key's release
};

class STextBox : public SWindow, public SIHoverable {
 public:
  // How often the caret blinks, in milliseconds.
  static constexpr int kBlinkInterval = 222;
  static constexpr int kDefaultMaxLength = 32;
  // Height of one line of a multi-line box.
  static constexpr int kLineHeight = 16;

  STextBox(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y,
           int width, int height, int hostWindow, bool flag);
  // Stops the blink timer (joining its thread) before anything it could mark due goes.
  ~STextBox() override;

  // Inserts at the caret, replacing an active selection, up to the maximum length; line breaks, tabs and
  // other control characters are skipped. Null inserts nothing.
  void InsertText(const char* text, bool redraw);
  void InsertChar(char c);
  // Deletes the selected characters and puts the caret where they were.
  void ClearSelection(bool redraw);
  // Caret to (character index, line), clamped; the selection collapses there. Nothing when it is there.
  void MoveCaret(const SPoint& position, bool refresh);
  void MoveCaretToEnd(bool refresh);
  // The pixel point of a (character index, line) position: x after the text before it, y the line's middle.
  SPoint Textpos2Coord(const SPoint& position);
  // Restores a selection saved as (anchor, line, end, line).
  void SetSelection(const SRect& record);
  // The undo snapshot of the current line: text, selection and caret; redo is then unavailable.
  void SaveState();
  // Renders the text and selection into the double buffer and asks for a repaint.
  void RedrawLabel();

  // For the owner: the font the text is drawn in (not owned).
  void SetFont(context::SDrawFont* textFont);
  // At most length characters per line from now on (non-positive lengths are ignored); longer lines are cut.
  void SetMaxLength(int length);
  // Replaces the text, split into lines at line feeds, tabs and carriage returns, each cut to the maximum
  // length; caret at the start, no selection, nothing to undo.
  void SetText(const char* text);
  // Selects the whole text of the current line with the caret at its end (nothing for an empty line).
  void SelectAll();
  // The text of a line; empty for a line that does not exist.
  const SLabelText& GetLine(int line) const;
  int LineCount() const { return static_cast<int>(lines.size()); }
  int GetMaxLength() const { return maxLength; }
  int GetStateBits() const { return stateBits; }
  bool HasSelection() const { return (stateBits & kTextSelection) != 0; }
  int SelectionAnchor() const { return anchor; }
  int SelectionEnd() const { return selectionEnd; }
  SRect SelectionRect() const { return selectionRect; }
  SPoint Caret() const { return caret; }
  bool CaretVisible() const { return caretVisible; }
  bool CaretPhase() const { return caretPhase; }
  bool UndoAvailable() const { return undoAvailable; }
  bool RedoAvailable() const { return redoAvailable; }
  bool Selecting() const { return selecting; }
  int CurrentLine() const { return currentLine; }
  tovo::threading::STimer* BlinkTimer() const { return blinkTimer; }
  int SelectionColour(bool focused) const { return focused ? selectionFocusedColour : selectionColour; }
  int CaretColour() const { return caretColour; }

  void Focussing(bool on) override;
  void Draw(const SRect& rect) override;
  void DrawOutlines(const SRect& rect) override;
  void MouseStateChanged(bool* state, int index) override;
  void MousePosChanged(int dx, int dy) override;
  void KeyStateChanged(int code, bool pressed, int modifiers, int keyClass) override;
  // Blinks the caret on the blink timer's messages.
  void ParseEvent(SEvent* event) override;
  void SetRoundShape(bool round) override;

 private:
  struct EditRecord {
    SLabelText text;
    int line = 0;
    int anchor = 0;
    int end = 0;
    SPoint caret{0, 0};
  };

  SLabelText& Line() { return lines[static_cast<size_t>(currentLine)]; }
  int LineLength() { return static_cast<int>(Line().Length()); }
  int TextWidth(const SLabelText& text, int count) const;
  // The character index under a pixel column of the current line.
  int CharacterAt(int x);
  // Caret to (character index, line), clamped, with its segment; the selection collapses there.
  void PlaceCaret(const SPoint& position);
  // Where the pointer is in the box now, or the last known position when the server cannot tell.
  SPoint PointerPosition();
  // Collapses any selection at the caret and shows the caret again.
  void DropSelection();
  // The selection between two character positions of the current line (none when they are equal).
  void Select(int from, int to);
  void UpdateTextBit();
  void RecordState(EditRecord& record);
  void RestoreState(const EditRecord& record);
  // Replaces the characters [from, from + count) of the current line by insert.
  void Splice(int from, int count, const char* insert);

  void OnControlKey(int character);
  void OnCharacter(int character, int modifiers);
  void OnSpecialKey(int code);
  void OnPress(bool doubleClick);
  void OnRelease();
  void Copy();
  void Paste();
  void Undo();
  void Redo();

  context::SDrawBitmap* buffer = nullptr;
  context::SDrawMemoryDevice* bufferDevice = nullptr;
  context::SDrawFont* font = nullptr;
  context::SDrawBrush* unfocusedBrush = nullptr;
  context::SDrawBrush* focusedBrush = nullptr;
  context::SDrawBrush* selectionBrush = nullptr;
  std::vector<SLabelText> lines;
  tovo::threading::STimer* blinkTimer = nullptr;
  bool caretVisible = true;
  bool caretPhase = false;
  SPoint caret{0, 0};
  SRect caretSegment{0, 2, 0, 18};
  int alignment = 33;
  int anchor = 0;
  int selectionEnd = 0;
  SRect selectionRect{-1, -1, -1, -1};
  int selectionColour;
  int selectionFocusedColour;
  int caretColour;
  int maxLength = kDefaultMaxLength;
  int stateBits = 0;
  SPoint pressPoint{0, 0};
  SPoint pointerPoint{0, 0};
  bool selecting = false;
  EditRecord undo;
  EditRecord redo;
  bool undoAvailable = false;
  bool redoAvailable = false;
  int currentLine = 0;
  SLabelText scratch;
  tovo::file::SClipboard* clipboard = nullptr;
  context::SDataSimple eventData;
  bool roundShape = false;
};

}  // namespace tovo::gui
