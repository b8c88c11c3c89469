// The editor in a host that passes no display: the panel is made in the holder and reparented into the
// host's window on every open, keeps its window across close and open, and is rebuilt when the host
// destroyed its window under it; the host's window takes the editor's size; updates wait for the host's
// idle pass (one full refresh swallows indexed ones; a loaded bank asks for one) unless the host falls
// silent, when the idle thread stands in.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <thread>
#include <vector>

#include "PluginHarness.h"
#include "editor/SPluginEditor.h"
#include "editor/SPluginPanel.h"
#include "gui/widgets/SButton.h"
#include "gui/SToolkitLock.h"
#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"

namespace {

class ToolkitEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    tovo::gui::OpenToolkitDisplay();
    ASSERT_NE(tovo::gui::dps, nullptr) << "the editor tests need DISPLAY";
    tovo::gui::context::InitStaticData();
  }
  void TearDown() override {
    tovo::gui::context::ReleaseStaticData();
    tovo::gui::CloseToolkitDisplay();
  }
};

[[maybe_unused]] ::testing::Environment* const toolkit = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

// The host's side: its own connection and a window of its own that watches what happens inside it.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = XOpenDisplay(nullptr);
    ASSERT_NE(host, nullptr);
    window = MakeHostWindow();
    plugin = MakePlugin();
    editor = plugin->PluginEditor();
  }
  void TearDown() override {
    plugin.reset();
    XDestroyWindow(host, window);
    XCloseDisplay(host);
  }

  Window MakeHostWindow() {
    // Away from the corner where the drawing tests read back their pixels.
    Window made = XCreateSimpleWindow(host, DefaultRootWindow(host), 1700, 600, 300, 200, 0, 0, 0);
    XSelectInput(host, made, SubstructureNotifyMask | StructureNotifyMask);
    XMapWindow(host, made);
    XSync(host, False);
    return made;
  }

  VstIntPtr Open(Window parent) {
    return plugin.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.f);
  }
  void Close() { plugin.dispatcher(effEditClose, 0, 0, nullptr, 0.f); }
  void Idle() { plugin.dispatcher(effEditIdle, 0, 0, nullptr, 0.f); }

  Window ParentOf(Window child) {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(host, child, &root, &up, &children, &count);
    if (children) XFree(children);
    return up;
  }
  XWindowAttributes Attributes(Window of) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(host, of, &attributes);
    return attributes;
  }
  // The windows reported reparented into the host's window since the last call.
  std::vector<Window> ReparentedIn() {
    XSync(host, False);
    std::vector<Window> seen;
    XEvent event;
    while (XCheckTypedWindowEvent(host, window, ReparentNotify, &event))
      if (event.xreparent.parent == window) seen.push_back(event.xreparent.window);
    return seen;
  }

  PluginHarness harness;
  Display* host = nullptr;
  Window window = 0;
  HostedPlugin<> plugin;
  SPluginEditor* editor = nullptr;
};

TEST_F(EditorTest, OpenEmbedsThePanelThroughTheHolderEveryTime) {
  EXPECT_EQ(Open(0), 0);
  EXPECT_TRUE(editor->NeverOpened());

  ERect* rect = nullptr;
  plugin.dispatcher(effEditGetRect, 0, 0, &rect, 0.f);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 120);
  EXPECT_EQ(rect->bottom - rect->top, 462);

  ASSERT_EQ(Open(window), 1);
  ASSERT_NE(editor->Panel(), nullptr);
  const Window panel = editor->Panel()->GetWindow();
  EXPECT_EQ(ReparentedIn(), std::vector<Window>{panel}) << "the first open must reparent too";
  EXPECT_EQ(ParentOf(panel), window);
  EXPECT_EQ(Attributes(panel).map_state, IsViewable);
  EXPECT_EQ(Attributes(panel).width, 120);
  EXPECT_EQ(Attributes(panel).height, 462);
  // This host cannot size its window itself, so the editor did.
  EXPECT_EQ(Attributes(window).width, 120);
  EXPECT_EQ(Attributes(window).height, 462);
  EXPECT_NE(editor->Cursor(), nullptr);

  Close();
  XSync(host, False);
  EXPECT_EQ(ParentOf(panel), editor->HolderWindow());
  EXPECT_EQ(editor->Cursor(), nullptr);

  XResizeWindow(host, window, 300, 200);
  XSync(host, False);
  ASSERT_EQ(Open(window), 1);
  EXPECT_EQ(editor->Panel()->GetWindow(), panel);
  EXPECT_EQ(ReparentedIn(), std::vector<Window>{panel});
  EXPECT_EQ(Attributes(window).width, 120);
  Close();
}

