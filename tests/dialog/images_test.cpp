// The built-in images load through the toolkit's bitmap loader at their stated sizes, the logo carries
// light lettering on the panel's grey and blends into it at its edges, and the two swap faces show the
// same arrows, dim on black when off and white on blue when on.
#include <algorithm>
#include <set>
#include <utility>

#include "../gui/GuiTest.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SStaticData.h"
#include "images/Swap.h"
#include "images/TextLogo.h"

namespace tovo::gui {
namespace {

using context::SDrawBitmap;
using context::statdata;
using PixelSet = std::set<std::pair<int, int>>;

// An image loaded as the widgets load it, with its pixels read back from the server.
class LoadedImage {
 public:
  explicit LoadedImage(const char** data) : bitmap(const_cast<char**>(data), 0, 0, false) {
    image = XGetImage(dps, bitmap.GetPixmap(), 0, 0, static_cast<unsigned>(bitmap.Width()),
                      static_cast<unsigned>(bitmap.Height()), AllPlanes, ZPixmap);
  }
  ~LoadedImage() {
    if (image) XDestroyImage(image);
  }
  LoadedImage(const LoadedImage&) = delete;
  LoadedImage& operator=(const LoadedImage&) = delete;

  int Width() { return bitmap.Width(); }
  int Height() { return bitmap.Height(); }
  bool Valid() const { return image != nullptr; }
  unsigned long At(int x, int y) const { return XGetPixel(image, x, y); }
  PixelSet Where(bool (*test)(unsigned long pixel, unsigned long reference), unsigned long reference) const {
    PixelSet found;
    for (int y = 0; y < image->height; ++y)
      for (int x = 0; x < image->width; ++x)
        if (test(At(x, y), reference)) found.insert({x, y});
    return found;
  }

 private:
  SDrawBitmap bitmap;
  XImage* image = nullptr;
};

bool Same(unsigned long pixel, unsigned long reference) {
  return pixel == reference;
}
bool Different(unsigned long pixel, unsigned long reference) {
  return pixel != reference;
}

// Channel sum of a 24-bit true-colour pixel, as a measure of brightness.
int Brightness(unsigned long pixel) {
  return static_cast<int>(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF));
}
bool BrighterThan(unsigned long pixel, unsigned long reference) {
  return Brightness(pixel) > Brightness(reference);
}

unsigned long Slot(int slot) {
  return static_cast<unsigned long>(static_cast<unsigned>(statdata.GetColour(slot)));
}

TEST(BuiltInImages, TheLogoIsLightLetteringOnThePanelGrey) {
  LoadedImage logo(images::text_logo);
  ASSERT_TRUE(logo.Valid());
  EXPECT_EQ(logo.Width(), images::kTextLogoWidth);
  EXPECT_EQ(logo.Height(), images::kTextLogoHeight);
  EXPECT_EQ(logo.Width(), 50);
  EXPECT_EQ(logo.Height(), 88);

  // Its whole border is the body grey, so the logo has no visible edge in the panel.
  const unsigned long grey = Slot(24);
  const int w = logo.Width(), h = logo.Height();
  for (int x = 0; x < w; ++x) {
    EXPECT_EQ(logo.At(x, 0), grey) << x;
    EXPECT_EQ(logo.At(x, h - 1), grey) << x;
  }
  for (int y = 0; y < h; ++y) {
    EXPECT_EQ(logo.At(0, y), grey) << y;
    EXPECT_EQ(logo.At(w - 1, y), grey) << y;
  }

  // The lettering: light pixels (brighter than mid grey) that run along most of the height, as turned
  // text does, and make up a good share of the picture.
  const PixelSet light = logo.Where(BrighterThan, Slot(19));
  ASSERT_FALSE(light.empty());
  int top = h, bottom = -1;
  for (const auto& [x, y] : light) {
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  EXPECT_GT(bottom - top, h * 2 / 3);
  EXPECT_GT(static_cast<int>(light.size()), w * h / 10);
}

TEST(BuiltInImages, TheSwapFacesShowTheSameArrowsOffAndOn) {
  LoadedImage off(images::swap_off), on(images::swap_on);
  ASSERT_TRUE(off.Valid());
  ASSERT_TRUE(on.Valid());
  for (LoadedImage* face : {&off, &on}) {
    EXPECT_EQ(face->Width(), images::kSwapWidth);
    EXPECT_EQ(face->Height(), images::kSwapHeight);
  }
  EXPECT_EQ(images::kSwapWidth, 24);
  EXPECT_EQ(images::kSwapHeight, 12);

  // Off: a dim glyph on the black of the strip column.
  const unsigned long black = Slot(20), white = Slot(0), blue = Slot(10);
  const PixelSet glyph = off.Where(Different, black);
  ASSERT_FALSE(glyph.empty());
  EXPECT_TRUE(off.Where(BrighterThan, Slot(19)).empty());
  EXPECT_EQ(off.At(0, 0), black);

  // On: the same glyph in white on a blue plate, so that both states line up on the strip.
  EXPECT_EQ(on.Where(Same, white), glyph);
  const PixelSet plate = on.Where(Same, blue);
  EXPECT_GT(plate.size(), static_cast<size_t>(on.Width() * on.Height() / 2));
  for (const auto& pixel : glyph) EXPECT_EQ(plate.count(pixel), 0u);

  int differing = 0;
  for (int y = 0; y < off.Height(); ++y)
    for (int x = 0; x < off.Width(); ++x) differing += off.At(x, y) != on.At(x, y);
  EXPECT_EQ(differing, off.Width() * off.Height() - 4) << "every pixel but the black corners changes";
}

}  // namespace
}  // namespace tovo::gui
