// toolkit-demo: opens one toolkit window whose control paints with the drawing context (the shared
// colours in filled and rounded rectangles, labels in several fonts, rotated text, pixel digits) under the
// orange pointer, and handles its events until the given number of seconds (default 30) has passed.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "gui/SCursor.h"
#include "gui/SWindow.h"
#include "gui/XDisplay.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"

namespace {

using tovo::gui::SRect;
using tovo::gui::context::SDrawing;
using tovo::gui::context::statdata;

constexpr int kWidth = 560, kHeight = 300;

class DemoPanel : public tovo::gui::SWindow {
 public:
  explicit DemoPanel(tovo::gui::SGlobals* shared)
      : SWindow(shared, nullptr, 1, "Vantorine toolkit demo", tovo::gui::kStyleTopLevel | tovo::gui::kStyleRootChild,
                40, 40, kWidth, kHeight, 0, false) {
    SetColours(statdata.GetColour(24), statdata.GetColour(27), statdata.GetColour(20), statdata.GetColour(0),
               statdata.GetColour(1), statdata.GetColour(0), statdata.GetColour(1));
  }

  void Draw(const SRect& rect) override {
    SWindow::Draw(rect);
    SDrawing* d = GetDrawing();
    if (!d) return;
    // Every slot of the shared table as a rounded swatch.
    for (int slot = 0; slot < 29; ++slot) {
      int x = 10 + (slot % 15) * 36, y = 10 + (slot / 15) * 36;
      Use(d, slot);
      d->FillRoundedRect(SRect{x, y, x + 30, y + 30}, 7, 7);
      Use(d, 20);
      d->DrawRoundedRect(SRect{x, y, x + 30, y + 30}, 7, 7);
      d->SetTextColour(statdata.GetColour(slot == 0 || slot == 1 || slot == 18 ? 20 : 0), false);
      d->SetFont(statdata.FindFont(7, false, false));
      d->DrawLabel(std::to_string(slot).c_str(), SRect{x, y, x + 30, y + 30}, 0, {0, 0});
    }
    // Labels in several sizes.
    const struct {
      int size;
      bool bold;
      const char* text;
    } fonts[] = {{8, false, "Font 8: Program Change"}, {10, true, "Font 10 bold: Bank Select"},
                 {12, false, "Font 12: Channel Volume"}, {14, true, "Font 14 bold: Vantorine"}};
    int y = 90;
    for (const auto& f : fonts) {
      d->SetFont(statdata.FindFont(f.size, f.bold, false));
      d->SetTextColour(statdata.GetColour(21), false);
      d->DrawLabel(f.text, SRect{10, y, 300, y + 24}, tovo::gui::context::kAlignLeft, {0, 0});
      y += 26;
    }
    d->DrawLabelRect("Resend", SRect{10, 200, 110, 230}, statdata.GetColour(5), {0, 0});
    // Rotated text, as the panel's strips show it.
    Use(d, 26);
    d->FillRoundedRect(SRect{320, 90, 420, 290}, 7, 7);
    d->SetFont(statdata.FindFont(10, false, false));
    d->SetTextColour(statdata.GetColour(0), false);
    d->DrawRotatedText("Strip label 90", SRect{325, 95, 345, 285}, 90, 0, {0, 0});
    d->DrawRotatedText("Turned 450", SRect{350, 95, 370, 285}, 450, 0, {0, 0});
    d->SetTextColour(statdata.GetColour(2), false);
    d->DrawRotatedText("-90 reads down", SRect{375, 95, 395, 285}, -90, 0, {0, 0});
    d->DrawRotatedText("45", SRect{395, 95, 420, 140}, 45, 0, {0, 0});
    // Pixel digits and a polygon.
    Use(d, 13);
    for (int digit = 0; digit <= 9; ++digit) d->DrawPixelNumber(440 + digit * 8, 100, digit);
    Use(d, 9);
    const SDrawing::Point star[] = {{480, 150}, {492, 190}, {530, 190}, {500, 212}, {512, 250},
                                    {480, 226}, {448, 250}, {460, 212}, {430, 190}, {468, 190}};
    d->FillPoly(star, 10);
    Use(d, 10);
    d->DrawRect(SRect{0, 0, kWidth, kHeight});
  }

 private:
  static void Use(SDrawing* d, int slot) {
    d->SetPen(statdata.FindPen(statdata.GetColour(slot)));
    d->SetBrush(statdata.FindBrush(statdata.GetColour(slot)));
  }
};

}  // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
  XInitThreads();
  tovo::gui::OpenToolkitDisplay();
  if (!tovo::gui::dps) return 1;
  tovo::gui::context::InitStaticData();
  {
    tovo::gui::SGlobals globals;
    DemoPanel panel(&globals);
    tovo::gui::SCursor cursor;
    cursor.Bind(panel.GetWindow());
    cursor.CreateDefault();
    globals.SetCursor(&cursor);
    panel.Show();
    cursor.Set();
    // Park the pointer over the window so the orange arrow shows in screenshots.
    XWarpPointer(tovo::gui::dps, 0, panel.GetWindow(), 0, 0, 0, 0, 300, 60);
    XFlush(tovo::gui::dps);
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      while (XPending(tovo::gui::dps)) {
        XEvent event;
        XNextEvent(tovo::gui::dps, &event);
        tovo::gui::SControl::eventProc(&event);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    globals.SetCursor(nullptr);
  }
  tovo::gui::context::ReleaseStaticData();
  tovo::gui::CloseToolkitDisplay();
  return 0;
}
