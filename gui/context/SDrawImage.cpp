// Client-side images over caller buffers.
#include "gui/context/SDrawImage.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

#include "gui/XDisplay.h"

namespace tovo::gui::context {

SDrawImage::SDrawImage(void* buffer, int w, int h, int bytesPerLine, int bitsPerPixel)
    : width(w ? w : 1), height(h ? h : 1) {
  if (!buffer || width < 0 || height < 0 || bitsPerPixel <= 0) return;
  std::memset(buffer, 0, static_cast<size_t>(width) * height * bitsPerPixel / 8);
  Display* display = CurrentDisplay();
  if (!display) return;
  int screen = DefaultScreen(display);
  image = XCreateImage(display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
                       ZPixmap, 0, static_cast<char*>(buffer), static_cast<unsigned>(width),
                       static_cast<unsigned>(height), bitsPerPixel, bytesPerLine);
}

SDrawImage::~SDrawImage() {
  if (!image) return;
  // The pixels belong to the caller; XDestroyImage would free them.
  image->data = nullptr;
  XDestroyImage(image);
}

}  // namespace tovo::gui::context
