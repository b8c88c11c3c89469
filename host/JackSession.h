// One run of the host program as a JACK client, from activation to exit: it activates the client,
// connects the ports asked for, runs the actions in order on this (normal) thread, then waits until the
// run's time is up, a SIGINT or SIGTERM arrives, the editor window is closed or the server goes away.
// While it waits it resends the current preset when a SIGUSR1 asks or, unless told not to, when ports are
// newly connected to midi_out, once per burst of connections. A thread of its own prints the MIDI sent on
// midi_out as the callback hands it over, each send after the line that says why it happened. With a
// state file the state is saved within a second of a burst of changes ending, once per burst, and once
// more at the end, however the run ends; always on this thread.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "host/ActionRunner.h"
#include "host/CommandLine.h"
#include "host/ConnectionWatch.h"
#include "host/JackClient.h"
#include "host/ProgramChangeNames.h"
#include "host/StateFile.h"

class EditorWindow;

class JackSession {
 public:
  // `state` and `editor` may be null.
  JackSession(const CommandLine& line, VstHost& host, JackClient& jack, StateFile* state, EditorWindow* editor);
  ~JackSession();
  JackSession(const JackSession&) = delete;
  JackSession& operator=(const JackSession&) = delete;

  // Installs the SIGINT and SIGTERM handlers that end a run, and the SIGUSR1 one that asks for a resend;
  // done early, so that a signal during loading is taken up by the run instead of killing the process.
  static void catchSignals();
  // The state file's bank went in at `when`, which starts the plug-in's start-up send.
  void stateLoadedAt(SendReasons::Clock::time_point when);
  // The whole run; returns the process's exit code. Failures are one line on stderr.
  int run();

 private:
  enum class End { None, TimeUp, Signal, EditorClosed, ServerGone };
  using Clock = std::chrono::steady_clock;

  // Waits until `until` (or indefinitely with a time_point of max), saving the state as it changes.
  // Returns why the run must end, or End::None when the time came.
  End waitUntil(Clock::time_point until);
  End endReason();
  std::string runAction(const HostAction& action);
  // Writes the state once it settled, or at the end whenever it changed.
  std::string saveState(bool atTheEnd);
  // Looks for sends the host did not ask for (the editor's, an incoming Program Change's).
  void lookForSendCauses();
  // Resends for a SIGUSR1 or new connections to midi_out.
  void answerResendAsks(Clock::time_point now);
  void printSent();
  int finish(End end, const std::string& failure);

  const CommandLine& line;
  VstHost& host;
  JackClient& jack;
  StateFile* state;
  EditorWindow* editor;
  ActionRunner actions;
  ConnectionWatch newConnections;
  Clock::time_point started;
  Clock::time_point nextSave;
  int resizesShown = 0;
  std::atomic<bool> printing{false};
  // The printing thread asks the plug-in for its bank and current preset to name the Program Changes it
  // prints and the sends they begin. A plug-in is not made for two threads calling it at once (ours builds
  // every chunk in one buffer), so this thread's calls into it and the printing thread's are taken in turn.
  std::mutex pluginCalls;
  ProgramChangeNames sentNames;
  std::thread printer;
};
