// Text boxes: editing by keys, mouse selection, undo and redo, the clipboard, the blinking caret and the
// double-buffered rendering.
#include "gui/widgets/STextBox.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "file/SClipboard.h"
#include "gui/SInput.h"
#include "gui/SKeyMap.h"
#include "gui/XDisplay.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"
#include "threading/STimer.h"

namespace tovo::gui {

using namespace context;

namespace {

// Slots of the shared colour table: the selection while the box has no focus (mid grey) and the caret
// (white).
constexpr int kUnfocusedSelectionSlot = 19;
constexpr int kCaretSlot = 0;
// The caret and the selection span the line's text height from this offset down.
constexpr int kLineTop = 2;
constexpr int kLineBottom = 18;
constexpr int kFrameRadius = 7;

int SlotColour(int slot) {
  return statdata.ColoursAdded() ? statdata.GetColour(slot) : 0;
}

}  // namespace

STextBox::STextBox(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name,
                   int styleBits, int x, int y, int width, int height, int hostWindow, bool flag)
    // A drag that leaves the box keeps selecting: the box holds the pointer while a button is down.
    : SWindow(owner, parentControl, controlId, name, styleBits | kStyleCaptureOnPress, x, y, width, height,
              hostWindow, flag),
      selectionColour(SlotColour(kUnfocusedSelectionSlot)),
      selectionFocusedColour(SCOL(160, 90, 0)),
      caretColour(SlotColour(kCaretSlot)) {
  blinkTimer = AddTimer(kBlinkInterval, false);
  unfocusedBrush = statdata.FindBrush(selectionColour);
  focusedBrush = statdata.FindBrush(selectionFocusedColour);
  selectionBrush = focusedBrush;
  buffer = new SDrawBitmap(nullptr, width, height, false);
  if (GetDevice()) bufferDevice = new SDrawMemoryDevice(GetDevice(), buffer);
  clipboard = new tovo::file::SClipboard();
  lines.emplace_back();
  RedrawLabel();
}

STextBox::~STextBox() {
  delete blinkTimer;
  delete clipboard;
  delete bufferDevice;
  delete buffer;
}

// --- Measuring -------------------------------------------------------------------------------------------

int STextBox::TextWidth(const SLabelText& text, int count) const {
  if (!font || count <= 0) return 0;
  return font->TextWidth(text.Get(), std::min(count, static_cast<int>(text.Length())));
}

SPoint STextBox::Textpos2Coord(const SPoint& position) {
  const int line = std::clamp(position.y, 0, LineCount() - 1);
  return {TextWidth(lines[static_cast<size_t>(line)], position.x), position.y * kLineHeight + 10};
}

// The longest prefix whose width, less the text's inset, stays left of the pointer.
int STextBox::CharacterAt(int x) {
  if (x < 2) return 0;
  const int length = LineLength();
  int index = 0;
  while (index < length && TextWidth(Line(), index + 1) - 2 < x) ++index;
  return index;
}

SPoint STextBox::PointerPosition() {
  Display* display = CurrentDisplay();
  Window root, child;
  int rootX, rootY, x, y;
  unsigned mask;
  if (display && window && XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask))
    return {x, y};
  return input ? SPoint{input->x, input->y} : SPoint{0, 0};
}

// --- Caret and selection ---------------------------------------------------------------------------------

void STextBox::PlaceCaret(const SPoint& position) {
  const int line = std::clamp(position.y, 0, LineCount() - 1);
  const int index = std::clamp(position.x, 0, static_cast<int>(lines[static_cast<size_t>(line)].Length()));
  caret = {index, line};
  anchor = selectionEnd = index;
  const SPoint at = Textpos2Coord(caret);
  caretSegment = {at.x, at.y - 8, at.x, at.y + 8};
}

void STextBox::MoveCaret(const SPoint& position, bool refresh) {
  const int line = std::clamp(position.y, 0, LineCount() - 1);
  const int index = std::clamp(position.x, 0, static_cast<int>(lines[static_cast<size_t>(line)].Length()));
  if (caret.x == index && caret.y == line) return;
  PlaceCaret({index, line});
  if (refresh) Refresh();
}

