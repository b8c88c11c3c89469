// The host program's run as a JACK client.
#include "host/JackSession.h"

#include <csignal>
#include <cstdio>

#include "host/EditorWindow.h"
#include "host/MidiText.h"

namespace {

constexpr int kExitFailure = 1;
// How often the waiting thread looks at the end conditions, and how often at the state: a state that
// stayed the same over one look is saved, within a second of the last change.
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr auto kSaveInterval = std::chrono::milliseconds(500);

std::atomic<int> caughtSignal{0};
std::atomic<bool> resendSignalled{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handlers may only touch lock-free atomics");

void onSignal(int number) { caughtSignal.store(number); }
void onResendSignal(int) { resendSignalled.store(true); }

std::string Joined(const std::vector<std::string>& ports) {
  std::string text;
  for (const std::string& port : ports) text += (text.empty() ? "" : ", ") + port;
  return text;
}

}  // namespace

JackSession::JackSession(const CommandLine& commandLine, VstHost& plugin, JackClient& client, StateFile* file,
                         EditorWindow* window)
    : line(commandLine),
      host(plugin),
      jack(client),
      state(file),
      editor(window),
      actions(plugin, true, window),
      sentNames([this] {
        const std::lock_guard<std::mutex> lock(pluginCalls);
        return ProgramChangeNames::PluginBank{host.getChunk(false),
                                              static_cast<int>(host.dispatch(effGetProgram))};
      }) {
  actions.midiRoute = [this](const std::vector<uint8_t>& message) { return jack.queueMidi(message); };
  actions.programChangesIn = [this] { return jack.programChangesIn(); };
  actions.describeBanks = !line.quiet;
}

void JackSession::stateLoadedAt(SendReasons::Clock::time_point when) {
  const std::lock_guard<std::mutex> lock(pluginCalls);
  actions.sendReasons().bankLoaded(when);
}

JackSession::~JackSession() {
  printing = false;
  if (printer.joinable()) printer.join();
}

void JackSession::catchSignals() {
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  action.sa_handler = onResendSignal;
  // A udev rule may signal while we sleep or read: no call of ours should fail for it.
  action.sa_flags = SA_RESTART;
  sigaction(SIGUSR1, &action, nullptr);
}

int JackSession::run() {
  printing = true;
  printer = std::thread([this] { printSent(); });
  std::string reason = jack.activate();
  if (!reason.empty()) return finish(End::None, reason);
  started = Clock::now();
  nextSave = started + kSaveInterval;
  std::printf("JACK client %s active: %u Hz, %u frames per cycle\n", jack.name().c_str(), jack.sampleRate(),
              jack.bufferSize());
  for (const auto& connection : line.connections) {
    reason = jack.connect(connection.first, connection.second);
    if (!reason.empty()) return finish(End::None, reason);
    std::printf("connected %s and %s\n", connection.first.c_str(), connection.second.c_str());
  }
  // What the first action sends should reach the ports just connected.
  if (!line.connections.empty()) jack.waitForCycles(2, std::chrono::milliseconds(500));
  newConnections.start(jack.midiOutConnections());
  std::fflush(stdout);

  for (const HostAction& action : line.actions) {
    End end = endReason();
    if (end == End::None && action.kind == HostAction::Kind::Sleep)
      end = waitUntil(Clock::now() + std::chrono::milliseconds(action.index));
    else if (end == End::None)
      reason = runAction(action);
    if (end != End::None || !reason.empty()) return finish(end, reason);
  }
  const Clock::time_point until = line.runSeconds < 0
                                      ? Clock::time_point::max()
                                      : started + std::chrono::duration_cast<Clock::duration>(
                                                      std::chrono::duration<double>(line.runSeconds));
  End end = waitUntil(until);
  return finish(end == End::None ? End::TimeUp : end, {});
}

JackSession::End JackSession::endReason() {
  if (jack.serverGone()) return End::ServerGone;
  if (caughtSignal.load() != 0) return End::Signal;
  if (editor && !editor->isOpen()) return End::EditorClosed;
  return End::None;
}

JackSession::End JackSession::waitUntil(Clock::time_point until) {
  while (true) {
    const End end = endReason();
    if (end != End::None) return end;
    const Clock::time_point now = Clock::now();
    if (now >= until) return End::None;
    if (state && now >= nextSave) {
      const std::string reason = saveState(false);
      // A full disk must not end a live rig's run; the next change and the end try again.
      if (!reason.empty()) std::fprintf(stderr, "vantorine-host: %s\n", reason.c_str());
      nextSave = now + kSaveInterval;
    }
    lookForSendCauses();
    answerResendAsks(now);
    // Events sent outside a cycle, by the plug-in's own threads, are printed from here.
    {
      const std::lock_guard<std::mutex> lock(pluginCalls);
      actions.printEvents();
    }
    if (jack.bufferSizeChanges() != resizesShown) {
      resizesShown = jack.bufferSizeChanges();
      std::printf("buffer size now %u frames: the plug-in was suspended, told and resumed\n",
                  jack.bufferSize());
      std::fflush(stdout);
    }
    std::this_thread::sleep_until(std::min(until, now + kPollInterval));
  }
}

std::string JackSession::runAction(const HostAction& action) {
  const std::lock_guard<std::mutex> lock(pluginCalls);
  return actions.run(action);
}

std::string JackSession::saveState(bool atTheEnd) {
  const std::lock_guard<std::mutex> lock(pluginCalls);
  bool wrote = false;
  const std::string reason =
      atTheEnd ? state->saveIfChanged(host, wrote) : state->saveWhenSettled(host, wrote);
  if (wrote) {
    std::printf("state saved to %s (preset %ld)\n", state->path().c_str(),
                static_cast<long>(host.dispatch(effGetProgram)) + 1);
    std::fflush(stdout);
  }
  return reason;
}

void JackSession::lookForSendCauses() {
  const std::lock_guard<std::mutex> lock(pluginCalls);
  actions.sendReasons().look(jack.programChangesIn());
}

void JackSession::answerResendAsks(Clock::time_point now) {
  std::vector<std::string> whys;
  if (resendSignalled.exchange(false)) whys.push_back("SIGUSR1");
  if (line.resendOnConnect) {
    if (jack.takeConnectionsChanged()) newConnections.noticed(now);
    if (newConnections.looking(now)) newConnections.seen(jack.midiOutConnections(), now);
    const std::vector<std::string> ports = newConnections.takeSettled(now);
    if (!ports.empty()) whys.push_back("new connection to midi_out (" + Joined(ports) + ")");
  }
  // Both at once ask for one send, which is both's.
  if (whys.empty()) return;
  const std::string why = Joined(whys);
  {
    const std::lock_guard<std::mutex> lock(pluginCalls);
    actions.resend(why);
  }
  std::printf("resend requested: %s\n", why.c_str());
  std::fflush(stdout);
}

// Printing thread.
void JackSession::printSent() {
  uint64_t droppedSoFar = 0;
  uint64_t refusedSoFar = 0;
  while (true) {
    // Read before draining, so that what the callback handed over before the end is all printed.
    const bool last = !printing.load();
    JackClient::SentMessage message;
    bool any = false;
    while (jack.takeSent(message)) {
      const uint8_t* bytes = message.bytes.data();
      std::string why;
      {
        const std::lock_guard<std::mutex> lock(pluginCalls);
        actions.sendReasons().look(jack.programChangesIn());
        why = actions.sendReasons().lineBefore(bytes, message.bytes.size());
      }
      if (!why.empty()) std::printf("%s\n", why.c_str());
      std::printf("%8.3f s  midi_out frame %u: %s%s\n", message.seconds, message.frame,
                  MidiText::message(bytes, message.bytes.size()).c_str(),
                  sentNames.of(bytes, message.bytes.size()).c_str());
      any = true;
    }
    const uint64_t dropped = jack.droppedFromPrinting() + jack.droppedOnPort();
    if (dropped != droppedSoFar) {
      std::printf("%llu MIDI message(s) could not be sent or printed: no room for them in the cycle\n",
                  static_cast<unsigned long long>(dropped - droppedSoFar));
      droppedSoFar = dropped;
      any = true;
    }
    const uint64_t refused = jack.refusedSysex();
    if (refused != refusedSoFar) {
      std::printf("%llu SysEx event(s) from the plug-in refused: not one whole message of at most 64 KiB\n",
                  static_cast<unsigned long long>(refused - refusedSoFar));
      refusedSoFar = refused;
      any = true;
    }
    if (any) std::fflush(stdout);
    if (last) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

int JackSession::finish(End end, const std::string& failure) {
  switch (end) {
    case End::TimeUp:
      std::printf("run time of %g s is up\n", line.runSeconds);
      break;
    case End::Signal:
      std::printf("stopping on signal %d\n", caughtSignal.load());
      break;
    case End::EditorClosed:
      std::printf("editor window closed\n");
      break;
    case End::ServerGone:
    case End::None:
      break;
  }
  {
    // The printing thread may still be asking the plug-in for names.
    const std::lock_guard<std::mutex> lock(pluginCalls);
    if (editor) editor->close();
    jack.deactivate();
  }
  std::string saveFailure;
  if (state) saveFailure = saveState(true);
  printing = false;
  if (printer.joinable()) printer.join();
  actions.printEvents();
  std::fflush(stdout);

  std::string reason = failure;
  if (reason.empty() && end == End::ServerGone) reason = "the JACK server went away: " + jack.shutdownReason();
  if (reason.empty()) reason = saveFailure;
  if (!reason.empty()) {
    std::fprintf(stderr, "vantorine-host: %s\n", reason.c_str());
    return kExitFailure;
  }
  return 0;
}
