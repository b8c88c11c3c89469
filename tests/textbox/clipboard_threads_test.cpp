// The served text is replaced while the server thread hands it out: another client asking again and again
// during a burst of copies always receives one whole text that was copied, never a mixture or a torn one,
// and the clipboard stops its thread cleanly while requests keep coming.
// gtest comes before Xlib (which ForeignClient.h brings in): Xlib's macros None and Bool would break it.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

#include "ForeignClient.h"
#include "file/SClipboard.h"
#include "gui/SControl.h"
#include "gui/context/SData.h"

namespace tovo::file {
namespace {

using gui::context::SData;

// Copy number i: a run of one letter whose length also depends on i, so that a mixture of two is visible.
std::string Text(int i) {
  return std::string(static_cast<size_t>(200 + (i * 37) % 300), static_cast<char>('a' + i % 26));
}

bool Whole(const std::string& text) {
  if (text.empty()) return false;
  for (int i = 0; i < 26 * 300; ++i)
    if (Text(i) == text) return true;
  return false;
}

TEST(ClipboardThreads, CopiesDuringRequestsServeWholeTexts) {
  XInitThreads();
  gui::SControl owner;
  std::atomic<bool> copying{true};
  std::atomic<int> answers{0};
  std::set<std::string> received;
  int refused = 0;
  {
    SClipboard clipboard;
    ASSERT_TRUE(clipboard.Open(&owner));
    SData first;
    first.SetTextData(Text(0).c_str());
    ASSERT_TRUE(clipboard.SetData(first));

    std::thread asker([&] {
      test::ForeignClient other;
      if (!other.Valid()) return;
      for (int round = 0; copying.load(); ++round) {
        const test::ForeignClient::Answer answer = other.Request(round % 2 ? "STRING" : "UTF8_STRING");
        if (answer.property == None)
          ++refused;
        else
          received.insert(answer.bytes);
        ++answers;
      }
    });
    // Copies go on until the other client has had a good number of answers in between.
    for (int i = 1; answers.load() < 200 && i < 1000000; ++i) {
      SData data;
      data.SetTextData(Text(i).c_str());
      EXPECT_TRUE(clipboard.SetData(data));
    }
    copying.store(false);
    asker.join();
    clipboard.Close();
  }
  EXPECT_GE(answers.load(), 200);
  EXPECT_EQ(refused, 0);
  ASSERT_FALSE(received.empty());
  for (const std::string& text : received) EXPECT_TRUE(Whole(text)) << text.size() << " bytes of " << text[0];
}

}  // namespace
}  // namespace tovo::file
