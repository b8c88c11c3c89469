// Frame stepping of a frame sequence.
#include "gui/widgets/SIVideo.h"

#include <cmath>

namespace tovo::gui {

void SIVideo::OpenVideo(const char*, int, int) {
  frameCount = 0;
  open = false;
  playing = false;
}

void SIVideo::CloseVideo() {
  open = false;
  playing = false;
}

void SIVideo::StartPlaying() { playing = true; }

void SIVideo::StopPlaying() { playing = false; }

void SIVideo::SetSequence(int count, int width, int height, int durationMs) {
  currentFrame = 0;
  elapsed = 0;
  frameCount = count;
  frameWidth = width;
  frameHeight = height;
  frameDuration = durationMs;
  frameRate = durationMs > 0 ? 1.0f / static_cast<float>(durationMs) : 0.0f;
  open = count > 0;
}

bool SIVideo::GotoFrame(int frame) {
  if (frame == currentFrame || frame < 0 || frame >= frameCount) return false;
  currentFrame = frame;
  elapsed = static_cast<unsigned>(frame * frameDuration);
  return true;
}

bool SIVideo::GotoFirst() { return GotoFrame(0); }

bool SIVideo::GotoLast() { return GotoFrame(frameCount - 1); }

bool SIVideo::Motion(unsigned long ms) {
  elapsed += static_cast<unsigned>(ms);
  const long frame = std::lround(static_cast<double>(elapsed) * frameRate);
  if (frame == currentFrame) return false;
  if (frame < frameCount) {
    currentFrame = static_cast<int>(frame);
    return true;
  }
  currentFrame = 0;
  elapsed = 0;
  if (!looping) playing = false;
  return true;
}

}  // namespace tovo::gui
