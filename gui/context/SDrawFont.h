// A core X font chosen by pixel size, weight and slant, loaded when it is made. The first choice is the
// toolkit's classic name (Adobe Helvetica, or misc-fixed below 8 pixels, or the given family); many
// current desktops no longer install those fonts, so a name that does not load falls back to looser
// patterns of the same size and weight and at last to "fixed": text is always drawn.
#pragma once

#include "data/datastring.h"

typedef struct _XDisplay Display;

namespace tovo::gui::context {

class SDrawFont {
 public:
  // The third flag is not used; family, when given, names "foundry-family" of the XLFD.
  SDrawFont(int size, bool bold, bool italic, bool unused, const char* family);
  ~SDrawFont();
  SDrawFont(const SDrawFont&) = delete;
  SDrawFont& operator=(const SDrawFont&) = delete;

  int Size() const { return size; }
  bool Bold() const { return bold; }
  bool Italic() const { return italic; }
  // The first-choice XLFD name.
  const char* Name() const { return name.Get(); }
  // The pattern that actually loaded; empty when nothing did.
  const char* LoadedName() const { return loadedName.Get(); }
  bool IsLoaded() const { return info != nullptr; }
  // The X font id; 0 when nothing loaded.
  unsigned long FontId() const { return fontId; }
  int Ascent() const;
  int Descent() const;
  // Pixel width of the first length characters of text; 0 when nothing loaded.
  int TextWidth(const char* text, int length) const;
  // The loaded XFontStruct, typed loosely so that Xlib stays out of the toolkit's headers.
  void* Info() const { return info; }

 private:
  void LoadClassic(const char* family);
  void LoadBySizeLadder();
  void LoadFallbacks();
  bool TryLoad(const char* pattern);

  int size;
  tovo::data::datastring<32, char> name;
  bool bold;
  bool italic;
  unsigned long fontId = 0;
  void* info = nullptr;
  tovo::data::datastring<32, char> loadedName;
  // Fonts are freed on the connection that loaded them, whichever connection is current by then.
  Display* display = nullptr;
};

}  // namespace tovo::gui::context
