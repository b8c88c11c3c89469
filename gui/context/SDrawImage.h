// A client-side image over a caller's pixel buffer, in the server's default visual and depth, for
// putting pixels computed in memory onto a device (SDrawing::DrawImage).
#pragma once

typedef struct _XImage XImage;

namespace tovo::gui::context {

class SDrawImage {
 public:
  // The buffer (not owned) must hold width x height x bitsPerPixel / 8 bytes, and is cleared here; a
  // width or height of 0 counts as 1.
  SDrawImage(void* buffer, int width, int height, int bytesPerLine, int bitsPerPixel);
  ~SDrawImage();
  SDrawImage(const SDrawImage&) = delete;
  SDrawImage& operator=(const SDrawImage&) = delete;

  // Null when the server cannot describe such an image (bitsPerPixel must be 8, 16 or 32).
  XImage* Get() const { return image; }
  int Width() const { return width; }
  int Height() const { return height; }

 private:
  XImage* image = nullptr;
  int width;
  int height;
};

}  // namespace tovo::gui::context
