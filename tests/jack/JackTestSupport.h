// What the JACK tests share: a private `jackd -d dummy` server of their own, a small JACK client that
// records the MIDI arriving on its input with frame times and can send MIDI at chosen frames of one
// cycle, and the host program run as a child process with its output in files.
#pragma once

#include <jack/jack.h>
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace jacktest {

using Bytes = std::vector<uint8_t>;

// A dummy-driver server under a name of its own, never the default server; stopped by the destructor.
class TestServer {
 public:
  static constexpr uint32_t kSampleRate = 48000;
  static constexpr uint32_t kPeriod = 256;

  TestServer();
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  // False when jackd did not come up within a few seconds; then what it printed tells why.
  bool running() const { return ready; }
  const std::string& whyNotRunning() const { return startFailure; }
  const std::string& name() const { return serverName; }

 private:
  std::string serverName;
  pid_t pid = -1;
  bool ready = false;
  std::string startFailure;
};

struct ArrivedEvent {
  jack_nframes_t cycleStart;  // Frame time of the cycle it arrived in.
  jack_nframes_t offset;      // Frame in that cycle.
  Bytes bytes;
};

// A client with a MIDI input "in" that records what arrives, and a MIDI output "out" that sends a
// batch of messages at chosen offsets in one cycle.
class TestClient {
 public:
  TestClient(const std::string& clientName, const std::string& server);
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  bool ok() const { return client != nullptr; }
  std::string port(const char* shortName) const { return name + ":" + shortName; }
  jack_nframes_t frameTime() const { return jack_frame_time(client); }

  // Sends the messages in the next cycle at their offsets (ascending); returns that cycle's start frame.
  jack_nframes_t sendInOneCycle(const std::vector<std::pair<jack_nframes_t, Bytes>>& messages);
  // Waits (a few seconds at most) until `count` events have arrived; returns all that did.
  std::vector<ArrivedEvent> waitForEvents(size_t count, double seconds = 5.0);
  std::vector<ArrivedEvent> events();
  bool setBufferSize(jack_nframes_t frames) { return jack_set_buffer_size(client, frames) == 0; }
  bool connect(const std::string& from, const std::string& to) {
    return jack_connect(client, from.c_str(), to.c_str()) == 0;
  }
  bool disconnect(const std::string& from, const std::string& to) {
    return jack_disconnect(client, from.c_str(), to.c_str()) == 0;
  }
  // Waits until a port of the given full name exists.
  bool waitForPort(const std::string& fullName, double seconds = 5.0);

 private:
  static int processEntry(jack_nframes_t frames, void* self);
  int process(jack_nframes_t frames);

  std::string name;
  jack_client_t* client = nullptr;
  jack_port_t* in = nullptr;
  jack_port_t* out = nullptr;
  std::mutex lock;  // Tests are not real time; the recorder may wait briefly.
  std::vector<ArrivedEvent> arrived;
  std::vector<std::pair<jack_nframes_t, Bytes>> toSend;
  std::atomic<bool> sendPending{false};
  std::atomic<jack_nframes_t> sentCycle{0};
  std::atomic<bool> sentDone{false};
};

// The host program in a child process, stdout and stderr in files, the server named in its environment.
class HostProcess {
 public:
  HostProcess(const std::vector<std::string>& args, const std::string& server);
  // Another program (the whole command) run the same way, its standard input a pipe that writeInput feeds.
  struct OtherProgram {};
  HostProcess(OtherProgram, const std::vector<std::string>& command, const std::string& server);
  ~HostProcess();
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  // Waits until stdout contains `text`; false if the time ran out first.
  bool waitForOutput(const std::string& text, double seconds = 5.0);
  void signal(int number);
  void writeInput(const std::string& text);
  void closeInput();
  // Waits for the exit; returns the exit code, 128 + the signal, or -1 when it had to be killed.
  int wait(double seconds = 10.0);
  std::string out() const;
  std::string err() const;
  double secondsRunning() const;

 private:
  pid_t pid = -1;
  int input = -1;
  int exitCode = -1;
  bool ended = false;
  std::string outPath, errPath;
  std::chrono::steady_clock::time_point started;
};

// A fresh folder for one test's files, removed with its contents at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  std::string file(const std::string& name) const { return path + "/" + name; }

 private:
  std::string path;
};

std::string slurpFile(const std::string& path);

// Polls `condition` every few milliseconds until it holds or `seconds` pass.
template <typename Condition>
bool waitFor(Condition condition, double seconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace jacktest
