// Drawing devices: a drawable with one X graphics context made on it. SDrawDevice wraps a window;
// SDrawMemoryDevice wraps the pixmap of an off-screen bitmap, for double buffering and image blits.
// A device keeps the connection it was made on and frees its GC there, whichever connection is current
// by then.
#pragma once

typedef struct _XDisplay Display;
typedef struct _XGC* GC;

namespace tovo::gui::context {

class SDrawPen;
class SDrawBrush;
class SDrawFont;
class SDrawBitmap;

class SDrawDevice {
 public:
  // A device on drawable (0: no drawable, no GC), made on the current connection.
  explicit SDrawDevice(unsigned long drawable);
  virtual ~SDrawDevice();
  SDrawDevice(const SDrawDevice&) = delete;
  SDrawDevice& operator=(const SDrawDevice&) = delete;

  // The GC; null without a drawable.
  virtual GC Get();
  virtual unsigned long GetDrawable();
  Display* GetDisplay() const { return display; }

  // Line width, dash style (caps CapNotLast, joins JoinRound) and foreground from the pen.
  void SetPen(const SDrawPen* pen);
  // Foreground from the brush's effective colour.
  void SetBrush(const SDrawBrush* brush);
  // The GC's font; a font that did not load leaves the GC's font as it was (font 0 is no font to X).
  void SetFont(const SDrawFont* font);

 protected:
  void MakeGC(unsigned long on);
  void FreeGC();

  Display* display;
  unsigned long drawable = 0;
  GC gc = nullptr;
};

class SDrawMemoryDevice : public SDrawDevice {
 public:
  // compatible: the device whose drawing this one buffers (kept, not owned); bitmap: not owned.
  SDrawMemoryDevice(SDrawDevice* compatible, SDrawBitmap* bitmap);

  // Draws into another bitmap from now on; null is ignored.
  void Select(SDrawBitmap* bitmap);
  SDrawBitmap* Selected() const { return bitmap; }
  SDrawDevice* Compatible() const { return compatible; }

 private:
  SDrawDevice* compatible;
  SDrawBitmap* bitmap;
};

}  // namespace tovo::gui::context
