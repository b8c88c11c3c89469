// A strip's label is edited in the panel's "Insert Text" dialog: a click on the label area opens it with
// the label selected; typing and Return store at most 11 characters, Escape and Cancel store nothing, and
// the panel ignores clicks while the dialog is open. Text copied in the dialog pastes in another X client
// that asks for the targets first, and the other way round.
#include "PanelTest.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <atomic>
#include <thread>

namespace editortest {
namespace {

using PanelLabel = PanelTest;

// Another X client on a connection of its own: reads the clipboard as today's applications do, or owns it.
class OtherClient {
 public:
  OtherClient() : display(XOpenDisplay(nullptr)) {
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    clipboard = XInternAtom(display, "CLIPBOARD", False);
    targets = XInternAtom(display, "TARGETS", False);
    utf8 = XInternAtom(display, "UTF8_STRING", False);
    property = XInternAtom(display, "OTHER_CLIENT_PASTE", False);
  }
  ~OtherClient() {
    stop = true;
    if (server.joinable()) server.join();
    XDestroyWindow(display, window);
    XCloseDisplay(display);
  }

  // Asks the clipboard's owner for a target and returns what arrived, with its type; type None when
  // the owner refused or never answered.
  std::pair<Atom, std::vector<unsigned char>> request(Atom target) {
    XConvertSelection(display, clipboard, target, property, window, CurrentTime);
    XFlush(display);
    for (int i = 0; i < 200; ++i) {
      XEvent event;
      if (XCheckTypedWindowEvent(display, window, SelectionNotify, &event)) {
        if (event.xselection.property == None) return {None, {}};
        Atom type = None;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, window, property, 0, 65536, True, AnyPropertyType, &type, &format, &count,
                           &left, &data);
        const size_t bytes = format == 32 ? count * sizeof(long) : count * static_cast<size_t>(format / 8);
        std::vector<unsigned char> value(data, data + (data ? bytes : 0));
        if (data) XFree(data);
        return {type, value};
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {None, {}};
  }

  std::vector<Atom> offeredTargets() {
    const auto [type, bytes] = request(targets);
    if (type != XA_ATOM) return {};
    std::vector<Atom> atoms(bytes.size() / sizeof(long));
    for (size_t i = 0; i < atoms.size(); ++i) atoms[i] = reinterpret_cast<const long*>(bytes.data())[i];
    return atoms;
  }

  std::string pasteText() {
    const auto [type, bytes] = request(utf8);
    if (type != utf8) return "<type " + std::to_string(type) + ">";
    return std::string(bytes.begin(), bytes.end());
  }

  // Takes the clipboard and serves the text as STRING to whoever asks, until destroyed.
  void own(const std::string& text) {
    XSetSelectionOwner(display, clipboard, window, CurrentTime);
    XFlush(display);
    served = text;
    server = std::thread([this] {
      while (!stop) {
        XEvent event;
        if (!XCheckTypedWindowEvent(display, window, SelectionRequest, &event)) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
          continue;
        }
        const XSelectionRequestEvent& asked = event.xselectionrequest;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = asked.requestor;
        reply.xselection.selection = asked.selection;
        reply.xselection.target = asked.target;
        reply.xselection.time = asked.time;
        reply.xselection.property = None;
        if (asked.target == XA_STRING) {
          XChangeProperty(display, asked.requestor, asked.property, XA_STRING, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(served.data()), static_cast<int>(served.size()));
          reply.xselection.property = asked.property;
        }
        XSendEvent(display, asked.requestor, False, 0, &reply);
        XFlush(display);
        ++answered;
      }
    });
  }

