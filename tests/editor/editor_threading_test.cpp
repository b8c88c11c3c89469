// The editor lives on the host's editor thread: no other thread makes a request on the host's connection
// while the host's own thread keeps working on the plug-in, repeated opening and closing leaves no window
// and no thread behind, and a host that destroys its window under an open editor does not bring the
// plug-in down.
#include <set>
#include <sstream>

#include "EditorTest.h"

namespace editortest {
namespace {

using EditorThreading = EditorTest;

std::string describe(const std::map<std::thread::id, long>& requests) {
  std::ostringstream text;
  for (const auto& [thread, count] : requests)
    text << " thread " << thread << ": " << count << " request(s);";
  return text.str();
}

TEST_P(EditorThreading, OnlyTheEditorThreadUsesTheHostConnection) {
  ASSERT_NE(openAndEmbed(), 0u);
  // Meanwhile the host's own thread changes what the editor shows and keeps the audio going.
  host.mainsChanged(true);
  for (int program = 1; program <= 4; ++program) {
    host.setProgram(program);
    host.setParameter(1, program % 2 ? 1.0f : 0.0f);
    host.resend();
    host.processBlock();
    ASSERT_TRUE(editor->waitForIdles(2));
  }
  editor->unmapWindow();
  editor->mapWindow();
  ASSERT_TRUE(editor->waitForIdles(2));
  editor->close();
  ASSERT_NE(openAndEmbed(), 0u);
  ASSERT_TRUE(editor->waitForIdles(2));
  editor->close();

  const std::map<std::thread::id, long> requests = editor->requestsByThread();
  ASSERT_EQ(requests.count(editor->editorThreadId()), 1u) << "no request seen at all";
  EXPECT_EQ(requests.size(), 1u) << "editor thread " << editor->editorThreadId() << ", main thread "
                                 << std::this_thread::get_id() << ":" << describe(requests);
}

TEST_P(EditorThreading, ManyCyclesLeaveNoWindowsOrThreads) {
  // The first open makes what the editor keeps for good.
  const unsigned long child = openAndEmbed();
  ASSERT_NE(child, 0u);
  const std::set<unsigned long> clients = {clientOf(child), clientOf(editor->hostWindow())};
  auto windowsOfOurs = [&] {
    int total = 0;
    for (const auto& [client, count] : windowsByClient())
      if (clients.count(client)) total += count;
    return total;
  };
  editor->close();
  editor->destroyWindow();
  const int windows = windowsOfOurs();
  const int threads = threadCount();

  for (int cycle = 0; cycle < 200; ++cycle) {
    ASSERT_EQ(editor->open(), 1) << "cycle " << cycle;
    if (cycle % 20 == 0) {
      ASSERT_TRUE(editor->waitForIdles(1));
    }
    editor->close();
    // Every other cycle the host makes a new window, as hosts do that rebuild the editor's frame.
    if (cycle % 2) editor->destroyWindow();
  }
  EXPECT_EQ(windowsOfOurs(), windows);
  EXPECT_EQ(threadCount(), threads);
}

TEST_P(EditorThreading, HostWindowDestroyedUnderAnOpenEditor) {
  ASSERT_NE(openAndEmbed(), 0u);
  const unsigned long first = editor->hostWindow();
  editor->destroyWindow();
  // The plug-in's window went with the host's; idle calls and the close still come.
  ASSERT_TRUE(editor->waitForIdles(3));
  editor->close();

  const unsigned long child = openAndEmbed();
  ASSERT_NE(child, 0u);
  EXPECT_NE(editor->hostWindow(), first);
  EXPECT_TRUE(within(20, [&] { return windowState(child).width == kEditorWidth; }));
  const WindowState state = windowState(child);
  EXPECT_TRUE(state.viewable);
  EXPECT_EQ(state.width, kEditorWidth);
  EXPECT_EQ(state.height, kEditorHeight);
  EXPECT_TRUE(within(20, [&] { return showsColour(editor->hostWindow(), kBodyRed, kBodyGreen, kBodyBlue); }));
}

INSTANTIATE_TEST_SUITE_P(Modes, EditorThreading,
                         testing::Values(EditorWindow::Mode::HostDisplay, EditorWindow::Mode::NoDisplay),
                         modeName);

}  // namespace
}  // namespace editortest
