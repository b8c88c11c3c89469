// The mouse pointers the toolkit shows over its windows: one X cursor bound to one window. The editor and
// the message dialog each build the toolkit's orange arrow and share it through their SGlobals; the event
// translation defines it when the pointer comes over a control and undefines it when the pointer leaves.
#pragma once

namespace tovo::gui {

namespace context {
class SDrawBitmap;
}

enum SCursorKind : unsigned { kCursorInvisible = 0, kCursorArrow = 1, kCursorHand = 2, kCursorWatch = 3 };

class SCursor {
 public:
  // No window, no cursor.
  SCursor() = default;
  // A cursor-font cursor (hand, watch, else the left pointer), or an invisible one for kind 0, defined on
  // the window at once.
  SCursor(unsigned kind, int window);
  // Undefines and frees the cursor.
  virtual ~SCursor();
  SCursor(const SCursor&) = delete;
  SCursor& operator=(const SCursor&) = delete;

  // Defines the cursor on the bound window.
  virtual void Set();
  // Undefines it there.
  virtual void Free();

  // Builds the orange arrow (hot spot at its tip); replaces any cursor held before.
  void CreateDefault();
  // A cursor from two depth-1 bitmaps; refused (no cursor) for bitmaps of another depth.
  void Create(context::SDrawBitmap* image, context::SDrawBitmap* mask, int hotX, int hotY);

  void Bind(unsigned long boundWindow) { window = boundWindow; }
  unsigned long GetWindow() const { return window; }
  unsigned long GetCursor() const { return cursor; }
  unsigned Kind() const { return kind; }
  bool Invisible() const { return invisible; }

 protected:
  void Replace(unsigned long created);

  unsigned kind = 0;
  unsigned long window = 0;
  bool invisible = false;
  unsigned long cursor = 0;
};

// The system's left-pointing arrow on the root window.
class SCursorDefault : public SCursor {
 public:
  SCursorDefault();
  void Set() override;
  void Free() override;
  bool Active() const { return active; }

 private:
  bool active = false;
};

}  // namespace tovo::gui