  Display* display;
  Window window = 0;
  Atom clipboard = None;
  Atom targets = None;
  Atom utf8 = None;
  Atom property = None;
  std::string served;
  std::atomic<int> answered{0};
  std::atomic<bool> stop{false};
  std::thread server;
};

TEST_P(PanelLabel, ReturnStoresTheTypedLabelCutToElevenCharacters) {
  loadPreset(presetWithStrips({0, 1}));
  const int updates = host.callbackCount(audioMasterUpdateDisplay);
  click(stripPoint(1, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; })) << "no 180 x 100 dialog opened";
  moveTo(dialog, 90, 44);
  // The label is selected: typing replaces it.
  typeText("Grand Piano Two");
  pressKey(XK_Return);
  EXPECT_TRUE(within(20, [&] { return labelDialog() == 0; })) << "Return closes the dialog";
  EXPECT_STREQ(currentPreset().strips[1].label, "Grand Piano");
  EXPECT_STREQ(currentPreset().strips[0].label, "Strip 0");
  EXPECT_GT(host.callbackCount(audioMasterUpdateDisplay), updates) << "the host hears of the new label";
}

TEST_P(PanelLabel, EscapeAndCancelStoreNothing) {
  loadPreset(presetWithStrips({0, 1}));
  click(stripPoint(0, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  moveTo(dialog, 90, 44);
  typeText("zzz");
  pressKey(XK_Escape);
  EXPECT_TRUE(within(20, [&] { return labelDialog() == 0; }));
  EXPECT_STREQ(currentPreset().strips[0].label, "Strip 0");

  click(stripPoint(0, StripControl::Label));
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  moveTo(dialog, 90, 44);
  typeText("yyy");
  // Cancel sits at the dialog's lower left.
  clickIn(dialog, 45, 70);
  EXPECT_TRUE(within(20, [&] { return labelDialog() == 0; }));
  EXPECT_STREQ(currentPreset().strips[0].label, "Strip 0");
}

TEST_P(PanelLabel, PanelIgnoresClicksWhileTheDialogIsOpen) {
  click(stripPoint(0, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  click(stripPoint(0, StripControl::StripButton));
  click(kMidiThru);
  EXPECT_EQ(currentPreset().stripCount, 1);
  EXPECT_EQ(host.getParameter(1), 0.f);
  clickIn(dialog, 45, 70);
  ASSERT_TRUE(within(20, [&] { return labelDialog() == 0; }));
  click(kMidiThru);
  EXPECT_EQ(host.getParameter(1), 1.f) << "the panel works again once the dialog is closed";
}

TEST_P(PanelLabel, TextCopiedInTheDialogPastesInAnotherClientAndBack) {
  OtherClient other;
  click(stripPoint(0, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  moveTo(dialog, 90, 44);
  typeText("Strings");
  pressKey(XK_a, true);
  pressKey(XK_c, true);
  settle();
  const std::vector<Atom> targets = other.offeredTargets();
  EXPECT_NE(std::find(targets.begin(), targets.end(), other.utf8), targets.end()) << "UTF8_STRING is offered";
  EXPECT_NE(std::find(targets.begin(), targets.end(), XA_STRING), targets.end()) << "STRING is offered";
  EXPECT_EQ(other.pasteText(), "Strings");
  EXPECT_EQ(other.request(XInternAtom(other.display, "image/png", False)).first, static_cast<Atom>(None))
      << "a target that is not text is refused";
  pressKey(XK_Escape);
  ASSERT_TRUE(within(20, [&] { return labelDialog() == 0; }));

  other.own("Bass");
  click(stripPoint(0, StripControl::Label));
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  moveTo(dialog, 90, 44);
  pressKey(XK_v, true);
  settle();
  pressKey(XK_Return);
  ASSERT_TRUE(within(20, [&] { return labelDialog() == 0; }));
  EXPECT_GT(other.answered.load(), 0);
  EXPECT_STREQ(currentPreset().strips[0].label, "Bass");
}

INSTANTIATE_TEST_SUITE_P(Modes, PanelLabel,
                         testing::Values(EditorWindow::Mode::HostDisplay, EditorWindow::Mode::NoDisplay),
                         modeName);

}  // namespace
}  // namespace editortest
