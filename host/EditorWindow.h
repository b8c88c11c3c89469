// The host's window for a plug-in's editor, run the way 64-bit Linux hosts run it: a top-level window on
// an X connection of its own, into which the plug-in embeds its editor, and an X loop that delivers the
// events and the idle calls. The loop runs on a thread of its own, not the process's main thread, and
// every editor request (effEditGetRect, effEditOpen, effEditIdle, the event calls, effEditClose) is made
// there; the caller's thread goes on talking to the plug-in meanwhile. Two ways of feeding the editor:
// - HostDisplay: effEditOpen gets the connection in its value, and while the editor is open the loop
//   hands every event that is not for the host window to the function the plug-in's child window
//   publishes in "_XEventProc"; idle every 40 ms.
// - NoDisplay: effEditOpen gets 0, the property is never read, the plug-in reads its own connection;
//   idle every 66 ms.
// What tests need to look at is exposed: the threads that made requests on the connection, the windows,
// the event procedure read, the events passed on and the idle calls made.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>

#include "host/VstHost.h"
#include "host/XRequestLog.h"

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

class EditorWindow {
 public:
  enum class Mode { HostDisplay, NoDisplay };

  struct Options {
    Mode mode = Mode::HostDisplay;
    // Where a new host window goes on the screen, and its size before the plug-in sizes it (0 takes
    // the editor rectangle).
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // False: audioMasterSizeWindow is answered but the window keeps its size, which shows whether the
    // plug-in resized the window itself.
    bool followSizeRequests = true;
  };

  // Starts the editor thread and its X connection; the editor stays closed until open().
  EditorWindow(VstHost& host, Options options);
  // Closes the editor and the window on the editor thread and joins it. The plug-in keeps the display
  // it was given until it is unloaded, so when it was given ours the plug-in is unloaded before the
  // connection closes.
  ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // False, with error() saying why, when no X connection could be opened.
  bool ready() const { return display != nullptr; }
  const std::string& error() const { return failure; }
  Mode mode() const { return settings.mode; }
  // What effEditOpen gets in its value: the connection, or 0.
  VstIntPtr displayValue() const;

  // Makes the host window if there is none, maps it, asks effEditGetRect and calls effEditOpen with it.
  // With seconds > 0 the editor thread closes the editor and the window that long after. Returns
  // effEditOpen's answer; 0 without calling it while the editor is open.
  VstIntPtr open(double seconds = 0);
  // effEditClose, if the editor is open. The window stays for the next open.
  void close();
  bool isOpen() const;
  // Blocks until the editor is closed: by close(), the window manager's delete request or time up.
  void waitUntilClosed();

  // What a host does with its window: hide and show it again, or destroy it with the editor open (a
  // later open makes a new one).
  void unmapWindow();
  void mapWindow();
  void destroyWindow();

  // Runs `task` on the editor thread and returns when it has run (at once when called there).
  void runOnEditorThread(const std::function<void()>& task);
  // Waits until `count` more effEditIdle calls have been made; false if the editor closed first.
  bool waitForIdles(long count);
  long idleCount() const;

  std::thread::id editorThreadId() const { return loopThread.get_id(); }
  // X errors that reached the host's handler in this process so far, on any connection.
  static long xErrorsReported();
  // Xlib requests on the host's connection, by thread, since the connection was opened.
  std::map<std::thread::id, long> requestsByThread() const { return requests.requestsByThread(); }
  // The host window (0 when there is none) and the last window the plug-in reparented into it.
  unsigned long hostWindow() const;
  unsigned long pluginWindow() const;
  // How often a window was reparented into the host window so far.
  int arrivals() const;
  // The raw value read from "_XEventProc" (0 until read) and how often it was read.
  long eventProcValue() const;
  int eventProcReads() const;
  // Events handed to the plug-in's event procedure; 0 for window or type counts every one, and
  // sentOnly counts only events that a client sent (XSendEvent) rather than the server.
  long eventsPassedOn(unsigned long window = 0, int type = 0, bool sentOnly = false) const;
  // The windows of the events handed on so far.
  std::set<unsigned long> windowsPassedOn() const;

 private:
  using Clock = std::chrono::steady_clock;
  using EventProc = int (*)(XEvent*);

  // Editor thread.
  void threadMain();
  bool connect();
  void loop();
  void runQueuedTasks();
  void dispatchEvent(XEvent& event);
  void handleOwnWindowEvent(XEvent& event);
  void readEventProc(unsigned long window);
  void makeWindow(int width, int height);
  VstIntPtr openEditor(double seconds);
  // effEditClose if open; withWindow: the end of a session, the window goes too.
  void closeEditor(bool withWindow);
  void dropWindow();
  void idleIfDue(Clock::time_point now);
  int waitMilliseconds(Clock::time_point now) const;
  void resizeWindow(int width, int height);
  void onSizeRequest(VstInt32 width, VstInt32 height);
  void post(std::function<void()> task);
  void wake();

  VstHost& host;
  const Options settings;
  std::string failure;
  Display* display = nullptr;
  XRequestLog requests;
  bool displayLent = false;
  int wakePipe[2] = {-1, -1};
  unsigned long deleteAtom = 0;
  unsigned long eventProcAtom = 0;
  EventProc eventProc = nullptr;
  std::set<unsigned long> ownWindows;
  Clock::time_point nextIdle;
  Clock::time_point closeAt;
  bool closeAtDeadline = false;

  // Shared between the editor thread and callers; `stateChanged` wakes waiters on any change.
  mutable std::mutex stateLock;
  std::condition_variable stateChanged;
  std::deque<std::function<void()>> tasks;
  bool started = false;
  bool stopping = false;
  bool loopEnded = false;
  bool editorOpen = false;
  long idles = 0;
  unsigned long window = 0;
  unsigned long child = 0;
  int arrived = 0;
  long procValue = 0;
  int procReads = 0;
  std::map<std::tuple<unsigned long, int, bool>, long> passedOn;

  std::thread loopThread;
};
