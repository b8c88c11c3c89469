// The panel's stand-in.
#include "editor/SEditorPlaceholder.h"

#include "gui/context/SStaticData.h"

namespace {

// The panel's body colour in the shared colour table.
constexpr int kBodySlot = 24;

}  // namespace

SEditorPlaceholder::SEditorPlaceholder(tovo::gui::SGlobals* owner, unsigned controlId, const char* name,
                                       int styleBits, int width, int height, int hostWindow)
    : SWindow(owner, nullptr, controlId, name, styleBits, 0, 0, width, height, hostWindow, false) {}

void SEditorPlaceholder::LoadControls() {
  using tovo::gui::context::statdata;
  const int body = statdata.ColoursAdded() ? statdata.GetColour(kBodySlot) : 0;
  SetColours(body, body, body, 0, 0, 0, 0);
}

void SEditorPlaceholder::RefreshControls(long index) {
  lastIndex.store(index, std::memory_order_release);
  refreshes.fetch_add(1, std::memory_order_acq_rel);
  Refresh();
}
