// Shared ground for the editor's integration tests: the real plug-in loaded in our host with its editor
// in a host window run by the editor thread, in either way of feeding it, and a look at the X server from
// a connection of the test's own, as any other client would see it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/EditorWindow.h"
#include "host/VstHost.h"

typedef struct _XDisplay Display;

namespace editortest {

// The editor rectangle until the panel has laid out its strips, and the panel's width with the one strip
// of a new preset.
constexpr int kClosedEditorWidth = 120;
constexpr int kEditorWidth = 145;
constexpr int kEditorHeight = 462;
// The editor's body colour.
constexpr int kBodyRed = 77;
constexpr int kBodyGreen = 81;
constexpr int kBodyBlue = 84;

// A window as the server has it.
struct WindowState {
  bool exists = false;
  bool mapped = false;    // Mapped itself, whether or not its parents are.
  bool viewable = false;  // Mapped with all its parents.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  unsigned long parent = 0;
};

// The test's own connection to the server.
Display* testDisplay();

struct Rgb {
  int red;
  int green;
  int blue;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

WindowState windowState(unsigned long window);
// The X client a window belongs to (its resource base). The host's, the plug-in's and the test's own
// connections share the server, so windows are counted for the clients that matter.
unsigned long clientOf(unsigned long window);
// Windows under the root, at any depth, by client.
std::map<unsigned long, int> windowsByClient();
// Threads of this process.
int threadCount();
// Whether `window` is `ancestor` or lies inside it.
bool isInside(unsigned long window, unsigned long ancestor);
// How many pixels the window shows in the colour; -1 when it is not viewable.
int pixelsOfColour(unsigned long window, int red, int green, int blue);
// The same within the area (right and bottom exclusive).
int pixelsOfColour(unsigned long window, int red, int green, int blue, int left, int top, int right, int bottom);
// The pixels of an area row by row, empty when the window is not viewable; one pixel ({-1, -1, -1} when
// it cannot be read).
std::vector<Rgb> windowPixels(unsigned long window, int left, int top, int right, int bottom);
Rgb pixelAt(unsigned long window, int x, int y);
inline bool showsColour(unsigned long window, int red, int green, int blue) {
  return pixelsOfColour(window, red, green, blue) > 0;
}
// Paints the whole window, its subwindows included, in one colour, as another client may.
void scribble(unsigned long window, int red, int green, int blue);
// The refreshes the plug-in asked for on the host's connection: Expose events that it sent (XSendEvent)
// to its window `child` or windows inside it, which only the host loop can hand back to it.
long sentExposesInside(const EditorWindow& editor, unsigned long child);
// What a window manager sends when the user closes the window.
void sendDeleteRequest(unsigned long window);

std::string modeName(const testing::TestParamInfo<EditorWindow::Mode>& info);

class EditorTest : public testing::TestWithParam<EditorWindow::Mode> {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads the plug-in afresh with these host settings and makes an editor window with these options;
  // the mode is always the test's.
  void restart(const HostSettings& settings, EditorWindow::Options options);
  EditorWindow::Options defaultOptions() const;

  // Gives the editor up to `idles` idle calls for the condition to come true.
  bool within(int idles, const std::function<bool()>& condition);
  // Opens the editor and waits until the host loop has seen its window arrive in the host window.
  unsigned long openAndEmbed();

  VstHost host;
  std::unique_ptr<EditorWindow> editor;
};

}  // namespace editortest