void STextBox::MoveCaretToEnd(bool refresh) {
  DropSelection();
  PlaceCaret({LineLength(), currentLine});
  if (refresh) RedrawLabel();
}

void STextBox::DropSelection() {
  anchor = selectionEnd = caret.x;
  selectionRect = {-1, -1, -1, -1};
  stateBits &= ~kTextSelection;
  caretVisible = true;
}

void STextBox::Select(int from, int to) {
  anchor = from;
  selectionEnd = to;
  if (from == to) {
    selectionRect = {-1, -1, -1, -1};
    stateBits &= ~kTextSelection;
    return;
  }
  const int left = TextWidth(Line(), std::min(from, to)), right = TextWidth(Line(), std::max(from, to));
  const int top = currentLine * kLineHeight;
  selectionRect = {left + 1, top + kLineTop, right + 1, top + kLineBottom};
  stateBits |= kTextSelection;
}

void STextBox::SetSelection(const SRect& record) {
  currentLine = std::clamp(record.top, 0, LineCount() - 1);
  const int length = LineLength();
  Select(std::clamp(record.left, 0, length), std::clamp(record.right, 0, length));
}

void STextBox::SelectAll() {
  if (LineLength() == 0) return;
  PlaceCaret({LineLength(), currentLine});
  Select(0, LineLength());
  caretVisible = false;
  RedrawLabel();
}

// A selection dragged leftwards has its anchor on the right; deleting works on the ordered pair.
void STextBox::ClearSelection(bool redraw) {
  if (LineLength() == 0) return;
  const int from = std::clamp(std::min(anchor, selectionEnd), 0, LineLength());
  const int to = std::clamp(std::max(anchor, selectionEnd), 0, LineLength());
  Splice(from, to - from, "");
  PlaceCaret({from, currentLine});
  DropSelection();
  UpdateTextBit();
  Refresh();
  if (redraw) RedrawLabel();
}

// --- Editing ---------------------------------------------------------------------------------------------

void STextBox::Splice(int from, int count, const char* insert) {
  const std::string old(Line().Get());
  std::string edited = old.substr(0, static_cast<size_t>(from)) + insert;
  edited += old.substr(static_cast<size_t>(std::min(from + count, static_cast<int>(old.size()))));
  Line().Clear(false).Append(edited.c_str());
}

void STextBox::UpdateTextBit() {
  bool any = false;
  for (const SLabelText& line : lines) any = any || line.Length() > 0;
  stateBits = any ? (stateBits | kTextNotEmpty) : (stateBits & ~kTextNotEmpty);
}

void STextBox::InsertChar(char c) {
  if (LineLength() >= maxLength) return;
  const char text[2] = {c, 0};
  const int at = caret.x;
  Splice(at, 0, text);
  PlaceCaret({at + 1, currentLine});
  UpdateTextBit();
}

void STextBox::InsertText(const char* text, bool redraw) {
  if (!text) return;
  if (HasSelection()) ClearSelection(false);
  for (const char* c = text; *c && LineLength() < maxLength; ++c) {
    // Lines are the box's own unit: breaks, tabs and other control characters from elsewhere are dropped.
    if (static_cast<unsigned char>(*c) < 32) continue;
    InsertChar(*c);
  }
  if (redraw) RedrawLabel();
}

void STextBox::RecordState(EditRecord& record) {
  record.text = Line();
  record.line = currentLine;
  record.anchor = anchor;
  record.end = selectionEnd;
  record.caret = caret;
}

void STextBox::RestoreState(const EditRecord& record) {
  currentLine = std::clamp(record.line, 0, LineCount() - 1);
  Line() = record.text;
  PlaceCaret({record.caret.x, currentLine});
  SetSelection({record.anchor, currentLine, record.end, currentLine});
  caretVisible = !HasSelection();
  UpdateTextBit();
}

