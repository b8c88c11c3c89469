// A frame sequence steps by frame number and by elapsed time, wraps past its last frame (looping or
// stopping), and the video control paints frames only while a sequence is open.
#include <gtest/gtest.h>

#include <vector>

#include "gui/context/SGlobals.h"
#include "gui/widgets/SIVideo.h"
#include "gui/widgets/SVideo.h"

namespace tovo::gui {
namespace {

// A sequence of count frames of durationMs each; no pictures.
class Sequence : public SIVideo {
 public:
  Sequence(int count, int durationMs) { SetSequence(count, 16, 16, durationMs); }
};

TEST(FrameSequence, GotoFrameRefusesTheCurrentFrameAndFramesOutsideTheSequence) {
  Sequence video(5, 40);
  EXPECT_FALSE(video.GotoFrame(0));
  EXPECT_FALSE(video.GotoFrame(5));
  EXPECT_FALSE(video.GotoFrame(-1));
  EXPECT_EQ(video.CurrentFrame(), 0);
  EXPECT_EQ(video.Elapsed(), 0u);

  EXPECT_TRUE(video.GotoLast());
  EXPECT_EQ(video.CurrentFrame(), 4);
  EXPECT_EQ(video.Elapsed(), 160u);
  EXPECT_FALSE(video.GotoLast());
  EXPECT_TRUE(video.GotoFirst());
  EXPECT_EQ(video.Elapsed(), 0u);
}

TEST(FrameSequence, MotionAdvancesByRoundedElapsedTime) {
  Sequence video(4, 10);
  EXPECT_FALSE(video.Motion(4));  // 0.4 frames rounds to frame 0
  EXPECT_TRUE(video.Motion(2));   // 0.6 rounds to 1
  EXPECT_EQ(video.CurrentFrame(), 1);
  EXPECT_TRUE(video.GotoFrame(2));
  EXPECT_TRUE(video.Motion(10));
  EXPECT_EQ(video.CurrentFrame(), 3);
  EXPECT_EQ(video.Elapsed(), 30u);
}

TEST(FrameSequence, PastTheLastFrameItWrapsAndLoopsOrStops) {
  Sequence looping(4, 10);
  looping.StartPlaying();
  ASSERT_TRUE(looping.GotoLast());
  EXPECT_TRUE(looping.Motion(10));
  EXPECT_EQ(looping.CurrentFrame(), 0);
  EXPECT_EQ(looping.Elapsed(), 0u);
  EXPECT_TRUE(looping.IsPlaying());

  Sequence once(4, 10);
  once.SetLooping(false);
  once.StartPlaying();
  EXPECT_TRUE(once.Motion(35));
  EXPECT_EQ(once.CurrentFrame(), 0);
  EXPECT_FALSE(once.IsPlaying());
}

// A video control that records the frames it is asked to paint.
class RecordingVideo : public SVideo {
 public:
  explicit RecordingVideo(SGlobals* shared)
      : SVideo(shared, nullptr, 1, "video", 0, 0, 0, 64, 32, 0, false) {}
  void Load(int count) { SetSequence(count, 64, 32, 20); }
  void GrabFrame(int frame, int width, int height) override { grabbed.push_back({frame, width, height}); }

  std::vector<std::vector<int>> grabbed;
};

TEST(VideoControl, PaintsTheCurrentFrameOnlyWhileOpen) {
  SGlobals globals;
  RecordingVideo video(&globals);
  EXPECT_TRUE(video.EventHandled(5));
  video.Draw({0, 0, 64, 32});
  EXPECT_TRUE(video.grabbed.empty());

  video.Load(6);
  ASSERT_TRUE(video.GotoFrame(3));
  video.Draw({8, 4, 48, 30});
  ASSERT_EQ(video.grabbed.size(), 1u);
  EXPECT_EQ(video.grabbed[0], (std::vector<int>{3, 40, 26}));

  video.CloseVideo();
  video.Draw({0, 0, 64, 32});
  EXPECT_EQ(video.grabbed.size(), 1u);
}

}  // namespace
}  // namespace tovo::gui
