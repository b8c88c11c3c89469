// What one control's tooltip shows and where: the draw objects that make up the content (owned), their
// bounding box, the preferred side of the control and the offsets added on that side and on the other
// one. A control owns its data; the tooltip window it names paints the data while the pointer is over
// the control.
#pragma once

#include <vector>

#include "data/datastring.h"
#include "math/Point.h"
#include "math/Rectangle.h"

namespace tovo::gui {

class SControl;
class SDrawObject;
class SToolTip;

// The side of the control on which the tip appears.
enum STipPlacement : int { kTipAbove = 0, kTipRight = 1, kTipBelow = 2, kTipLeft = 3 };

class SToolTipData {
 public:
  using Point = tovo::math::geom::Point<int, 2>;
  using Rect = tovo::math::geom::Rectangle<int, 2>;
  using Text = tovo::data::datastring<32, char>;

  // A placement outside 0-3 is taken as left of the control.
  SToolTipData(SToolTip* tooltip, SControl* owner, int placement);
  // Closes the tip if it shows this data and takes the owner off the tooltip's list.
  ~SToolTipData();
  SToolTipData(const SToolTipData&) = delete;
  SToolTipData& operator=(const SToolTipData&) = delete;

  // Lays the text out in the tooltip's normal font, centred in a box with room for the arrow on the
  // placement's side, and adds one text object per line; the line lists then describe this text. The
  // flags are accepted for callers that pass them and not used.
  void AddLabel(const char* text, unsigned flags);
  void AddLabel(const Text& text, unsigned flags);
  // One text in the tooltip's normal font at the rectangle.
  void AddText(const char* text, Rect& rect, unsigned flags);
  // Takes ownership and recomputes the bounding box.
  void AddObject(SDrawObject* object, unsigned flags);
  // The union of the objects' rectangles; when it grew wider, every object is stretched to its right
  // edge so that centred texts stay centred on the whole tip.
  void Calculate();
  // Stores the offset of the side in use (the other side's while the tooltip is flipped).
  void SetOffset(const Point& offset, bool);
  Point GetOffset() const;
  void Close();

  // Binds prepared data to a tooltip, an owner and a placement.
  void Attach(SToolTip* tooltip, SControl* owner, int placement);
  // The tooltip is going away.
  void Detach() { tooltip = nullptr; }

  SToolTip* GetTooltip() const { return tooltip; }
  SControl* GetOwner() const { return owner; }
  int GetPlacement() const { return placement; }
  const std::vector<SDrawObject*>& Objects() const { return objects; }
  const Rect& Bounds() const { return bounds; }
  const std::vector<Text>& Lines() const { return lines; }
  const std::vector<Rect>& LineRects() const { return lineRects; }
  int BoxWidth() const { return boxWidth; }
  int BoxHeight() const { return boxHeight; }

 private:
  static int ValidPlacement(int placement);

  SToolTip* tooltip;
  SControl* owner;
  std::vector<SDrawObject*> objects;
  Rect bounds{0, 0, 0, 0};
  Point offset{0, 0};
  Point flippedOffset{0, 0};
  std::vector<Text> lines;
  std::vector<Rect> lineRects;
  int placement;
  int boxWidth = 16;
  int boxHeight = 16;
};

}  // namespace tovo::gui
