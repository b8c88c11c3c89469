// Which threads make Xlib requests on one X connection. A connection that a host lends to a plug-in must
// be used from one thread only, yet any thread of the plug-in could call into it; the log hooks Xlib's
// after-request function on the connection and counts the requests of every thread that makes one.
#pragma once

#include <map>
#include <mutex>
#include <thread>

typedef struct _XDisplay Display;

class XRequestLog {
 public:
  XRequestLog() = default;
  XRequestLog(const XRequestLog&) = delete;
  XRequestLog& operator=(const XRequestLog&) = delete;
  ~XRequestLog() { detach(); }

  // Starts logging the requests on `display`; one connection per log, one log per connection.
  void attach(Display* display);
  // Stops logging and gives the connection its former after-request function back.
  void detach();

  // Requests seen so far, by the thread that made them.
  std::map<std::thread::id, long> requestsByThread() const;

 private:
  static int afterRequest(Display* display);
  void record();

  Display* watched = nullptr;
  int (*previous)(Display*) = nullptr;
  mutable std::mutex lock;
  std::map<std::thread::id, long> counts;
};
