// Font cursors, the invisible cursor and the toolkit's arrow.
#include "gui/SCursor.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include "gui/XDisplay.h"
#include "gui/context/SDrawBitmap.h"
#include "images/ArrowCursor.h"

namespace tovo::gui {

namespace {

unsigned FontShape(unsigned kind) {
  if (kind == kCursorHand) return XC_hand2;
  if (kind == kCursorWatch) return XC_watch;
  return XC_left_ptr;
}

unsigned long InvisibleCursor(Display* display, Window root) {
  static const char empty[1] = {0};
  Pixmap blank = XCreateBitmapFromData(display, root, empty, 1, 1);
  if (!blank) return 0;
  XColor none{};
  Cursor created = XCreatePixmapCursor(display, blank, blank, &none, &none, 0, 0);
  XFreePixmap(display, blank);
  return created;
}

bool IsBitmap(Display* display, unsigned long drawable) {
  Window root;
  int x, y;
  unsigned width, height, border, depth = 0;
  return drawable && XGetGeometry(display, drawable, &root, &x, &y, &width, &height, &border, &depth) && depth == 1;
}

}  // namespace

SCursor::SCursor(unsigned cursorKind, int boundWindow) : kind(cursorKind), window(static_cast<unsigned long>(boundWindow)) {
  Display* display = CurrentDisplay();
  if (!display) return;
  if (kind == kCursorInvisible) {
    cursor = InvisibleCursor(display, DefaultRootWindow(display));
    invisible = true;
  } else {
    cursor = XCreateFontCursor(display, FontShape(kind));
  }
  if (window && cursor) XDefineCursor(display, window, cursor);
}

SCursor::~SCursor() {
  Display* display = CurrentDisplay();
  if (!display || !cursor) return;
  if (window) XUndefineCursor(display, window);
  XFreeCursor(display, cursor);
  XFlush(display);
}

void SCursor::Replace(unsigned long created) {
  Display* display = CurrentDisplay();
  if (display && cursor) XFreeCursor(display, cursor);
  cursor = created;
  invisible = false;
}

void SCursor::Set() {
  Display* display = CurrentDisplay();
  if (display && window && cursor) XDefineCursor(display, window, cursor);
}

void SCursor::Free() {
  Display* display = CurrentDisplay();
  if (!display) return;
  if (cursor && window) XUndefineCursor(display, window);
  XFlush(display);
  invisible = false;
}

void SCursor::CreateDefault() {
  Display* display = CurrentDisplay();
  if (!display) return;
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  XColor orange{};
  orange.red = 0xFF00;
  orange.green = 0x7F00;
  orange.blue = 0;
  orange.flags = DoRed | DoGreen | DoBlue;
  XAllocColor(display, DefaultColormap(display, screen), &orange);
  XColor black{};
  black.pixel = BlackPixel(display, screen);
  XQueryColor(display, DefaultColormap(display, screen), &black);

  using namespace tovo::images;
  Pixmap image = XCreateBitmapFromData(display, root, reinterpret_cast<const char*>(kArrowCursorImage),
                                       kArrowCursorWidth, kArrowCursorHeight);
  Pixmap mask = XCreateBitmapFromData(display, root, reinterpret_cast<const char*>(kArrowCursorMask),
                                      kArrowCursorWidth, kArrowCursorHeight);
  unsigned long created = 0;
  if (image && mask)
    created = XCreatePixmapCursor(display, image, mask, &black, &orange, kArrowCursorHotX, kArrowCursorHotY);
  if (image) XFreePixmap(display, image);
  if (mask) XFreePixmap(display, mask);
  Replace(created);
}

void SCursor::Create(context::SDrawBitmap* image, context::SDrawBitmap* mask, int hotX, int hotY) {
  Display* display = CurrentDisplay();
  if (!display || !image || !mask) return;
  // A cursor needs depth-1 pixmaps; anything else would be a BadMatch that the default handler ends the
  // process on.
  if (!IsBitmap(display, image->GetPixmap()) || !IsBitmap(display, mask->GetPixmap())) return;
  XColor zero{};
  Replace(XCreatePixmapCursor(display, image->GetPixmap(), mask->GetPixmap(), &zero, &zero,
                              static_cast<unsigned>(hotX), static_cast<unsigned>(hotY)));
}

SCursorDefault::SCursorDefault() {
  Display* display = CurrentDisplay();
  if (!display) return;
  kind = kCursorArrow;
  window = DefaultRootWindow(display);
  cursor = XCreateFontCursor(display, XC_left_ptr);
}

void SCursorDefault::Set() {
  SCursor::Set();
  active = true;
}

void SCursorDefault::Free() {
  SCursor::Free();
  active = false;
}

}  // namespace tovo::gui
