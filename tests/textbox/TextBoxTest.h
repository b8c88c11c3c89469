// Shared ground for the text box tests: a box on the screen in a known font and colours, with a listener
// for its type-10 events, and keys typed into it through the toolkit's event entry.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../widgets/WidgetTest.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawFont.h"
#include "gui/widgets/STextBox.h"

namespace tovo::gui::test {

class TextBoxTest : public WidgetTest {
 protected:
  static constexpr int kW = 200;
  static constexpr int kH = 20;

  void SetUp() override {
    WidgetTest::SetUp();
    box = MakeBox(1);
    box->AddEventListener(&listener, kEventTextKey);
  }
  void TearDown() override {
    box.reset();
    WidgetTest::TearDown();
  }

  std::unique_ptr<STextBox> MakeBox(unsigned id) {
    auto made = std::make_unique<STextBox>(&globals, nullptr, id, "text box", 0, kX, kY, kW, kH, 0, false);
    made->SetColours(kBackground, kBackground, kParent, kBackground, kBackground, kText, kText);
    made->SetHoverColours(kHover, kHover);
    made->SetFont(Font());
    return made;
  }
  static context::SDrawFont* Font() { return context::statdata.FindFont(12, false, false); }
  static int Width(const std::string& text) {
    return Font()->TextWidth(text.c_str(), static_cast<int>(text.size()));
  }

  // A key pressed and released, as the server delivers it to the focused box.
  void Key(STextBox& target, KeySym keysym, unsigned state = 0) {
    Send(KeyEvent(target, KeyPress, keysym, state));
    Send(KeyEvent(target, KeyRelease, keysym, state));
  }
  void Key(KeySym keysym, unsigned state = 0) { Key(*box, keysym, state); }
  void Control(char letter, STextBox* target = nullptr) {
    Key(target ? *target : *box, static_cast<KeySym>(letter), ControlMask);
  }
  // Lower-case letters, digits and spaces, whose key symbols are their characters.
  void Type(const std::string& text, STextBox* target = nullptr) {
    for (char c : text) Key(target ? *target : *box, static_cast<KeySym>(c));
  }
  void Focus(STextBox& target, bool in) {
    XEvent event{};
    event.xfocus.type = in ? FocusIn : FocusOut;
    event.xfocus.display = dps;
    event.xfocus.window = target.GetWindow();
    Send(event);
  }
  // A rectangle as {left, top, right, bottom}, for comparisons.
  static std::vector<int> Corners(const SRect& r) { return {r.left, r.top, r.right, r.bottom}; }
  std::string Text(const STextBox* target = nullptr) const {
    return (target ? target : box.get())->GetLine(0).Get();
  }

  const int kBackground = SCOL(20, 20, 20);
  const int kParent = SCOL(60, 0, 0);
  const int kText = SCOL(200, 200, 0);
  const int kHover = SCOL(0, 255, 0);
  Probe listener{&globals, nullptr, 0};
  std::unique_ptr<STextBox> box;
};

}  // namespace tovo::gui::test
