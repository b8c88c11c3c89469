// The private server, the recording and sending client, and the host program as a child process.
#include "tests/jack/JackTestSupport.h"

#include <fcntl.h>
#include <jack/midiport.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace jacktest {

namespace {

void quiet(const char*) {}

jack_client_t* openClient(const std::string& name, const std::string& server) {
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  jack_status_t status;
  return jack_client_open(name.c_str(), static_cast<jack_options_t>(JackNoStartServer | JackServerName |
                                                                     JackUseExactName),
                          &status, server.c_str());
}

// exec in a child with its output in files; nothing but async-signal-safe calls after fork.
// With `input`, the child reads a pipe whose writing end is left there; else it inherits ours.
pid_t spawn(const std::vector<std::string>& args, const std::string& server, const std::string& outPath,
            const std::string& errPath, int* input = nullptr) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const std::string environment = "JACK_DEFAULT_SERVER=" + server;
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "JACK_DEFAULT_SERVER=", 20) != 0) envp.push_back(*e);
  envp.push_back(const_cast<char*>(environment.c_str()));
  envp.push_back(nullptr);
  int pipeEnds[2] = {-1, -1};
  if (input && pipe2(pipeEnds, O_CLOEXEC) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    if (input) dup2(pipeEnds[0], 0);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    execvpe(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (input) {
    close(pipeEnds[0]);
    *input = pipeEnds[1];
  }
  return child;
}

int waitChild(pid_t pid, double seconds) {
  int status = 0;
  const bool exited = waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds);
  if (!exited) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

std::string slurpFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Without real-time scheduling, a busy machine can hold a client back past its cycle; an asynchronous server
// then runs the next cycle without it, and what the host sent in the missed one never reaches the recorder
// (a message printed as sent, then missing). A synchronous server waits for every client each cycle.
TestServer::TestServer() : serverName("vtrn-test-" + std::to_string(getpid())) {
  const std::string log = "/tmp/" + serverName + ".log";
  pid = spawn({"jackd", "--no-realtime", "--sync", "-n", serverName, "-d", "dummy", "-r",
               std::to_string(kSampleRate), "-p", std::to_string(kPeriod)},
              serverName, log, log + ".err");
  ready = waitFor(
      [&] {
        jack_client_t* probe = openClient("probe", serverName);
        if (!probe) return false;
        jack_client_close(probe);
        return true;
      },
      10.0);
  if (!ready) startFailure = slurpFile(log + ".err") + slurpFile(log);
}

TestServer::~TestServer() {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitChild(pid, 5.0);
  std::remove(("/tmp/" + serverName + ".log").c_str());
  std::remove(("/tmp/" + serverName + ".log.err").c_str());
}

TestClient::TestClient(const std::string& clientName, const std::string& server) : name(clientName) {
  arrived.reserve(4096);
  client = openClient(name, server);
  if (!client) return;
  in = jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  out = jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  jack_set_process_callback(client, &TestClient::processEntry, this);
  if (!in || !out || jack_activate(client) != 0) {
    jack_client_close(client);
    client = nullptr;
  }
}

TestClient::~TestClient() {
  if (client) {
    jack_deactivate(client);
    jack_client_close(client);
  }
}

int TestClient::processEntry(jack_nframes_t frames, void* self) {
  return static_cast<TestClient*>(self)->process(frames);
}

int TestClient::process(jack_nframes_t frames) {
  const jack_nframes_t cycleStart = jack_last_frame_time(client);
  void* inBuffer = jack_port_get_buffer(in, frames);
  const jack_nframes_t count = jack_midi_get_event_count(inBuffer);
  if (count > 0) {
    std::lock_guard<std::mutex> guard(lock);
    for (jack_nframes_t i = 0; i < count; ++i) {
      jack_midi_event_t event;
      if (jack_midi_event_get(&event, inBuffer, i) == 0)
        arrived.push_back({cycleStart, event.time, Bytes(event.buffer, event.buffer + event.size)});
    }
  }
  void* outBuffer = jack_port_get_buffer(out, frames);
  jack_midi_clear_buffer(outBuffer);
  if (sendPending.load()) {
    std::lock_guard<std::mutex> guard(lock);
    for (const auto& message : toSend)
      jack_midi_event_write(outBuffer, message.first, message.second.data(), message.second.size());
    sentCycle = cycleStart;
    sendPending = false;
    sentDone = true;
  }
  return 0;
}

jack_nframes_t TestClient::sendInOneCycle(const std::vector<std::pair<jack_nframes_t, Bytes>>& messages) {
  {
    std::lock_guard<std::mutex> guard(lock);
    toSend = messages;
  }
  sentDone = false;
  sendPending = true;
  waitFor([&] { return sentDone.load(); }, 5.0);
  return sentCycle;
}

std::vector<ArrivedEvent> TestClient::waitForEvents(size_t count, double seconds) {
  waitFor(
      [&] {
        std::lock_guard<std::mutex> guard(lock);
        return arrived.size() >= count;
      },
      seconds);
  return events();
}

std::vector<ArrivedEvent> TestClient::events() {
  std::lock_guard<std::mutex> guard(lock);
  return arrived;
}

bool TestClient::waitForPort(const std::string& fullName, double seconds) {
  return waitFor([&] { return jack_port_by_name(client, fullName.c_str()) != nullptr; }, seconds);
}

HostProcess::HostProcess(const std::vector<std::string>& args, const std::string& server) {
  static int runs = 0;
  const std::string stem = "/tmp/vtrn-host-" + std::to_string(getpid()) + "-" + std::to_string(++runs);
  outPath = stem + ".out";
  errPath = stem + ".err";
  std::vector<std::string> command = {VANTORINE_HOST_PATH};
  command.insert(command.end(), args.begin(), args.end());
  started = std::chrono::steady_clock::now();
  pid = spawn(command, server, outPath, errPath);
}

HostProcess::HostProcess(OtherProgram, const std::vector<std::string>& command, const std::string& server) {
  static int runs = 0;
  const std::string stem = "/tmp/vtrn-program-" + std::to_string(getpid()) + "-" + std::to_string(++runs);
  outPath = stem + ".out";
  errPath = stem + ".err";
  // A program that has gone writes no answer, and must not end the test with SIGPIPE either.
  ::signal(SIGPIPE, SIG_IGN);
  started = std::chrono::steady_clock::now();
  pid = spawn(command, server, outPath, errPath, &input);
}

HostProcess::~HostProcess() {
  closeInput();
  if (!ended) wait(1.0);
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
}

bool HostProcess::waitForOutput(const std::string& text, double seconds) {
  return waitFor([&] { return out().find(text) != std::string::npos; }, seconds);
}

void HostProcess::signal(int number) {
  if (!ended) kill(pid, number);
}

void HostProcess::writeInput(const std::string& text) {
  if (input >= 0 && ::write(input, text.data(), text.size()) != static_cast<ssize_t>(text.size())) closeInput();
}

void HostProcess::closeInput() {
  if (input >= 0) close(input);
  input = -1;
}

int HostProcess::wait(double seconds) {
  if (!ended) {
    exitCode = waitChild(pid, seconds);
    ended = true;
  }
  return exitCode;
}

std::string HostProcess::out() const { return slurpFile(outPath); }
std::string HostProcess::err() const { return slurpFile(errPath); }

double HostProcess::secondsRunning() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

TempFolder::TempFolder() {
  char pattern[] = "/tmp/vtrn-jack-XXXXXX";
  path = mkdtemp(pattern);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

}  // namespace jacktest