void STextBox::SaveState() {
  RecordState(undo);
  undoAvailable = true;
  redoAvailable = false;
}

void STextBox::Undo() {
  if (!undoAvailable) return;
  RecordState(redo);
  RestoreState(undo);
  undoAvailable = false;
  redoAvailable = true;
  RedrawLabel();
}

void STextBox::Redo() {
  if (!redoAvailable) return;
  RestoreState(redo);
  redoAvailable = false;
  undoAvailable = true;
  RedrawLabel();
}

// --- Owner's operations ----------------------------------------------------------------------------------

void STextBox::SetFont(SDrawFont* textFont) {
  font = textFont;
  // Pixel positions follow the new font; the selection keeps its characters.
  const int from = anchor, to = selectionEnd;
  PlaceCaret(caret);
  Select(from, to);
  RedrawLabel();
}

void STextBox::SetMaxLength(int length) {
  if (length <= 0) return;
  maxLength = length;
  for (SLabelText& line : lines) {
    if (static_cast<int>(line.Length()) <= length) continue;
    const std::string kept(line.Get(), static_cast<size_t>(length));
    line.Clear(false).Append(kept.c_str());
  }
  const int from = std::min(anchor, LineLength()), to = std::min(selectionEnd, LineLength());
  PlaceCaret(caret);
  Select(from, to);
  caretVisible = !HasSelection();
  UpdateTextBit();
  RedrawLabel();
}

void STextBox::SetText(const char* text) {
  lines.clear();
  SLabelText whole;
  whole.Append(text);
  whole.Tokenize(lines, "\n\t\r");
  if (lines.empty()) lines.emplace_back();
  stateBits = lines.size() > 1 ? (stateBits | kTextMultiLine) : (stateBits & ~kTextMultiLine);
  currentLine = 0;
  const int keep = maxLength;
  maxLength = 0;
  SetMaxLength(keep);
  PlaceCaret({0, 0});
  DropSelection();
  undoAvailable = redoAvailable = false;
  UpdateTextBit();
  RedrawLabel();
}

const SLabelText& STextBox::GetLine(int line) const {
  static const SLabelText none;
  if (line < 0 || line >= LineCount()) return none;
  return lines[static_cast<size_t>(line)];
}

// --- Keys ------------------------------------------------------------------------------------------------

void STextBox::KeyStateChanged(int code, bool pressed, int modifiers, int keyClass) {
  if (keyClass == kKeySpecial && (code == kKeyReturn || code == kKeyEscape)) {
    // Press and release alike: the owner acts on whichever it listens for.
    stateBits = code == kKeyReturn ? (stateBits | kTextReturn) : (stateBits & ~kTextReturn);
    SendEvent(kEventTextKey, kKindValue, stateBits | (pressed ? 0 : kTextKeyUp), 0.0f, &eventData, this,
              nullptr);
    return;
  }
  if (!pressed) return;
  if (keyClass == kKeyCharacter) {
    if ((modifiers & kModControl) && !(modifiers & kModAlt))
      OnControlKey(code);
    else
      OnCharacter(code, modifiers);
  } else if (keyClass == kKeySpecial) {
    OnSpecialKey(code);
  }
}

void STextBox::OnControlKey(int character) {
  if (character < 0 || character > 255) return;
  const int command = std::tolower(character);
  if (command != 'y' && command != 'z' && std::strchr("acivx", command)) SaveState();
  switch (command) {
    case 'a':
      SelectAll();
      break;
    case 'c':
      Copy();
      break;
    case 'i':
      DropSelection();
      RedrawLabel();
      break;
    case 'v':
      Paste();
      break;
    case 'x':
      Copy();
      ClearSelection(true);
      break;
    case 'y':
      Redo();
      break;
    case 'z':
      Undo();
      break;
    default:
      break;
  }
}

