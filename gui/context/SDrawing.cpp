// Drawing with one graphics context: colours, outlines, fills, text, rotated text, pixel digits, blits.
#include "gui/context/SDrawing.h"

#include <X11/Xlib.h>
#include <X11/Xmu/Drawing.h>
#include <X11/Xutil.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "gui/SControl.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawImage.h"
#include "gui/context/SStaticData.h"

namespace tovo::gui::context {

namespace {

constexpr int kFullCircle = 360 * 64;

unsigned long Pixel(int colour) { return static_cast<unsigned long>(static_cast<unsigned>(colour)); }

// X takes unsigned sizes: a negative one would wrap into a huge area.
bool HasArea(int width, int height) { return width > 0 && height > 0; }

std::vector<XPoint> ToXPoints(const SDrawing::Point* points, int count) {
  std::vector<XPoint> out(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    out[i].x = static_cast<short>(points[i].x);
    out[i].y = static_cast<short>(points[i].y);
  }
  return out;
}

// The origin of a box of the given size placed in the rectangle by the alignment bits.
int AlignedLeft(const SDrawing::Rect& r, int width, int alignment) {
  if (alignment & kAlignLeft) return r.left;
  if (alignment & kAlignRight) return r.right - width;
  return r.left + (r.right - r.left) / 2 - width / 2;
}

int AlignedTop(const SDrawing::Rect& r, int height, int alignment) {
  if (alignment & kAlignTop) return r.top;
  if (alignment & kAlignBottom) return r.bottom - height;
  return r.top + (r.bottom - r.top) / 2 - height / 2;
}

SDrawing::Rect Shifted(SDrawing::Rect r, const SDrawing::Point& by) {
  return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

// Pixel-digit segments in their 5 x 6 cell.
enum Segment : unsigned {
  kTop = 1,
  kMiddle = 2,
  kBottom = 4,
  kUpperLeft = 8,
  kLowerLeft = 16,
  kUpperRight = 32,
  kLowerRight = 64
};
constexpr unsigned kLeft = kUpperLeft | kLowerLeft;
constexpr unsigned kRight = kUpperRight | kLowerRight;
constexpr unsigned kDigitSegments[10] = {
    kTop | kLeft | kRight | kBottom,                // 0
    0,                                              // 1 has its own narrow shape
    kTop | kUpperRight | kMiddle | kLowerLeft | kBottom,  // 2
    kTop | kRight | kMiddle | kBottom,              // 3
    kUpperLeft | kMiddle | kRight,                  // 4
    kTop | kUpperLeft | kMiddle | kLowerRight | kBottom,  // 5
    kTop | kLeft | kMiddle | kLowerRight | kBottom,  // 6
    kTop | kRight,                                  // 7
    kTop | kLeft | kMiddle | kRight | kBottom,      // 8
    kTop | kUpperLeft | kMiddle | kRight | kBottom,  // 9
};

XSegment MakeSegment(int x1, int y1, int x2, int y2) {
  return {static_cast<short>(x1), static_cast<short>(y1), static_cast<short>(x2), static_cast<short>(y2)};
}

}  // namespace

SDrawing::SDrawing()
    : background(SCOL(0, 0, 0)),
      parentBackground(background),
      backgroundHighlighted(background),
      backgroundNormal(background),
      foreground(SCOL(255, 255, 255)),
      foregroundHighlighted(foreground),
      foregroundNormal(foreground),
      textNormal(foreground),
      textHighlighted(foreground),
      frameEnabled(background),
      frameDisabled(SCOL(138, 145, 150)),
      frameHighlighted(background) {}

SDrawing::SDrawing(SControl* owner, SGlobals* shared) : SDrawing() {
  control = owner;
  globals = shared;
  if (owner) device = new SDrawDevice(owner->GetWindow());
}

SDrawing::~SDrawing() { delete device; }

SDrawDevice* SDrawing::GetDevice() { return device; }

void SDrawing::SetDevice(SDrawDevice* next) { device = next; }

void SDrawing::InitDrawing(SControl* owner, SDrawing* /*parent*/) {
  delete device;
  device = nullptr;
  control = owner;
  if (owner) device = new SDrawDevice(owner->GetWindow());
}

void SDrawing::CleanDrawing() {
  delete device;
  device = nullptr;
}

bool SDrawing::Ready() { return device && device->Get(); }

bool SDrawing::FontReady() { return font && font->IsLoaded(); }

void SDrawing::SetForegroundPixel(int colour) {
  if (Ready()) XSetForeground(device->GetDisplay(), device->Get(), Pixel(colour));
}

// Colours and modes.

void SDrawing::SetColours(int bg, int highlightBg, int parentBg, int fg, int highlightFg, int text,
                          int highlightText) {
  background = backgroundNormal = frameEnabled = frameHighlighted = bg;
  backgroundHighlighted = highlightBg;
  parentBackground = parentBg;
  foreground = foregroundNormal = fg;
  foregroundHighlighted = highlightFg;
  textNormal = text;
  textHighlighted = highlightText;
}

void SDrawing::SetBackgroundColour(bool highlighted) {
  background = highlighted ? backgroundHighlighted : backgroundNormal;
}

void SDrawing::SetBackgroundColour(int colour) { background = colour; }

void SDrawing::SetBackground(int colour, bool highlighted) {
  (highlighted ? backgroundHighlighted : backgroundNormal) = colour;
  SetBackgroundColour(highlighted);
}

int SDrawing::GetBackgroundColour() { return background; }

int SDrawing::GetParentBackgroundColour() { return parentBackground; }

void SDrawing::SetForegroundColour(bool highlighted) {
  foreground = highlighted ? foregroundHighlighted : foregroundNormal;
  SetForegroundPixel(foreground);
}

int SDrawing::GetForegroundColour() { return foreground; }

int SDrawing::GetFrameColour(bool enabled, bool highlighted) {
  if (!enabled) return frameDisabled;
  return highlighted ? frameHighlighted : frameEnabled;
}

void SDrawing::SetFrameColour(int enabled, int highlighted, int disabled) {
  frameEnabled = enabled;
  frameHighlighted = highlighted;
  frameDisabled = disabled;
}

void SDrawing::SetFillMode(int mode) {
  fillMode = mode;
  if (Ready()) XSetFillRule(device->GetDisplay(), device->Get(), mode);
}

int SDrawing::GetFillMode() { return fillMode; }

void SDrawing::SetFillStyle(int style) {
  fillStyle = style;
  if (Ready()) XSetFillStyle(device->GetDisplay(), device->Get(), style);
}

int SDrawing::GetFillStyle() { return fillStyle; }

void SDrawing::SetLogic(int code) {
  static const int kFunctions[15] = {GXclear, GXxor,   GXinvert,        GXorReverse,   GXandReverse,
                                     GXand,   GXor,    GXandInverted,   GXnoop,        GXnor,
                                     GXequiv, GXcopyInverted, GXorInverted, GXnand, GXset};
  logic = code;
  int function = (code >= 0 && code < 15) ? kFunctions[code] : GXcopy;
  if (Ready()) XSetFunction(device->GetDisplay(), device->Get(), function);
}

void SDrawing::DrawBackground(const Rect& rect, bool parent) {
  int colour = parent ? parentBackground : background;
  SetPen(statdata.FindPen(colour));
  SetBrush(statdata.FindBrush(colour));
  FillRect(rect);
}

// Outlines.

void SDrawing::DrawPoint(int x, int y) {
  if (Ready()) XDrawPoint(device->GetDisplay(), device->GetDrawable(), device->Get(), x, y);
}

void SDrawing::DrawPoint(const Point& p) { DrawPoint(p.x, p.y); }

void SDrawing::DrawLine(int x1, int y1, int x2, int y2) {
  if (Ready()) XDrawLine(device->GetDisplay(), device->GetDrawable(), device->Get(), x1, y1, x2, y2);
}

void SDrawing::DrawLine(const Point& from, const Point& to) { DrawLine(from.x, from.y, to.x, to.y); }

// X outlines a w x h rectangle over w + 1 x h + 1 pixels, hence the - 1 for an exclusive right/bottom.
void SDrawing::DrawRect(int left, int top, int right, int bottom) {
  int w = right - left - 1, h = bottom - top - 1;
  if (!Ready() || w < 0 || h < 0) return;
  XDrawRectangle(device->GetDisplay(), device->GetDrawable(), device->Get(), left, top, static_cast<unsigned>(w),
                 static_cast<unsigned>(h));
}

void SDrawing::DrawRect(const Point& a, const Point& b) { DrawRect(a.x, a.y, b.x, b.y); }

void SDrawing::DrawRect(const Rect& r) { DrawRect(r.left, r.top, r.right, r.bottom); }

void SDrawing::DrawRoundedRect(int left, int top, int right, int bottom, int cw, int ch) {
  int w = right - left - 1, h = bottom - top - 1;
  if (!Ready() || w < 0 || h < 0) return;
  XmuDrawRoundedRectangle(device->GetDisplay(), device->GetDrawable(), device->Get(), left, top, w, h, cw, ch);
}

void SDrawing::DrawRoundedRect(const Point& a, const Point& b, int cw, int ch) {
  DrawRoundedRect(a.x, a.y, b.x, b.y, cw, ch);
}

void SDrawing::DrawRoundedRect(const Rect& r, int cw, int ch) { DrawRoundedRect(r.left, r.top, r.right, r.bottom, cw, ch); }

// Text.

void SDrawing::DrawText(const char* text, int x, int y) {
  if (!Ready() || !FontReady() || !text || !*text) return;
  XDrawString(device->GetDisplay(), device->GetDrawable(), device->Get(), x, y + font->Ascent(), text,
              static_cast<int>(std::strlen(text)));
}

void SDrawing::DrawText(const char* text, const Point& p) { DrawText(text, p.x, p.y); }

void SDrawing::DrawText(const Text& text, int x, int y) { DrawText(text.Get(), x, y); }

void SDrawing::DrawText(const Text& text, const Point& p) { DrawText(text.Get(), p.x, p.y); }

void SDrawing::DrawLabel(const char* text, Rect rect, int alignment, const Point& offset) {
  if (!Ready() || !FontReady() || !text || !*text) return;
  rect = Shifted(rect, offset);
  int length = static_cast<int>(std::strlen(text));
  int width = font->TextWidth(text, length);
  int baseline;
  if (alignment & kAlignTop)
    baseline = rect.top + font->Ascent();
  else if (alignment & kAlignBottom)
    baseline = rect.bottom - font->Descent();
  else
    baseline = rect.top + font->Ascent() / 2 + (rect.bottom - rect.top) / 2 - 1;
  XDrawString(device->GetDisplay(), device->GetDrawable(), device->Get(), AlignedLeft(rect, width, alignment),
              baseline, text, length);
}

// Filling leaves the GC in the fill colour, where the label would vanish; the text goes back to the
// normal text colour first.
void SDrawing::DrawLabelRect(const char* text, const Rect& rect, int colour, const Point& offset) {
  SetForegroundPixel(colour);
  FillRect(rect);
  SetForegroundPixel(textNormal);
  DrawLabel(text, rect, 0, offset);
}

void SDrawing::DrawRotatedText(const char* text, Rect rect, int angle, int alignment, const Point& offset) {
  DrawRotated(text, rect, angle, alignment, offset, textNormal);
}

void SDrawing::DrawVerticalLabel(const char* text, Rect rect, int alignment, int colour, const Point& offset,
                                 bool highlighted, bool downwards, const char* suffix) {
  if (!text) return;
  Text whole;
  whole.Append(text).Append(suffix);
  int pixel = colour >= 0 ? colour : GetTextColour(highlighted);
  DrawRotated(whole.Get(), rect, downwards ? 270 : 90, alignment, offset, pixel);
}

// X draws no rotated text: the text is drawn upright into a 1-bit pixmap, turned pixel by pixel into a
// second bitmap, and that bitmap is used as the stipple of a fill so only the text's pixels are painted.
void SDrawing::DrawRotated(const char* text, Rect rect, int angle, int alignment, const Point& offset,
                           int colour) {
  if (!Ready() || !FontReady() || !text || !*text) return;
  Display* display = device->GetDisplay();
  Drawable target = device->GetDrawable();
  angle %= 360;
  rect = Shifted({rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1}, offset);

  int length = static_cast<int>(std::strlen(text));
  int ascent = font->Ascent();
  int w = font->TextWidth(text, length) + 2;
  int h = ascent + font->Descent() + 2;
  Pixmap upright = XCreatePixmap(display, target, static_cast<unsigned>(w), static_cast<unsigned>(h), 1);
  GC bitGC = XCreateGC(display, upright, 0, nullptr);
  XSetForeground(display, bitGC, 0);
  XFillRectangle(display, upright, bitGC, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
  XSetForeground(display, bitGC, 1);
  XSetFont(display, bitGC, font->FontId());
  XDrawString(display, upright, bitGC, 1, ascent, text, length);
  XImage* source = XGetImage(display, upright, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), 1, XYPixmap);
  XFreeGC(display, bitGC);
  XFreePixmap(display, upright);
  if (!source) return;

  // Quarter turns use exact sines so that no pixel lands on the wrong side of a rounding edge.
  double sine, cosine;
  if (angle % 90 == 0) {
    static const int kSin[4] = {0, 1, 0, -1};
    int quarter = ((angle / 90) % 4 + 4) % 4;
    sine = kSin[quarter];
    cosine = kSin[(quarter + 1) % 4];
  } else {
    double radians = angle * M_PI / 180.0;
    sine = std::sin(radians);
    cosine = std::cos(radians);
  }
  int turnedW = static_cast<int>(std::lround(std::fabs(h * sine) + std::fabs(w * cosine) + 0.99999 + 2));
  int turnedH = static_cast<int>(std::lround(std::fabs(h * cosine) + std::fabs(w * sine) + 0.99999 + 2));
  if (turnedW % 2 == 0) ++turnedW;
  if (turnedH % 2 == 0) ++turnedH;

  // XBM layout for XCreateBitmapFromData: rows of whole bytes, least significant bit first.
  int rowBytes = (turnedW + 7) / 8;
  std::vector<char> bits(static_cast<size_t>(rowBytes) * turnedH, 0);
  double targetCx = (turnedW - 1) / 2.0, targetCy = (turnedH - 1) / 2.0;
  double sourceCx = (w - 1) / 2.0, sourceCy = (h - 1) / 2.0;
  for (int ty = 0; ty < turnedH; ++ty) {
    double dy = ty - targetCy;
    for (int tx = 0; tx < turnedW; ++tx) {
      double dx = tx - targetCx;
      long sx = std::lround(dx * cosine - dy * sine + sourceCx);
      long sy = std::lround(dx * sine + dy * cosine + sourceCy);
      if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
      if (XGetPixel(source, static_cast<int>(sx), static_cast<int>(sy)))
        bits[static_cast<size_t>(ty) * rowBytes + tx / 8] |= static_cast<char>(1 << (tx % 8));
    }
  }
  XDestroyImage(source);

  Pixmap stipple = XCreateBitmapFromData(display, target, bits.data(), static_cast<unsigned>(turnedW),
                                         static_cast<unsigned>(turnedH));
  int x = AlignedLeft(rect, turnedW, alignment);
  int y = AlignedTop(rect, turnedH, alignment);
  GC fill = XCreateGC(display, target, 0, nullptr);
  XCopyGC(display, device->Get(), (1UL << (GCLastBit + 1)) - 1, fill);
  XSetFillStyle(display, fill, FillStippled);
  XSetStipple(display, fill, stipple);
  XSetForeground(display, fill, Pixel(colour));
  XSetTSOrigin(display, fill, x, y);
  XFillRectangle(display, target, fill, x, y, static_cast<unsigned>(turnedW), static_cast<unsigned>(turnedH));
  XFreeGC(display, fill);
  XFreePixmap(display, stipple);
}

void SDrawing::DrawPixelNumber(int x, int y, int digit) {
  if (!Ready() || digit < 0 || digit > 9) return;
  const int l = x + 1, r = x + 5, t = y + 3, m = y + 6, b = y + 9;
  std::vector<XSegment> segments;
  if (digit == 1) {
    segments.push_back(MakeSegment(x + 2, t, x + 3, t));
    segments.push_back(MakeSegment(x + 3, t, x + 3, b));
  }
  unsigned set = kDigitSegments[digit];
  if (set & kTop) segments.push_back(MakeSegment(l, t, r, t));
  if (set & kMiddle) segments.push_back(MakeSegment(l, m, r, m));
  if (set & kBottom) segments.push_back(MakeSegment(l, b, r, b));
  if (set & kUpperLeft) segments.push_back(MakeSegment(l, t, l, m));
  if (set & kLowerLeft) segments.push_back(MakeSegment(l, m, l, b));
  if (set & kUpperRight) segments.push_back(MakeSegment(r, t, r, m));
  if (set & kLowerRight) segments.push_back(MakeSegment(r, m, r, b));
  XDrawSegments(device->GetDisplay(), device->GetDrawable(), device->Get(), segments.data(),
                static_cast<int>(segments.size()));
}

void SDrawing::DrawPixelNumber(const Point& p, int digit) { DrawPixelNumber(p.x, p.y, digit); }

// Shapes.

void SDrawing::DrawArcShape(const Rect& rect, int start, int extent, bool closeToCentre) {
  int w = rect.right - rect.left - 1, h = rect.bottom - rect.top - 1;
  if (!Ready() || w < 0 || h < 0) return;
  Display* display = device->GetDisplay();
  XDrawArc(display, device->GetDrawable(), device->Get(), rect.left, rect.top, static_cast<unsigned>(w),
           static_cast<unsigned>(h), start * 64, extent * 64);
  double cx = rect.left + w / 2.0, cy = rect.top + h / 2.0;
  double a1 = start * M_PI / 180.0, a2 = (start + extent) * M_PI / 180.0;
  int x1 = static_cast<int>(std::lround(cx + w / 2.0 * std::cos(a1)));
  int y1 = static_cast<int>(std::lround(cy - h / 2.0 * std::sin(a1)));
  int x2 = static_cast<int>(std::lround(cx + w / 2.0 * std::cos(a2)));
  int y2 = static_cast<int>(std::lround(cy - h / 2.0 * std::sin(a2)));
  if (closeToCentre) {
    XPoint path[3] = {{static_cast<short>(x1), static_cast<short>(y1)},
                      {static_cast<short>(std::lround(cx)), static_cast<short>(std::lround(cy))},
                      {static_cast<short>(x2), static_cast<short>(y2)}};
    XDrawLines(display, device->GetDrawable(), device->Get(), path, 3, CoordModeOrigin);
  } else {
    XDrawLine(display, device->GetDrawable(), device->Get(), x1, y1, x2, y2);
  }
}

void SDrawing::DrawEllipse(const Rect& rect) {
  int w = rect.right - rect.left - 1, h = rect.bottom - rect.top - 1;
  if (!Ready() || w < 0 || h < 0) return;
  XDrawArc(device->GetDisplay(), device->GetDrawable(), device->Get(), rect.left, rect.top, static_cast<unsigned>(w),
           static_cast<unsigned>(h), 0, kFullCircle);
}

void SDrawing::DrawChord(const Rect& rect, int start, int extent) { DrawArcShape(rect, start, extent, false); }

void SDrawing::DrawPie(const Rect& rect, int start, int extent) { DrawArcShape(rect, start, extent, true); }

void SDrawing::DrawPoly(const Point* points, int count) {
  if (!Ready() || !points || count < 2) return;
  std::vector<XPoint> path = ToXPoints(points, count);
  XDrawLines(device->GetDisplay(), device->GetDrawable(), device->Get(), path.data(), count, CoordModeOrigin);
}

// Fills.

void SDrawing::FillRect(int left, int top, int right, int bottom) {
  if (!Ready() || !HasArea(right - left, bottom - top)) return;
  XFillRectangle(device->GetDisplay(), device->GetDrawable(), device->Get(), left, top,
                 static_cast<unsigned>(right - left), static_cast<unsigned>(bottom - top));
}

void SDrawing::FillRect(const Point& a, const Point& b) { FillRect(a.x, a.y, b.x, b.y); }

void SDrawing::FillRect(const Rect& r) { FillRect(r.left, r.top, r.right, r.bottom); }

void SDrawing::FillRoundedRect(int left, int top, int right, int bottom, int cw, int ch) {
  if (!Ready() || !HasArea(right - left, bottom - top)) return;
  XmuFillRoundedRectangle(device->GetDisplay(), device->GetDrawable(), device->Get(), left, top, right - left,
                          bottom - top, cw, ch);
}

void SDrawing::FillRoundedRect(const Point& a, const Point& b, int cw, int ch) {
  FillRoundedRect(a.x, a.y, b.x, b.y, cw, ch);
}

void SDrawing::FillRoundedRect(const Rect& r, int cw, int ch) { FillRoundedRect(r.left, r.top, r.right, r.bottom, cw, ch); }

void SDrawing::FillArcShape(const Rect& rect, int start, int extent, bool pie) {
  if (!Ready() || !HasArea(rect.right - rect.left, rect.bottom - rect.top)) return;
  Display* display = device->GetDisplay();
  XSetArcMode(display, device->Get(), pie ? ArcPieSlice : ArcChord);
  XFillArc(display, device->GetDrawable(), device->Get(), rect.left, rect.top,
           static_cast<unsigned>(rect.right - rect.left), static_cast<unsigned>(rect.bottom - rect.top), start * 64,
           extent * 64);
}

void SDrawing::FillEllipse(const Rect& rect) { FillArcShape(rect, 0, 360, true); }

void SDrawing::FillChord(const Rect& rect, int start, int extent) { FillArcShape(rect, start, extent, false); }

void SDrawing::FillPie(const Rect& rect, int start, int extent) { FillArcShape(rect, start, extent, true); }

void SDrawing::FillPoly(const Point* points, int count) {
  if (!Ready() || !points || count < 2) return;
  std::vector<XPoint> shape = ToXPoints(points, count);
  XFillPolygon(device->GetDisplay(), device->GetDrawable(), device->Get(), shape.data(), count, Nonconvex,
               CoordModeOrigin);
}

// Blits.

// The source's GC belongs to the source's connection, so the copy goes out there.
void SDrawing::DrawMemory(SDrawDevice* source, int x, int y, int x1, int y1, int x2, int y2) {
  if (!Ready() || !source || !source->Get() || !HasArea(x2 - x1, y2 - y1)) return;
  XCopyArea(source->GetDisplay(), source->GetDrawable(), device->GetDrawable(), source->Get(), x1, y1,
            static_cast<unsigned>(x2 - x1), static_cast<unsigned>(y2 - y1), x, y);
}

void SDrawing::DrawMemory(SDrawDevice* source, int x, int y, int x1, int y1, int x2, int y2, unsigned char) {
  DrawMemory(source, x, y, x1, y1, x2, y2);
}

void SDrawing::DrawMemory(SDrawDevice* source, int x, int y, int x1, int y1, int x2, int y2, SDrawBitmap*) {
  DrawMemory(source, x, y, x1, y1, x2, y2);
}

void SDrawing::DrawMemory(SDrawDevice* source, const Point& to, const Rect& from) {
  DrawMemory(source, to.x, to.y, from.left, from.top, from.right, from.bottom);
}

void SDrawing::DrawMemory(SDrawDevice* source, const Point& to, const Rect& from, unsigned char) {
  DrawMemory(source, to, from);
}

void SDrawing::DrawMemory(SDrawDevice* source, const Point& to, const Rect& from, SDrawBitmap*) {
  DrawMemory(source, to, from);
}

void SDrawing::DrawImage(SDrawImage* image, const Rect& destination, const Rect& source) {
  if (!Ready() || !image || !image->Get()) return;
  int w = destination.right - destination.left, h = destination.bottom - destination.top;
  if (!HasArea(w, h)) return;
  XPutImage(device->GetDisplay(), device->GetDrawable(), device->Get(), image->Get(), source.left, source.top,
            destination.left, destination.top, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

// Pens, brushes, fonts, text colour.

void SDrawing::SetPen(SDrawPen* pen) {
  if (device) device->SetPen(pen);
}

void SDrawing::SetBrush(SDrawBrush* next) {
  brush = next;
  if (device) device->SetBrush(next);
}

void SDrawing::SetFont(SDrawFont* next) {
  font = next;
  if (device) device->SetFont(next);
}

void SDrawing::SetTextColour(int colour, bool highlighted) {
  (highlighted ? textHighlighted : textNormal) = colour;
  SetForegroundPixel(colour);
}

void SDrawing::GetTextDimensions(const char* text, int* width, int* height, SDrawFont* measured) {
  const SDrawFont* use = measured ? measured : font;
  bool none = !text || !*text || !use || !use->IsLoaded();
  if (width) *width = none ? 0 : use->TextWidth(text, static_cast<int>(std::strlen(text)));
  if (height) *height = none ? 0 : use->Ascent() + use->Descent();
}

SDrawingAGG::SDrawingAGG(int kind, SGlobals* shared, SDrawing* /*parent*/) : variant(kind) { globals = shared; }

SDrawingAGG::~SDrawingAGG() = default;

}  // namespace tovo::gui::context