TEST_F(EditorTest, UpdatesWaitForTheHostsIdlePass) {
  ASSERT_EQ(Open(window), 1);
  SPluginPanel* panel = editor->Panel();
  EXPECT_STREQ(panel->PresetName(), "") << "open refreshes at the first idle pass, not before";
  Idle();
  EXPECT_STREQ(panel->PresetName(), "001 - empty preset");

  plugin->setParameter(3, 1.f);
  EXPECT_TRUE(editor->IsIndexPending(3));
  EXPECT_EQ(panel->InitSendButton()->GetValue(), 0);
  Idle();
  EXPECT_EQ(panel->InitSendButton()->GetValue(), 1);

  // A full refresh takes precedence and clears the indexed requests posted with it.
  plugin->setParameter(4, 1.f);
  char name[] = "renamed";
  plugin->setProgramName(name);
  Idle();
  EXPECT_STREQ(panel->PresetName(), "renamed");
  EXPECT_EQ(panel->InitDelayDial()->GetValue(), 999);
  EXPECT_FALSE(editor->IsIndexPending(4));

  // A bank the host loads changes the preset the panel shows, its controller rows too, with no preset
  // change after it.
  auto setPan = [&](uint8_t value) {
    plugin->EditCurrentPreset(
        [&](VSTPluginProgram&, VSTPluginProgramExtension& extension) { extension.rowValues[0][0] = value; });
  };
  setPan(41);
  void* data = nullptr;
  const VstInt32 size = plugin->getChunk(&data, false);
  const std::vector<uint8_t> bank(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  setPan(0);
  Idle();
  ASSERT_EQ(plugin->setChunk(const_cast<uint8_t*>(bank.data()), size, false), 1);
  EXPECT_TRUE(editor->IsUpdatePending());
  Idle();
  EXPECT_EQ(panel->GetRow(0).controllerValues[0]->GetValue(), 41);

  Close();
  plugin->setProgram(3);
  EXPECT_FALSE(editor->IsUpdatePending()) << "a closed editor is not posted to";
  Idle();
  EXPECT_STREQ(panel->PresetName(), "renamed") << "a closed editor does not refresh";
}

TEST_F(EditorTest, IdleThreadStandsInWhenTheHostFallsSilent) {
  ASSERT_EQ(Open(window), 1);
  SPluginPanel* panel = editor->Panel();
  // The idle thread refreshes under the toolkit lock; the test reads under it too.
  auto refreshed = [panel] {
    tovo::gui::SToolkitLock inside;
    return std::string(panel->PresetName());
  };
  for (int i = 0; i < 200 && refreshed().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(refreshed(), "001 - empty preset") << "no idle pass ran while the host sent no effEditIdle";
  Close();
}

TEST_F(EditorTest, HostThatDestroysItsWindowFirstGetsANewPanelNextTime) {
  ASSERT_EQ(Open(window), 1);
  Idle();
  const Window first = editor->Panel()->GetWindow();
  XDestroyWindow(host, window);
  XSync(host, False);
  Idle();
  Close();

  window = MakeHostWindow();
  ASSERT_EQ(Open(window), 1);
  const Window second = editor->Panel()->GetWindow();
  EXPECT_NE(second, first);
  XSync(host, False);
  EXPECT_EQ(ParentOf(second), window);
  EXPECT_EQ(Attributes(second).map_state, IsViewable);
  Close();
}

}  // namespace
