// What a host window gets from the editor, in both ways of feeding it: the editor rectangle, one mapped
// child of that size embedded at the corner, the window sized by the rule the host's canDo "sizeWindow"
// answer selects, the same child on every open, and a close when the user closes the window.
#include <algorithm>

#include "EditorTest.h"

namespace editortest {
namespace {

using EditorEmbedding = EditorTest;

bool hasSizeRequest(const VstHost& host, int width, int height) {
  const std::vector<WindowSizeCall> calls = host.sizeWindowCalls();
  return std::any_of(calls.begin(), calls.end(), [&](const WindowSizeCall& call) {
    return call.width == width && call.height == height;
  });
}

TEST_P(EditorEmbedding, OpenEmbedsOneMappedChildOfTheEditorRectangle) {
  ERect* rect = nullptr;
  VstIntPtr answered = 0;
  editor->runOnEditorThread([&] { answered = host.dispatch(effEditGetRect, 0, 0, &rect); });
  EXPECT_NE(answered, 0);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, kClosedEditorWidth);
  EXPECT_EQ(rect->bottom - rect->top, kEditorHeight);

  const unsigned long child = openAndEmbed();
  ASSERT_NE(child, 0u);
  EXPECT_TRUE(editor->isOpen());
  EXPECT_TRUE(within(20, [&] { return windowState(child).width == kEditorWidth; }));
  const WindowState state = windowState(child);
  EXPECT_TRUE(state.viewable);
  EXPECT_EQ(state.x, 0);
  EXPECT_EQ(state.y, 0);
  EXPECT_EQ(state.width, kEditorWidth);
  EXPECT_EQ(state.height, kEditorHeight);

  if (GetParam() == EditorWindow::Mode::HostDisplay) {
    // What a 64-bit host calls must survive Xlib's 32 bits: the value read is the address called, and
    // the plug-in has had events through it by now.
    EXPECT_EQ(editor->eventProcReads(), 1);
    EXPECT_NE(editor->eventProcValue(), 0);
    EXPECT_TRUE(within(20, [&] { return editor->eventsPassedOn() > 0; }));
  } else {
    EXPECT_EQ(editor->eventProcReads(), 0);
    EXPECT_EQ(editor->eventsPassedOn(), 0);
  }
}

TEST_P(EditorEmbedding, NullWindowIsRefusedAndOpensNothing) {
  const std::map<unsigned long, int> windowsBefore = windowsByClient();
  VstIntPtr answered = -1;
  editor->runOnEditorThread(
      [&] { answered = host.dispatch(effEditOpen, 0, editor->displayValue(), nullptr); });
  EXPECT_EQ(answered, 0);
  const std::map<unsigned long, int> windowsAfter = windowsByClient();
  EXPECT_TRUE(host.sizeWindowCalls().empty());

  // A refused request leaves the editor as it was: a real window can still have it. Its windows tell
  // which client the plug-in draws with, which made no window in the refused request.
  const unsigned long child = openAndEmbed();
  ASSERT_NE(child, 0u);
  const unsigned long client = clientOf(child);
  auto count = [client](const std::map<unsigned long, int>& counts) {
    const auto found = counts.find(client);
    return found == counts.end() ? 0 : found->second;
  };
  EXPECT_EQ(count(windowsAfter), count(windowsBefore));
}

// A host that answers canDo "sizeWindow" with 1 is asked to resize its window and is not resized by the
// plug-in; any other host has its window resized directly. Either way the window ends at the editor's size.
TEST_P(EditorEmbedding, HostWindowFollowsThePluginsSize) {
  struct Case {
    bool hostCanSizeWindow;
    bool hostFollowsRequests;
    bool resized;
  };
  for (const Case& c : {Case{true, false, false}, Case{true, true, true}, Case{false, false, true}}) {
    SCOPED_TRACE(testing::Message() << "canDo sizeWindow " << c.hostCanSizeWindow
                                    << ", host follows requests " << c.hostFollowsRequests);
    HostSettings settings;
    if (!c.hostCanSizeWindow) settings.canDo.erase("sizeWindow");
    EditorWindow::Options options = defaultOptions();
    options.width = 300;
    options.height = 200;
    options.followSizeRequests = c.hostFollowsRequests;
    restart(settings, options);

    ASSERT_NE(openAndEmbed(), 0u);
    const unsigned long window = editor->hostWindow();
    const bool sized = within(20, [&] {
      const WindowState state = windowState(window);
      return state.width == kEditorWidth && state.height == kEditorHeight;
    });
    EXPECT_EQ(sized, c.resized);
    if (!c.resized) {
      EXPECT_EQ(windowState(window).width, 300);
      EXPECT_EQ(windowState(window).height, 200);
    }
    EXPECT_TRUE(hasSizeRequest(host, kEditorWidth, kEditorHeight));
  }
}

TEST_P(EditorEmbedding, ReopeningBringsBackTheSameChild) {
  const unsigned long first = openAndEmbed();
  ASSERT_NE(first, 0u);
  const unsigned long window = editor->hostWindow();

  editor->close();
  EXPECT_FALSE(editor->isOpen());
  const WindowState parked = windowState(first);
  EXPECT_TRUE(parked.exists) << "the editor's window outlives a close";
  EXPECT_NE(parked.parent, window) << "a closed editor leaves the host window";

  const unsigned long second = openAndEmbed();
  EXPECT_EQ(second, first);
  EXPECT_EQ(editor->hostWindow(), window);
  EXPECT_TRUE(windowState(second).viewable);
  if (GetParam() == EditorWindow::Mode::HostDisplay) {
    EXPECT_EQ(editor->eventProcReads(), 2) << "the procedure is read again for every arrival";
  }
}

TEST_P(EditorEmbedding, ClosingTheWindowClosesTheEditor) {
  const unsigned long child = openAndEmbed();
  ASSERT_NE(child, 0u);
  sendDeleteRequest(editor->hostWindow());
  editor->waitUntilClosed();
  EXPECT_FALSE(editor->isOpen());
  EXPECT_EQ(editor->hostWindow(), 0u);
  // effEditClose came before the window went, so the plug-in's window was saved from it.
  EXPECT_TRUE(windowState(child).exists);

  EXPECT_EQ(openAndEmbed(), child);
}

INSTANTIATE_TEST_SUITE_P(Modes, EditorEmbedding,
                         testing::Values(EditorWindow::Mode::HostDisplay, EditorWindow::Mode::NoDisplay),
                         modeName);

}  // namespace
}  // namespace editortest
