// Off-screen bitmaps: an X pixmap of the default depth, empty or made from a built-in XPM image. A
// bitmap frees its pixmap on the connection that made it.
#pragma once

typedef struct _XDisplay Display;

namespace tovo::gui::context {

class SDrawBitmap {
 public:
  SDrawBitmap() = default;
  // Create(data, width, height, inUse).
  SDrawBitmap(void* data, int width, int height, bool inUse);
  virtual ~SDrawBitmap();
  SDrawBitmap(const SDrawBitmap&) = delete;
  SDrawBitmap& operator=(const SDrawBitmap&) = delete;

  virtual int Width() { return width; }
  virtual int Height() { return height; }
  virtual bool Use() { return inUse; }

  // Nothing when a pixmap exists. Without data: an empty width x height pixmap. With data (an XPM image,
  // char**): the image, with its own size, or an empty 1 x 1 pixmap when it does not parse.
  void Create(void* data, int w, int h, bool use);
  unsigned long GetPixmap() const { return pixmap; }

 protected:
  int width = 0;
  int height = 0;
  bool inUse = false;
  unsigned long pixmap = 0;
  Display* display = nullptr;
};

class SDrawBitmapMask : public SDrawBitmap {
 public:
  SDrawBitmapMask(void* data, int w, int h) : SDrawBitmap(data, w, h, true) {}

  void SetMask(SDrawBitmap* mask, int number);
  int MaskNumber() const { return maskNumber; }

 private:
  int maskNumber = 0;
};

}  // namespace tovo::gui::context
