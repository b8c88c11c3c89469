// Pixmaps for off-screen drawing and the built-in images.
#include "gui/context/SDrawBitmap.h"

#include <X11/Xlib.h>
#include <X11/xpm.h>

#include "gui/XDisplay.h"

namespace tovo::gui::context {

SDrawBitmap::SDrawBitmap(void* data, int w, int h, bool use) { Create(data, w, h, use); }

SDrawBitmap::~SDrawBitmap() {
  if (pixmap) XFreePixmap(display, pixmap);
}

void SDrawBitmap::Create(void* data, int w, int h, bool use) {
  if (pixmap) return;
  display = CurrentDisplay();
  if (!display) return;
  inUse = use;
  Window root = RootWindow(display, DefaultScreen(display));
  if (data) {
    XpmAttributes attributes{};
    attributes.valuemask = XpmCloseness | XpmReturnInfos;
    attributes.closeness = 40000;
    Pixmap image = 0;
    if (XpmCreatePixmapFromData(display, root, static_cast<char**>(data), &image, nullptr, &attributes) ==
        XpmSuccess) {
      pixmap = image;
      width = static_cast<int>(attributes.width);
      height = static_cast<int>(attributes.height);
      XpmFreeAttributes(&attributes);
      return;
    }
    w = h = 1;
  }
  // X refuses pixmaps without area; the smallest one stands in.
  width = w > 0 ? w : 1;
  height = h > 0 ? h : 1;
  pixmap = XCreatePixmap(display, root, static_cast<unsigned>(width), static_cast<unsigned>(height),
                         static_cast<unsigned>(DefaultDepth(display, DefaultScreen(display))));
}

void SDrawBitmapMask::SetMask(SDrawBitmap* /*mask*/, int number) {
  maskNumber = number;
  inUse = false;
}

}  // namespace tovo::gui::context
