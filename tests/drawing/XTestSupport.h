// Test helpers for drawing on the real X server: the toolkit connection opened around all tests, a bare
// mapped window to draw on, and snapshots of its pixels.
#pragma once

#include <set>
#include <utility>
#include <vector>

typedef struct _XDisplay Display;
typedef struct _XImage XImage;

namespace tovo::test {

using PixelSet = std::set<std::pair<int, int>>;

// An override-redirect top-level window at (x, y), mapped and exposed, black inside.
class BareWindow {
 public:
  BareWindow(int width, int height, int x = 0, int y = 0);
  ~BareWindow();
  BareWindow(const BareWindow&) = delete;
  BareWindow& operator=(const BareWindow&) = delete;

  unsigned long Id() const { return window; }
  int Width() const { return width; }
  int Height() const { return height; }

 private:
  unsigned long window = 0;
  int width;
  int height;
};

// The pixels of a drawable, read once after all drawing reached the server.
class Snapshot {
 public:
  Snapshot(unsigned long drawable, int width, int height);
  ~Snapshot();
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;

  unsigned long At(int x, int y) const;
  // Every pixel of the area (right and bottom exclusive) that is not the given background.
  PixelSet Except(unsigned long background, int left, int top, int right, int bottom) const;
  // Every pixel of the area that has the given value.
  PixelSet Matching(unsigned long value, int left, int top, int right, int bottom) const;

 private:
  XImage* image;
};

// The set moved so that its smallest x and y are 0.
PixelSet Normalised(const PixelSet& pixels);

Display* TestDisplay();

// The 8-bit channels the server holds for a pixel of the default colour map.
std::vector<int> ServerChannels(int pixel);

}  // namespace tovo::test
