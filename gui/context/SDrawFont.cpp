// Core font loading by XLFD name, with the fallbacks that keep text visible on servers without the
// classic Adobe fonts.
#include "gui/context/SDrawFont.h"

#include <X11/Xlib.h>

#include <cstring>

#include "gui/XDisplay.h"

namespace tovo::gui::context {

namespace {

XFontStruct* AsFont(void* info) { return static_cast<XFontStruct*>(info); }

// Sizes above 12 look better a little larger: the ladder starts this far above the size asked for.
constexpr int kLadderHeadroom = 4;
constexpr int kLadderFloor = 13;

}  // namespace

SDrawFont::SDrawFont(int pixelSize, bool isBold, bool isItalic, bool /*unused*/, const char* family)
    : size(pixelSize), bold(isBold), italic(isItalic), display(CurrentDisplay()) {
  if (!display) return;
  if (!family && size > 12)
    LoadBySizeLadder();
  else
    LoadClassic(family);
  if (!IsLoaded()) LoadFallbacks();
}

SDrawFont::~SDrawFont() {
  if (info) XFreeFont(display, AsFont(info));
}

// XLoadFont reports a missing name through the error handler, which by default ends the process (the
// host's, here); XLoadQueryFont answers a missing name with null instead, so every load goes through it.
bool SDrawFont::TryLoad(const char* pattern) {
  XFontStruct* loaded = XLoadQueryFont(display, pattern);
  if (!loaded) return false;
  info = loaded;
  fontId = loaded->fid;
  loadedName.Clear(false).Append(pattern);
  return true;
}

void SDrawFont::LoadClassic(const char* family) {
  name.Clear(false);
  if (family) {
    name.Append("-").Append(family).Append("-").Append(bold ? "bold-" : "medium-").Append(italic ? "i-" : "r-");
    name.Append(bold ? "bold" : "normal").Append("--");
  } else if (size >= 8) {
    name.Append(bold ? "-adobe-helvetica-bold" : "-adobe-helvetica-medium").Append(italic ? "-o-*--" : "-r-*--");
  } else {
    name.Append("-misc-fixed-medium-r-*--");
  }
  name.Append(16, "%d", size).Append("-*-*-*-*-*-iso8859-1");
  TryLoad(name.Get());
}

void SDrawFont::LoadBySizeLadder() {
  for (int tried = size + kLadderHeadroom; tried >= kLadderFloor; --tried) {
    name.Clear(false).Append(bold ? "-adobe-helvetica-bold" : "-adobe-helvetica-medium");
    name.Append(64, "-r-normal--%d-*-*-*-*-*-iso8859-1", tried);
    if (TryLoad(name.Get())) return;
  }
  name.Clear(false).Append("-adobe-helvetica-bold-r-normal--34-*-*-*-*-*-iso8859-1");
  TryLoad(name.Get());
}

// Each step keeps the size and weight and lets go of one more property; "fixed" is on every server.
void SDrawFont::LoadFallbacks() {
  const char* weight = bold ? "bold" : "medium";
  tovo::data::datastring<32, char> pattern;
  pattern.Append(96, "-*-helvetica-%s-%s-*--%d-*-*-*-*-*-iso8859-1", weight, italic ? "o" : "r", size);
  if (TryLoad(pattern.Get())) return;
  pattern.Clear(false).Append(96, "-*-*-%s-%s-normal--%d-*-*-*-p-*-iso8859-1", weight, italic ? "*" : "r", size);
  if (TryLoad(pattern.Get())) return;
  pattern.Clear(false).Append(96, "-*-*-%s-*-*--%d-*-*-*-*-*-*-*", weight, size);
  if (TryLoad(pattern.Get())) return;
  TryLoad("fixed");
}

int SDrawFont::Ascent() const { return info ? AsFont(info)->ascent : 0; }

int SDrawFont::Descent() const { return info ? AsFont(info)->descent : 0; }

int SDrawFont::TextWidth(const char* text, int length) const {
  if (!info || !text || length <= 0) return 0;
  return XTextWidth(AsFont(info), text, length);
}

}  // namespace tovo::gui::context
