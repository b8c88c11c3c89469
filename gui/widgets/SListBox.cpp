// The list's lines, its selection and scrolling, and its drawing.
#include "gui/widgets/SListBox.h"

#include <algorithm>

#include "gui/SEvent.h"
#include "gui/SInput.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/STextFit.h"

namespace tovo::gui {

using namespace context;

namespace {

constexpr int kCellGap = 6;
constexpr int kTextIndent = 3;
constexpr int kWheelLines = 3;

}  // namespace

SListBox::SListBox(SGlobals* owner, SControl* parentControl, const char* name, int x, int y, int width,
                   int height, std::vector<int> cellStarts, context::SDrawFont* textFont,
                   const Colours& lineColours)
    : SControl(owner, parentControl, static_cast<unsigned>(owner->NextId()), name, 0, x, y, width, height,
               static_cast<int>(parentControl->GetWindow()), false),
      columns(std::move(cellStarts)),
      font(textFont),
      colours(lineColours) {
  if (columns.empty()) columns.push_back(0);
}

int SListBox::VisibleLines() const {
  return std::max(1, (clientRect.bottom - clientRect.top) / kLineHeight);
}

bool SListBox::Selectable(int index) const {
  return index >= 0 && index < LineCount() && !lines[static_cast<size_t>(index)].heading;
}

void SListBox::SetLines(std::vector<Line> given) {
  const int width = clientRect.right - clientRect.left;
  for (Line& line : given)
    for (size_t cell = 0; cell < line.cells.size() && cell < columns.size(); ++cell) {
      const int end = cell + 1 < columns.size() ? columns[cell + 1] - kCellGap : width - kTextIndent;
      line.cells[cell] = FitToWidth(std::move(line.cells[cell]), font, end - columns[cell] - kTextIndent);
    }
  lines = std::move(given);
  top = 0;
  selected = -1;
  for (int i = 0; i < LineCount() && selected < 0; ++i)
    if (Selectable(i)) selected = i;
  Refresh();
  Report();
}

void SListBox::Select(int index) {
  if (!Selectable(index)) return;
  const bool changed = index != selected;
  selected = index;
  if (selected < top) ScrollTo(selected);
  else if (selected >= top + VisibleLines()) ScrollTo(selected - VisibleLines() + 1);
  Refresh();
  if (changed) Report();
}

void SListBox::Step(int count) {
  if (count == 0 || lines.empty()) return;
  const int direction = count > 0 ? 1 : -1;
  int target = selected;
  for (int moved = 0, at = selected; moved < std::abs(count);) {
    at += direction;
    if (at < 0 || at >= LineCount()) break;
    if (!Selectable(at)) continue;
    target = at;
    ++moved;
  }
  Select(target);
}

void SListBox::ScrollTo(int first) {
  top = std::clamp(first, 0, std::max(0, LineCount() - VisibleLines()));
}

void SListBox::Report() {
  SendEvent(kEventValueChanged, kKindValue, selected, 0.0f, nullptr, this, nullptr);
}

void SListBox::MouseStateChanged(bool* mouse, int index) {
  if (index == kMouseWheel) {
    ScrollTo(top + (mouse[kMouseWheelUp] ? -kWheelLines : kWheelLines));
    Refresh();
    return;
  }
  if (index != kMouseLeftDown && index != kMouseLeftDouble) return;
  SPoint at;
  if (!PointerAtEvent(at)) return;
  const int line = top + at.y / kLineHeight;
  if (!Selectable(line)) return;
  Select(line);
  if (index == kMouseLeftDouble) SendEvent(kEventControlChanged, kKindValue, line, 0.0f, nullptr, this, nullptr);
}

void SListBox::Draw(const SRect&) {
  if (!drawing) return;
  const int width = clientRect.right - clientRect.left;
  const int height = clientRect.bottom - clientRect.top;
  drawing->SetBrush(statdata.FindBrush(colours.background));
  drawing->FillRect(0, 0, width, height);
  drawing->SetFont(font);
  const int shown = std::min(LineCount() - top, VisibleLines());
  for (int i = 0; i < shown; ++i) {
    const int index = top + i;
    const Line& line = lines[static_cast<size_t>(index)];
    const int y = i * kLineHeight;
    int text = line.heading ? colours.heading : colours.text;
    if (index == selected) {
      drawing->SetBrush(statdata.FindBrush(colours.selectedBackground));
      drawing->FillRect(0, y, width, y + kLineHeight);
      text = colours.selectedText;
    }
    drawing->SetTextColour(text, false);
    const int textTop = y + (kLineHeight - font->Ascent()) / 2 - 1;
    for (size_t cell = 0; cell < line.cells.size() && cell < columns.size(); ++cell)
      drawing->DrawText(line.cells[cell].c_str(), columns[cell] + kTextIndent, textTop);
  }
}

}  // namespace tovo::gui
