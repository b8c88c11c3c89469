// Building a tooltip's content from text and draw objects, and the offsets of its two sides.
#include "gui/widgets/SToolTipData.h"

#include <cstring>

#include "gui/widgets/SDrawObject.h"
#include "gui/widgets/STextExtent.h"
#include "gui/widgets/SToolTip.h"

namespace tovo::gui {

namespace {

// Room around the text: 24 pixels on either side (the arrow takes 4 of them on its side) and 6 above and
// below the text box, whose height is the text's plus 4.
constexpr int kSideRoom = 48;
constexpr int kArrowShift = 4;
constexpr int kBoxPadding = 4;
constexpr int kVerticalRoom = 20;

}  // namespace

SToolTipData::SToolTipData(SToolTip* tip, SControl* control, int side)
    : tooltip(tip), owner(control), placement(ValidPlacement(side)) {}

SToolTipData::~SToolTipData() {
  for (SDrawObject* object : objects) delete object;
  if (!tooltip) return;
  tooltip->Forget(this);
  if (owner) tooltip->Unregister(owner);
}

int SToolTipData::ValidPlacement(int side) { return side >= kTipAbove && side <= kTipLeft ? side : kTipLeft; }

void SToolTipData::Attach(SToolTip* tip, SControl* control, int side) {
  tooltip = tip;
  owner = control;
  placement = ValidPlacement(side);
}

void SToolTipData::AddLabel(const char* text, unsigned flags) {
  lines.clear();
  lineRects.clear();
  if (!tooltip) return;
  const char* content = text ? text : "";
  const bool oneLine = !std::strchr(content, '\n');
  const STextExtent extent = oneLine
                                 ? STextExtent::MeasureRun(content, static_cast<int>(std::strlen(content)),
                                                           tooltip->GetFont())
                                 : STextExtent::MeasureLines(content, tooltip->GetFont());
  const int w = extent.width;
  const int h = extent.height + kBoxPadding;
  boxWidth = w + kSideRoom;
  boxHeight = extent.height + kVerticalRoom;

  // Measuring breaks lines at line feeds only, drawing also at tabs and carriage returns, and drops the
  // empty lines that measuring counted: blank lines only add space.
  if (oneLine) {
    lines.emplace_back();
    lines.back().Append(content);
  } else {
    Text whole;
    whole.Append(content).Tokenize(lines, "\n\t\r");
  }

  int left = (boxWidth - w) / 2;
  if (placement == kTipRight) left += kArrowShift;
  if (placement == kTipLeft) left -= kArrowShift;
  const int top = (boxHeight - h - kBoxPadding) / 2;
  const Rect box{left, top, left + w, top + h};
  const int count = static_cast<int>(lines.size());
  if (count == 0) return;
  const int rowHeight = h / count;
  for (int i = 0; i < count; ++i)
    lineRects.push_back({box.left, box.top + i * rowHeight, box.right,
                         i == count - 1 ? box.bottom : box.top + (i + 1) * rowHeight});
  for (int i = 0; i < count; ++i)
    AddObject(new STextObject(lines[i].Get(), lineRects[i], tooltip->GetBackgroundColour(),
                              tooltip->GetForegroundColour(), tooltip->GetTextColour(), tooltip->GetTextAlignment(),
                              nullptr),
              flags);
}

void SToolTipData::AddLabel(const Text& text, unsigned flags) { AddLabel(text.Get(), flags); }

void SToolTipData::AddText(const char* text, Rect& rect, unsigned flags) {
  if (!tooltip) return;
  AddObject(new STextObjectX(text, rect, tooltip->GetBackgroundColour(), tooltip->GetForegroundColour(),
                             tooltip->GetTextColour(), tooltip->GetTextAlignment(), tooltip->GetFont()),
            flags);
}

void SToolTipData::AddObject(SDrawObject* object, unsigned) {
  if (!object) return;
  objects.push_back(object);
  Calculate();
}

void SToolTipData::Calculate() {
  if (objects.empty()) {
    bounds = {0, 0, 0, 0};
    return;
  }
  Rect box{1000000, 1000000, -100000, -100000};
  for (const SDrawObject* object : objects) {
    const Rect& r = object->GetRect();
    if (r.left < box.left) box.left = r.left;
    if (r.top < box.top) box.top = r.top;
    if (r.right > box.right) box.right = r.right;
    if (r.bottom > box.bottom) box.bottom = r.bottom;
  }
  const int previousWidth = bounds.right - bounds.left;
  bounds = box;
  if (box.right - box.left <= previousWidth) return;
  // Widened to the common right edge, not by the full width from their own left edges: that would carry
  // objects beyond the box, and the next object would widen everything again.
  for (SDrawObject* object : objects) {
    Rect r = object->GetRect();
    r.right = box.right;
    object->SetRect(r);
  }
}

void SToolTipData::SetOffset(const Point& shift, bool) {
  (tooltip && tooltip->IsFlipped() ? flippedOffset : offset) = shift;
}

SToolTipData::Point SToolTipData::GetOffset() const {
  return tooltip && tooltip->IsFlipped() ? flippedOffset : offset;
}

void SToolTipData::Close() {
  // Another control's tip may be up by now; only our own is closed.
  if (tooltip && tooltip->GetData() == this) tooltip->Close();
}

}  // namespace tovo::gui
