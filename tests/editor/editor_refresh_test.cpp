// The editor shows what changes, driven by the host's idle calls: a parameter the host sets is shown
// again at a following effEditIdle, and a host window that is hidden and shown again gets its editor
// painted again.
#include "EditorTest.h"

namespace editortest {
namespace {

using EditorRefresh = EditorTest;

// Painted over the editor by another client; the editor does not know, so only a refresh paints it over.
constexpr int kScribbleRed = 255;
constexpr int kScribbleGreen = 0;
constexpr int kScribbleBlue = 255;

TEST_P(EditorRefresh, HostParameterChangeIsRefreshedFromTheIdleCalls) {
  const unsigned long child = openAndEmbed();
  ASSERT_NE(child, 0u);
  const int area = kEditorWidth * kEditorHeight;
  auto scribbled = [&] { return pixelsOfColour(child, kScribbleRed, kScribbleGreen, kScribbleBlue); };
  // The open asks for a full refresh of its own, and the first paints may come late on a busy machine:
  // the scribble has to stay for a few idle calls before the change comes.
  ASSERT_TRUE(within(20, [&] { return showsColour(child, kBodyRed, kBodyGreen, kBodyBlue); }));
  bool settled = false;
  long refreshes = 0;
  for (int attempt = 0; attempt < 5 && !settled; ++attempt) {
    refreshes = sentExposesInside(*editor, child);
    scribble(child, kScribbleRed, kScribbleGreen, kScribbleBlue);
    ASSERT_TRUE(editor->waitForIdles(3));
    settled = scribbled() == area;
  }
  ASSERT_TRUE(settled) << "the editor repaints without a change";

  host.setParameter(1, 1.0f);
  EXPECT_TRUE(within(10, [&] { return scribbled() < area; })) << "the change was not shown";
  if (GetParam() == EditorWindow::Mode::HostDisplay) {
    EXPECT_GT(sentExposesInside(*editor, child), refreshes);
  }
}

// What one well-known host does when the user closes the editor's window: it unmaps it, goes on with
// effEditIdle, and maps it again later.
TEST_P(EditorRefresh, WindowShownAgainIsPaintedAgain) {
  ASSERT_NE(openAndEmbed(), 0u);
  const unsigned long window = editor->hostWindow();
  ASSERT_TRUE(within(20, [&] { return showsColour(window, kBodyRed, kBodyGreen, kBodyBlue); }));

  editor->unmapWindow();
  EXPECT_FALSE(windowState(window).viewable);
  ASSERT_TRUE(editor->waitForIdles(3));
  editor->mapWindow();
  EXPECT_TRUE(within(20, [&] { return showsColour(window, kBodyRed, kBodyGreen, kBodyBlue); }));
}

INSTANTIATE_TEST_SUITE_P(Modes, EditorRefresh,
                         testing::Values(EditorWindow::Mode::HostDisplay, EditorWindow::Mode::NoDisplay),
                         modeName);

}  // namespace
}  // namespace editortest
