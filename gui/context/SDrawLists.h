// The shared lists of pens, brushes and fonts: plain vectors of pointers, and owning variants that delete
// every element when they are destroyed or cleared.
#pragma once

#include <vector>

#include "gui/context/SDrawBrush.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawPen.h"

namespace tovo::gui::context {

template <typename T>
class SDrawList : public std::vector<T*> {};

template <typename T>
class SDrawListOwned : public SDrawList<T> {
 public:
  SDrawListOwned() = default;
  SDrawListOwned(const SDrawListOwned&) = delete;
  SDrawListOwned& operator=(const SDrawListOwned&) = delete;
  ~SDrawListOwned() { DeleteAll(); }

  void DeleteAll() {
    for (T* item : *this) delete item;
    this->clear();
  }
};

using SPenList = SDrawList<SDrawPen>;
using SBrushList = SDrawList<SDrawBrush>;
using SFontList = SDrawList<SDrawFont>;
using SPenListOwned = SDrawListOwned<SDrawPen>;
using SBrushListOwned = SDrawListOwned<SDrawBrush>;
using SFontListOwned = SDrawListOwned<SDrawFont>;

}  // namespace tovo::gui::context
