// A sequence of frames shown over time: the current frame, the time into the sequence, and the stepping
// rules (go to a frame, advance by elapsed milliseconds, wrap at the end, loop or stop). Where the frames
// come from, and how one is painted, is a subclass's business (OpenVideo and GrabFrame).
#pragma once

namespace tovo::gui {

class SIVideo {
 public:
  virtual ~SIVideo() = default;

  // The base forgets any sequence (count 0, closed, not playing); a subclass then loads its source and
  // sets the count, the frame size, the duration, the rate and the open flag.
  virtual void OpenVideo(const char* source, int width, int height);
  virtual void CloseVideo();
  // Paints the frame at the given size; the base has no frames to paint.
  virtual void GrabFrame(int, int, int) {}
  virtual void StartPlaying();
  virtual void StopPlaying();
  // False, and nothing changes, for the current frame or one outside 0 ... count - 1.
  virtual bool GotoFrame(int frame);
  virtual bool GotoFirst();
  virtual bool GotoLast();
  // Advances the time by ms; true when that changes the frame (wrapping to 0 past the last one, where a
  // sequence that does not loop stops playing).
  virtual bool Motion(unsigned long ms);

  int CurrentFrame() const { return currentFrame; }
  unsigned Elapsed() const { return elapsed; }
  int FrameCount() const { return frameCount; }
  bool IsOpen() const { return open; }
  bool IsPlaying() const { return playing; }
  bool IsLooping() const { return looping; }
  void SetLooping(bool on) { looping = on; }
  bool TimerRunning() const { return timerRunning; }

 protected:
  // What a subclass's OpenVideo fills in once its source is loaded.
  void SetSequence(int count, int width, int height, int durationMs);

  int currentFrame = 0;
  unsigned elapsed = 0;
  int frameCount = 0;
  int frameWidth = 0;
  int frameHeight = 0;
  int reserved0 = 0;
  int frameDuration = 0;
  // Frames per millisecond.
  float frameRate = 0.0f;
  int reserved1[3] = {0, 0, 0};
  bool open = false;
  bool playing = false;
  bool looping = true;
  bool timerRunning = false;
};

}  // namespace tovo::gui
