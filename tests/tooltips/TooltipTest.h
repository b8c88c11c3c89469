// Shared ground for the tooltip tests: an owner window with its tooltip window, controls placed on the
// screen, and the pointer crossing events the server would send them.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstring>

#include "gui/SWindow.h"
#include "gui/XDisplay.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SToolTip.h"
#include "gui/widgets/SToolTipData.h"

namespace tovo::gui::test {

inline int Slot(int slot) { return context::statdata.GetColour(slot); }
inline unsigned long PixelOf(int colour) { return static_cast<unsigned long>(static_cast<unsigned>(colour)); }

// Width and height of the ink of one line of text, straight from the server's font metrics.
struct Ink {
  Ink(const context::SDrawFont* font, const char* text) {
    int direction = 0, ascent = 0, descent = 0;
    XCharStruct overall{};
    XTextExtents(static_cast<XFontStruct*>(font->Info()), text, static_cast<int>(std::strlen(text)), &direction,
                 &ascent, &descent, &overall);
    width = overall.width;
    height = overall.ascent + overall.descent;
  }
  int width;
  int height;
};

inline XEvent Crossing(const SControl& control, int type) {
  XEvent event{};
  event.xcrossing.type = type;
  event.xcrossing.display = dps;
  event.xcrossing.window = control.GetWindow();
  event.xcrossing.x = 3;
  event.xcrossing.y = 3;
  event.xcrossing.same_screen = True;
  return event;
}

// An owner window at a screen position (not shown, so it hides nothing) holding a tooltip window, and
// controls inside it. The owner deletes the tooltip and the controls.
class TooltipFixture : public testing::Test {
 protected:
  void TearDown() override {
    delete owner;
    XSync(dps, True);
  }

  void MakeOwner(int x, int y, int width = 300, int height = 100) {
    owner = new SWindow(&globals, nullptr, static_cast<unsigned>(globals.NextId()), "owner",
                        kStyleTopLevel | kStyleRootChild, x, y, width, height, 0, false);
    tip = new SToolTip(owner, true);
  }

  SWindow* AddControl(int x, int y, int width, int height) {
    auto* control = new SWindow(&globals, owner, static_cast<unsigned>(globals.NextId()), "control", 0, x, y, width,
                                height, 0, false);
    owner->Add(control);
    return control;
  }

  int Send(XEvent event) { return SControl::eventProc(&event); }

  SGlobals globals;
  SWindow* owner = nullptr;
  SToolTip* tip = nullptr;
};

}  // namespace tovo::gui::test
