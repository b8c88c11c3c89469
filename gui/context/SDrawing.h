// The drawing context every control paints through: an SDrawing is bound to one device (the control's
// window, or an off-screen memory device swapped in for a while), keeps the control's colour set and the
// current pen, brush and font, and draws outlines, fills, labels, rotated text, pixel digits and blits
// with the device's graphics context. Rectangles are in corner form with the right and bottom edges
// exclusive. Callers draw on the thread that handles the control's events (or hold the display lock).
#pragma once

#include "data/datastring.h"
#include "math/Point.h"
#include "math/Rectangle.h"
#include "threading/SMutexID.h"

namespace tovo::gui {
class SControl;
class SGlobals;
}  // namespace tovo::gui

namespace tovo::gui::context {

class SDrawDevice;
class SDrawPen;
class SDrawBrush;
class SDrawFont;
class SDrawBitmap;
class SDrawImage;

// Alignment bits of labels and rotated text; without a horizontal (vertical) bit the text is centred.
enum SAlign : int { kAlignLeft = 1, kAlignTop = 2, kAlignRight = 4, kAlignBottom = 8 };

class SDrawing {
 public:
  using Point = tovo::math::geom::Point<int, 2>;
  using Rect = tovo::math::geom::Rectangle<int, 2>;
  using Text = tovo::data::datastring<32, char>;

  // Logic code that means plain copy.
  static constexpr int kLogicCopy = 15;

  // Unbound: no device until InitDrawing or SetDevice.
  SDrawing();
  // Bound to a new device on the control's window.
  SDrawing(SControl* control, SGlobals* globals);
  virtual ~SDrawing();
  SDrawing(const SDrawing&) = delete;
  SDrawing& operator=(const SDrawing&) = delete;

  // Binding. SetDevice only swaps the pointer (callers that swap a buffer device in restore the old one);
  // the drawing deletes whatever device it holds at CleanDrawing or destruction.
  virtual SDrawDevice* GetDevice();
  virtual void SetDevice(SDrawDevice* device);
  virtual void InitDrawing(SControl* control, SDrawing* parent);
  virtual void CleanDrawing();

  // Colours and modes.
  virtual void SetColours(int background, int highlightBackground, int parentBackground, int foreground,
                          int highlightForeground, int text, int highlightText);
  virtual void SetBackgroundColour(bool highlighted);
  virtual void SetBackgroundColour(int colour);
  virtual void SetBackground(int colour, bool highlighted);
  virtual void SetBackgroundMode(bool) {}
  virtual int GetBackgroundColour();
  virtual int GetParentBackgroundColour();
  virtual void SetForegroundColour(bool highlighted);
  virtual int GetForegroundColour();
  virtual int GetFrameColour(bool enabled, bool highlighted);
  virtual void SetFrameColour(int enabled, int highlighted, int disabled);
  virtual void SetFillMode(int mode);
  virtual int GetFillMode();
  virtual void SetFillStyle(int style);
  virtual int GetFillStyle();
  virtual void SetLogic(int code);
  virtual void DrawBackground(const Rect& rect, bool parent);

  // Outlines.
  virtual void DrawPoint(int x, int y);
  virtual void DrawPoint(const Point& p);
  virtual void DrawLine(int x1, int y1, int x2, int y2);
  virtual void DrawLine(const Point& from, const Point& to);
  virtual void DrawRect(int left, int top, int right, int bottom);
  virtual void DrawRect(const Point& topLeft, const Point& bottomRight);
  virtual void DrawRect(const Rect& rect);
  virtual void DrawRoundedRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  virtual void DrawRoundedRect(const Point& topLeft, const Point& bottomRight, int cornerWidth, int cornerHeight);
  virtual void DrawRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight);

  // Text, positioned by its top: the baseline is at y + the font's ascent.
  virtual void DrawText(const char* text, int x, int y);
  virtual void DrawText(const char* text, const Point& p);
  virtual void DrawText(const Text& text, int x, int y);
  virtual void DrawText(const Text& text, const Point& p);
  virtual void DrawLabel(const char* text, Rect rect, int alignment, const Point& offset);
  // Fills the rectangle in colour and draws the label centred on it in the normal text colour.
  virtual void DrawLabelRect(const char* text, const Rect& rect, int colour, const Point& offset);
  // Angles in degrees, counter-clockwise (90 reads upwards); placed in the rectangle by the alignment.
  virtual void DrawRotatedText(const char* text, Rect rect, int angle, int alignment, const Point& offset);
  // Text turned by 90 degrees (270 with downwards) followed by suffix when given, in colour (the normal or
  // highlighted text colour when colour is negative).
  virtual void DrawVerticalLabel(const char* text, Rect rect, int alignment, int colour, const Point& offset,
                                 bool highlighted, bool downwards, const char* suffix);
  // A digit 0-9 in line segments within a 5 x 6 cell below and right of (x, y); other values draw nothing.
  virtual void DrawPixelNumber(int x, int y, int digit);
  virtual void DrawPixelNumber(const Point& p, int digit);
  virtual void DrawVerticalPixelNumber(int, int, int) {}
  virtual void DrawPixelLabel(const char*, int, int) {}
  virtual void DrawVerticalPixelLabel(const char*, int, int) {}