// Plain, shifted, or with AltGr (which X reports as Control and Alt together) characters are typed.
void STextBox::OnCharacter(int character, int modifiers) {
  if (modifiers != 0 && modifiers != kModShift && modifiers != (kModControl | kModAlt)) return;
  if (character < 32 || character > 255) return;
  SaveState();
  if (HasSelection()) ClearSelection(false);
  InsertChar(static_cast<char>(character));
  UpdateTextBit();
  RedrawLabel();
}

void STextBox::OnSpecialKey(int code) {
  switch (code) {
    case kKeyBackSpace:
      SaveState();
      if (HasSelection()) {
        ClearSelection(true);
      } else if (caret.x > 0) {
        const int at = caret.x - 1;
        Splice(at, 1, "");
        MoveCaret({at, currentLine}, false);
        UpdateTextBit();
        RedrawLabel();
      }
      break;
    case kKeyDelete:
      SaveState();
      if (LineLength() == 0) break;
      if (HasSelection()) {
        ClearSelection(true);
      } else if (caret.x < LineLength()) {
        Splice(caret.x, 1, "");
        UpdateTextBit();
        RedrawLabel();
      }
      break;
    case kKeyLeft:
    case kKeyRight: {
      SaveState();
      int to;
      if (HasSelection())
        to = code == kKeyLeft ? std::min(anchor, selectionEnd) : std::max(anchor, selectionEnd);
      else
        to = caret.x + (code == kKeyLeft ? -1 : 1);
      DropSelection();
      MoveCaret({to, currentLine}, false);
      RedrawLabel();
      break;
    }
    case kKeyHome:
      SaveState();
      DropSelection();
      MoveCaret({0, currentLine}, false);
      RedrawLabel();
      break;
    case kKeyEnd:
      SaveState();
      MoveCaretToEnd(true);
      break;
    case kKeyUp:
    case kKeyDown:
      SaveState();
      if (!(stateBits & kTextMultiLine)) break;
      DropSelection();
      currentLine = std::clamp(currentLine + (code == kKeyUp ? -1 : 1), 0, LineCount() - 1);
      MoveCaret({caret.x, currentLine}, false);
      RedrawLabel();
      break;
    default:
      break;
  }
}

// --- Clipboard -------------------------------------------------------------------------------------------

void STextBox::Copy() {
  if (!clipboard->Open(this)) return;
  scratch.Clear(false);
  if (HasSelection()) {
    const int from = std::clamp(std::min(anchor, selectionEnd), 0, LineLength());
    const int to = std::clamp(std::max(anchor, selectionEnd), 0, LineLength());
    const std::string selected(Line().Get() + from, static_cast<size_t>(to - from));
    scratch.Append(selected.c_str());
  }
  SData data;
  data.SetTextData(scratch.Get());
  // An empty selection still replaces what the clipboard held, with an empty text.
  data.SetFormat(SData::kText);
  data.SetSize(scratch.Length() + 1);
  clipboard->SetData(data);
  clipboard->Close();
}

void STextBox::Paste() {
  if (!clipboard->Open(this)) return;
  SData data;
  const bool got = clipboard->GetData(data, SData::kText);
  clipboard->Close();
  if (got) InsertText(data.GetTextData(), true);
}

// --- Mouse -----------------------------------------------------------------------------------------------

void STextBox::MouseStateChanged(bool*, int index) {
  switch (index) {
    case kMouseEntered:
    case kMouseMoving:
      if (!hovering) {
        hovering = true;
        RefreshOutlines();
      }
      break;
    case kMouseLeft:
      hovering = false;
      RefreshOutlines();
      break;
    case kMouseLeftDown:
    case kMouseLeftDouble:
      OnPress(index == kMouseLeftDouble);
      break;
    case kMouseReleased:
      OnRelease();
      break;
    default:
      break;
  }
}

void STextBox::OnPress(bool doubleClick) {
  hovering = true;
  Focus(true);
  SaveState();
  pressPoint = pointerPoint = PointerPosition();
  DropSelection();
  PlaceCaret({CharacterAt(pressPoint.x), currentLine});
  selecting = true;
  caretVisible = false;
  if (doubleClick) {
    SelectAll();
    selecting = false;
  }
  RedrawLabel();
}