  // Shapes within their bounding rectangle; angles in degrees.
  virtual void DrawEllipse(const Rect& rect);
  virtual void DrawChord(const Rect& rect, int startAngle, int extentAngle);
  virtual void DrawPie(const Rect& rect, int startAngle, int extentAngle);
  virtual void DrawArc(const Rect&, int, int) {}
  virtual void DrawBezier(const Point*, int) {}
  // An open polyline; nothing for a null array or fewer than 2 points.
  virtual void DrawPoly(const Point* points, int count);

  // Fills, in the current brush's colour.
  virtual void FillRect(int left, int top, int right, int bottom);
  virtual void FillRect(const Point& topLeft, const Point& bottomRight);
  virtual void FillRect(const Rect& rect);
  virtual void FillRoundedRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  virtual void FillRoundedRect(const Point& topLeft, const Point& bottomRight, int cornerWidth, int cornerHeight);
  virtual void FillRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight);
  virtual void FillEllipse(const Rect& rect);
  virtual void FillChord(const Rect& rect, int startAngle, int extentAngle);
  virtual void FillPie(const Rect& rect, int startAngle, int extentAngle);
  // A filled polygon (any shape); nothing for a null array or fewer than 2 points.
  virtual void FillPoly(const Point* points, int count);

  // Paths: not drawn by this toolkit.
  virtual void PathStart() {}
  virtual void PathStroke() {}
  virtual void PathFill() {}
  virtual void PathStrokeFill() {}
  virtual void PathEnd() {}

  // Blits. DrawMemory copies the source's area (x1, y1)-(x2, y2) to (x, y) with the source's GC; the
  // alpha and mask are accepted for callers that pass them and not applied.
  virtual void DrawBitmap(SDrawBitmap*, int, int) {}
  virtual void DrawBitmap(SDrawBitmap*, const Point&) {}
  virtual void DrawMemory(SDrawDevice* source, int x, int y, int x1, int y1, int x2, int y2);
  virtual void DrawMemory(SDrawDevice* source, int x, int y, int x1, int y1, int x2, int y2, unsigned char alpha);
  virtual void DrawMemory(SDrawDevice* source, int x, int y, int x1, int y1, int x2, int y2, SDrawBitmap* mask);
  virtual void DrawMemory(SDrawDevice* source, const Point& to, const Rect& from);
  virtual void DrawMemory(SDrawDevice* source, const Point& to, const Rect& from, unsigned char alpha);
  virtual void DrawMemory(SDrawDevice* source, const Point& to, const Rect& from, SDrawBitmap* mask);
  // Puts the image's pixels from the source rectangle's corner at the destination, destination-sized.
  virtual void DrawImage(SDrawImage* image, const Rect& destination, const Rect& source);

  void SetPen(SDrawPen* pen);
  void SetBrush(SDrawBrush* brush);
  void SetFont(SDrawFont* font);
  SDrawBrush* GetBrush() const { return brush; }
  SDrawFont* GetFont() const { return font; }
  int GetTextColour(bool highlighted) const { return highlighted ? textHighlighted : textNormal; }
  void SetTextColour(int colour, bool highlighted);
  // Width of the text and ascent + descent of the font (the current one when font is null); both 0 for
  // an empty text or no loaded font.
  void GetTextDimensions(const char* text, int* width, int* height, SDrawFont* font);
  int GetLogic() const { return logic; }
  SControl* GetControl() const { return control; }
  SGlobals* GetGlobals() const { return globals; }
  tovo::threading::SMutexID& GetLock() { return lock; }

 protected:
  bool Ready();
  bool FontReady();
  void SetForegroundPixel(int colour);
  void DrawRotated(const char* text, Rect rect, int angle, int alignment, const Point& offset, int colour);
  void DrawArcShape(const Rect& rect, int start, int extent, bool closeToCentre);
  void FillArcShape(const Rect& rect, int start, int extent, bool pie);

  SDrawDevice* device = nullptr;
  SControl* control = nullptr;
  SGlobals* globals = nullptr;
  SDrawFont* font = nullptr;
  SDrawBrush* brush = nullptr;
  tovo::threading::SMutexID lock;
  int background;
  int parentBackground;
  int backgroundHighlighted;
  int backgroundNormal;
  int foreground;
  int foregroundHighlighted;
  int foregroundNormal;
  int textNormal;
  int textHighlighted;
  int frameEnabled;
  int frameDisabled;
  int frameHighlighted;
  int fillMode = 0;
  int fillStyle = 0;
  int logic = kLogicCopy;
};

// A drawing for controls that asked for anti-aliased rendering; it draws exactly like SDrawing.
class SDrawingAGG : public SDrawing {
 public:
  SDrawingAGG(int variant, SGlobals* globals, SDrawing* parent);
  ~SDrawingAGG() override;

  int Variant() const { return variant; }

 private:
  int variant;
};

}  // namespace tovo::gui::context