void STextBox::MousePosChanged(int, int) {
  if (!selecting || !input) return;
  pointerPoint = {input->x, input->y};
  const int at = CharacterAt(pointerPoint.x);
  Select(anchor, at);
  RedrawLabel();
}

void STextBox::OnRelease() {
  hovering = PointerInside();
  RefreshOutlines();
  if (!selecting) return;
  if (anchor == selectionEnd) {
    DropSelection();
  } else {
    const int from = std::min(anchor, selectionEnd), to = std::max(anchor, selectionEnd);
    PlaceCaret({to, currentLine});
    Select(from, to);
  }
  selecting = false;
  RedrawLabel();
}

// --- Focus and blinking ----------------------------------------------------------------------------------

void STextBox::Focussing(bool on) {
  SWindow::Focussing(on);
  if (on) {
    if (!HasSelection()) {
      caretVisible = true;
      Refresh();
    }
    if (blinkTimer) blinkTimer->Start(kBlinkInterval);
    selectionBrush = focusedBrush;
  } else {
    if (blinkTimer) blinkTimer->Stop();
    caretVisible = false;
    caretPhase = false;
    selectionBrush = unfocusedBrush;
  }
  RedrawLabel();
}

void STextBox::ParseEvent(SEvent* event) {
  if (!event || event->type != kEventTimer || !blinkTimer || event->value != blinkTimer->Id()) return;
  if (!caretVisible) return;
  caretPhase = !caretPhase;
  Refresh();
}

// --- Drawing ---------------------------------------------------------------------------------------------

void STextBox::RedrawLabel() {
  if (!drawing || !bufferDevice) return;
  SDrawDevice* screen = drawing->GetDevice();
  drawing->SetDevice(bufferDevice);
  const SRect client{0, 0, clientRect.right - clientRect.left, clientRect.bottom - clientRect.top};
  SControl::Draw(client);
  if (stateBits & kTextNotEmpty) {
    if (HasSelection()) {
      drawing->SetBrush(selectionBrush);
      drawing->FillRect(selectionRect);
    }
    drawing->SetFont(font);
    drawing->SetPen(statdata.FindPen(drawing->GetTextColour(false)));
    // Line by line from the top, where the caret and the selection are, however tall the box is.
    for (int i = 0; i < LineCount(); ++i)
      drawing->DrawLabel(lines[static_cast<size_t>(i)].Get(),
                         {2, 2 + kLineHeight * i, client.right - 2, 18 + kLineHeight * i}, alignment, {0, 0});
  }
  drawing->SetDevice(screen);
  Refresh();
}

void STextBox::Draw(const SRect&) {
  if (!drawing || !bufferDevice) return;
  const SRect client{0, 0, clientRect.right - clientRect.left, clientRect.bottom - clientRect.top};
  drawing->DrawMemory(bufferDevice, 0, 0, client.left, client.top, client.right, client.bottom);
  if (caretVisible && caretPhase) {
    drawing->SetPen(statdata.FindPen(caretColour));
    drawing->DrawLine(caretSegment.left + 1, caretSegment.top, caretSegment.left + 1, caretSegment.bottom);
    drawing->DrawLine(caretSegment.left + 2, caretSegment.top, caretSegment.left + 2, caretSegment.bottom);
  }
  DrawOutlines(client);
}

void STextBox::DrawOutlines(const SRect& rect) {
  if (!drawing) return;
  int colour;
  if (hovering)
    colour = offHoverColour;
  else if (style & kStyleFramedOutline)
    colour = GetFrameColour(Enabled(), false);
  else
    colour = drawing->GetParentBackgroundColour();
  drawing->SetPen(statdata.FindPen(colour));
  if (roundShape)
    drawing->DrawRoundedRect(rect, kFrameRadius, kFrameRadius);
  else
    drawing->DrawRect(rect);
}

void STextBox::SetRoundShape(bool round) {
  roundShape = round;
  SWindow::SetRoundShape(round);
}

}  // namespace tovo::gui
