// The JACK client around a plug-in: opening and ports, the real-time cycle, buffer-size changes, shutdown.
#include "host/JackClient.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "midi/MidiMessageLength.h"
#include "midi/SysexMessages.h"

namespace {

// libjack prints its own complaints (a missing server socket, for one) on stderr; the host program says
// in one line of its own what went wrong instead.
void quietJack(const char*) {}

std::string statusText(jack_status_t status) {
  if (status & JackServerFailed) return "no JACK server is running (or it cannot be reached)";
  if (status & JackVersionError) return "the JACK server speaks another protocol version";
  if (status & JackShmFailure) return "cannot reach the JACK server's shared memory";
  if (status & JackInvalidOption) return "the JACK server refused the client options";
  if (status & JackNameNotUnique) return "the client name is taken";
  if (status & JackInitFailure) return "the JACK client could not start";
  return "the JACK server refused the client";
}

}  // namespace

JackClient::JackClient(VstHost& owner) : host(owner) {
  for (size_t i = 0; i < kMaxEventsIn; ++i) list.events[i] = reinterpret_cast<VstEvent*>(&incoming[i]);
  // Channels beyond our two ports read silence and write to a buffer nobody reads.
  spareIn.assign(kMaxFrames, 0.0f);
  spareOut.assign(kMaxFrames, 0.0f);
}

JackClient::~JackClient() {
  deactivate();
  if (client) jack_client_close(client);
}

std::string JackClient::open(const std::string& name, const std::string& server) {
  jack_set_error_function(quietJack);
  jack_set_info_function(quietJack);
  // Never start a server: a stand-alone host that quietly started one with guessed settings would
  // hide the real problem, and starting can take long.
  int options = JackNoStartServer;
  if (!server.empty()) options |= JackServerName;
  jack_status_t status = jack_status_t();
  client = server.empty() ? jack_client_open(name.c_str(), static_cast<jack_options_t>(options), &status)
                          : jack_client_open(name.c_str(), static_cast<jack_options_t>(options), &status,
                                             server.c_str());
  if (!client) {
    std::string reason = statusText(status);
    if (!server.empty()) reason += " (server name '" + server + "')";
    return reason;
  }
  clientName = jack_get_client_name(client);
  startMicros = jack_get_time();
  sampleRateNow = jack_get_sample_rate(client);
  blockSizeNow = jack_get_buffer_size(client);

  midiIn = jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  midiOut = jack_port_register(client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  audioIn[0] = jack_port_register(client, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  audioIn[1] = jack_port_register(client, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  audioOut[0] = jack_port_register(client, "out_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  audioOut[1] = jack_port_register(client, "out_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  if (!midiIn || !midiOut || !audioIn[0] || !audioIn[1] || !audioOut[0] || !audioOut[1])
    return "the JACK server refused to register the client's ports";

  jack_set_process_callback(client, &JackClient::processEntry, this);
  jack_set_buffer_size_callback(client, &JackClient::bufferSizeEntry, this);
  jack_on_info_shutdown(
      client, [](jack_status_t code, const char* reason, void* self) { shutdownEntry(code, reason, self); },
      this);
  jack_set_port_connect_callback(client, &JackClient::connectEntry, this);
  return {};
}

uint32_t JackClient::sampleRate() const { return sampleRateNow; }

uint32_t JackClient::bufferSize() const { return blockSizeNow; }

std::string JackClient::activate() {
  if (!client) return "no JACK client";
  if (!host.effect()) return "no plug-in loaded";
  host.setProcessingSink(this);
  if (jack_activate(client) != 0) {
    host.setProcessingSink(nullptr);
    return "the JACK server refused to activate the client";
  }
  active = true;
  return {};
}

void JackClient::deactivate() {
  if (!active) return;
  active = false;
  // After a shutdown the server is gone and there is no callback left to stop.
  if (!shutDown) jack_deactivate(client);
  host.setProcessingSink(nullptr);
}

std::string JackClient::fullName(const std::string& port) const {
  for (const char* ours : kPortNames)
    if (port == ours) return clientName + ":" + port;
  return port;
}

std::string JackClient::connect(const std::string& first, const std::string& second) {
  if (!client) return "no JACK client";
  const std::string names[2] = {fullName(first), fullName(second)};
  jack_port_t* ports[2] = {};
  for (int i = 0; i < 2; ++i) {
    ports[i] = jack_port_by_name(client, names[i].c_str());
    if (!ports[i]) return "cannot connect " + names[0] + " to " + names[1] + ": there is no port " + names[i];
  }
  const bool firstIsOutput = (jack_port_flags(ports[0]) & JackPortIsOutput) != 0;
  const bool secondIsOutput = (jack_port_flags(ports[1]) & JackPortIsOutput) != 0;
  if (firstIsOutput == secondIsOutput)
    return "cannot connect " + names[0] + " to " + names[1] + ": both are " +
           (firstIsOutput ? "outputs" : "inputs");
  if (std::strcmp(jack_port_type(ports[0]), jack_port_type(ports[1])) != 0)
    return "cannot connect " + names[0] + " to " + names[1] + ": one carries MIDI, the other audio";
  const std::string& source = firstIsOutput ? names[0] : names[1];
  const std::string& destination = firstIsOutput ? names[1] : names[0];
  const int result = jack_connect(client, source.c_str(), destination.c_str());
  if (result != 0 && result != EEXIST)
    return "the JACK server refused to connect " + source + " to " + destination;
  return {};
}

std::vector<std::string> JackClient::midiOutConnections() const {
  std::vector<std::string> ports;
  if (!client || !midiOut) return ports;
  const char** names = jack_port_get_all_connections(client, midiOut);
  if (!names) return ports;
  for (const char** name = names; *name; ++name) ports.emplace_back(*name);
  jack_free(names);
  return ports;
}

void JackClient::waitForCycles(int count, std::chrono::milliseconds limit) const {
  const uint64_t until = cyclesRun.load(std::memory_order_acquire) + static_cast<uint64_t>(count);
  const auto giveUp = std::chrono::steady_clock::now() + limit;
  while (cyclesRun.load(std::memory_order_acquire) < until && std::chrono::steady_clock::now() < giveUp &&
         !shutDown.load(std::memory_order_acquire))
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool JackClient::queueMidi(const std::vector<uint8_t>& bytes) {
  QueuedMidi message{};
  message.size = static_cast<uint8_t>(std::min<size_t>(bytes.size(), 3));
  std::copy(bytes.begin(), bytes.begin() + message.size, message.bytes);
  return message.size > 0 && queued.Push(message);
}

std::string JackClient::shutdownReason() const {
  if (!shutDown) return {};
  return shutdownText[0] ? shutdownText : "the JACK server shut the client down";
}

int JackClient::processEntry(jack_nframes_t frames, void* self) {
  return static_cast<JackClient*>(self)->process(frames);
}

int JackClient::bufferSizeEntry(jack_nframes_t frames, void* self) {
  static_cast<JackClient*>(self)->changeBufferSize(frames);
  return 0;
}

void JackClient::shutdownEntry(int, const char* reason, void* self) {
  auto* jack = static_cast<JackClient*>(self);
  if (reason) {
    std::strncpy(jack->shutdownText, reason, sizeof jack->shutdownText - 1);
    jack->shutdownText[sizeof jack->shutdownText - 1] = '\0';
  }
  jack->shutDown.store(true, std::memory_order_release);
}

// A thread of JACK's own, which under PipeWire holds its process lock meanwhile: asking the server which
// ports these ids are could wait on the very lock it holds, so the flag is all it sets.
void JackClient::connectEntry(jack_port_id_t, jack_port_id_t, int, void* self) {
  static_cast<JackClient*>(self)->connectionsChanged.store(true, std::memory_order_release);
}

// Processing thread: no allocation, no lock, no printing.
int JackClient::process(jack_nframes_t frames) {
  if (cycleHook) cycleHook(true);
  // Announced before looking at the resize flag, which is set before waiting for this one to clear: one
  // of the two threads always sees the other.
  inCycle.store(true);
  void* midiOutBuffer = jack_port_get_buffer(midiOut, frames);
  jack_midi_clear_buffer(midiOutBuffer);
  float* audioOutBuffers[2] = {static_cast<float*>(jack_port_get_buffer(audioOut[0], frames)),
                               static_cast<float*>(jack_port_get_buffer(audioOut[1], frames))};
  const AEffect* fx = host.effect();
  if (resizing.load() || frames > kMaxFrames || !fx) {
    for (float* out : audioOutBuffers) std::fill(out, out + frames, 0.0f);
  } else {
    float* audioInBuffers[2] = {static_cast<float*>(jack_port_get_buffer(audioIn[0], frames)),
                                static_cast<float*>(jack_port_get_buffer(audioIn[1], frames))};
    const int ins = std::clamp(fx->numInputs, 0, kMaxChannels);
    const int outs = std::clamp(fx->numOutputs, 0, kMaxChannels);
    for (int i = 0; i < ins; ++i) inputs[i] = i < 2 ? audioInBuffers[i] : spareIn.data();
    for (int i = 0; i < outs; ++i) outputs[i] = i < 2 ? audioOutBuffers[i] : spareOut.data();
    // A plug-in with fewer outputs than our ports leaves the others silent.
    for (int i = outs; i < 2; ++i) std::fill(audioOutBuffers[i], audioOutBuffers[i] + frames, 0.0f);

    gatherInput(frames);
    outgoingCount = 0;
    outgoingByteCount = 0;
    host.processReplacingWith(reinterpret_cast<VstEvents*>(&list), inputs, outputs,
                              static_cast<VstInt32>(frames));
    writeOutput(midiOutBuffer, frames);
    portDrops += cycleLosses.port;
    printDrops += cycleLosses.printing;
    sysexRefusals += cycleLosses.sysex;
    cycleLosses = Losses();
  }
  inCycle.store(false);
  cyclesRun.fetch_add(1, std::memory_order_release);
  if (cycleHook) cycleHook(false);
  return 0;
}

void JackClient::gatherInput(jack_nframes_t frames) {
  size_t count = 0;
  auto add = [&](const uint8_t* bytes, size_t size, jack_nframes_t frame) {
    if (count == kMaxEventsIn) return;
    VstMidiEvent& event = incoming[count++];
    event = VstMidiEvent();
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = static_cast<VstInt32>(std::min(frame, frames - 1));
    std::memcpy(event.midiData, bytes, size);
    if ((bytes[0] & 0xF0) == 0xC0) programChanges.fetch_add(1, std::memory_order_relaxed);
  };
  // What the actions queued goes first, at the cycle's start, so the events stay in time order.
  QueuedMidi message;
  while (queued.Pop(message)) add(message.bytes, message.size, 0);

  void* midiInBuffer = jack_port_get_buffer(midiIn, frames);
  const jack_nframes_t events = jack_midi_get_event_count(midiInBuffer);
  for (jack_nframes_t i = 0; i < events; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, midiInBuffer, i) != 0) continue;
    // A VST MIDI event carries at most three bytes: System Exclusive cannot travel this way.
    if (event.size == 0 || event.size > 3 || MidiMessageLength(event.buffer[0]) != event.size) continue;
    add(event.buffer, event.size, event.time);
  }
  list.numEvents = static_cast<VstInt32>(count);
}

// Processing thread, inside the plug-in's processing call: the bytes are copied now, since a System
// Exclusive's are the plug-in's only until its next processing call.
void JackClient::takeEvents(const VstEvents& sentList) {
  for (VstInt32 i = 0; i < sentList.numEvents; ++i) {
    const VstEvent* event = sentList.events[i];
    if (!event) continue;
    if (event->type == kVstMidiType) {
      const auto* bytes =
          reinterpret_cast<const uint8_t*>(reinterpret_cast<const VstMidiEvent*>(event)->midiData);
      // A data byte or a lone F0 starts no message a receiver could take.
      const size_t size = MidiMessageLength(bytes[0]);
      if (size > 0) takeMessage(event->deltaFrames, bytes, size);
    } else if (event->type == kVstSysExType) {
      const auto& sysex = *reinterpret_cast<const VstMidiSysexEvent*>(event);
      const auto* bytes = reinterpret_cast<const uint8_t*>(sysex.sysexDump);
      // Only a whole message goes out: a receiver would read the rest of a broken one as other messages.
      if (SysexDumpProblem(sysex) ||
          vantorine::midi::WholeSysexLength(bytes, static_cast<size_t>(sysex.dumpBytes)) !=
              static_cast<size_t>(sysex.dumpBytes)) {
        ++cycleLosses.sysex;
        continue;
      }
      takeMessage(event->deltaFrames, bytes, static_cast<size_t>(sysex.dumpBytes));
    }
  }
}

void JackClient::takeMessage(VstInt32 frame, const uint8_t* bytes, size_t size) {
  if (outgoingCount == kMaxEventsOut || size > kMaxBytesOut - outgoingByteCount) {
    ++cycleLosses.port;
    return;
  }
  outgoing[outgoingCount++] = {frame, static_cast<uint32_t>(outgoingByteCount), static_cast<uint32_t>(size)};
  std::memcpy(outgoingBytes + outgoingByteCount, bytes, size);
  outgoingByteCount += size;
}

void JackClient::writeOutput(void* port, jack_nframes_t frames) {
  // JACK takes a cycle's events only in time order, and a plug-in may list what it passes through, at
  // earlier frames, after what it sends itself. An insertion sort keeps the plug-in's order among events
  // at one frame, allocates nothing, and costs nothing for lists that are sorted already, as most are.
  for (size_t i = 0; i < outgoingCount; ++i)
    outgoing[i].frame = std::clamp<VstInt32>(outgoing[i].frame, 0, static_cast<VstInt32>(frames) - 1);
  for (size_t i = 1; i < outgoingCount; ++i) {
    const OutgoingMessage moving = outgoing[i];
    size_t j = i;
    for (; j > 0 && outgoing[j - 1].frame > moving.frame; --j) outgoing[j] = outgoing[j - 1];
    outgoing[j] = moving;
  }
  const double cycleSeconds = static_cast<double>(jack_get_time() - startMicros) / 1e6;
  const double rate = std::max<uint32_t>(sampleRateNow, 1);
  for (size_t i = 0; i < outgoingCount; ++i) {
    const OutgoingMessage& message = outgoing[i];
    const uint8_t* bytes = outgoingBytes + message.offset;
    const auto frame = static_cast<jack_nframes_t>(message.frame);
    // JACK writes a message whole or, when the port's buffer has no room left for it, not at all.
    if (jack_midi_event_write(port, frame, bytes, message.size) != 0) {
      ++cycleLosses.port;
      continue;
    }
    handToPrinting(cycleSeconds + frame / rate, frame, bytes, message.size);
  }
}

// The bytes go first and the record after them, so the printing thread finds them all when it sees the
// record; both rings are checked for room before either is written.
void JackClient::handToPrinting(double seconds, uint32_t frame, const uint8_t* bytes, uint32_t size) {
  if (sent.Size() == kPrintedMessages || sentBytes.Size() + size > kPrintedBytes) {
    ++cycleLosses.printing;
    return;
  }
  for (uint32_t i = 0; i < size; ++i) sentBytes.Push(bytes[i]);
  sent.Push({seconds, frame, size});
}

// Printing thread.
bool JackClient::takeSent(SentMessage& message) {
  SentRecord record;
  if (!sent.Pop(record)) return false;
  message.seconds = record.seconds;
  message.frame = record.frame;
  message.bytes.resize(record.size);
  for (uint8_t& byte : message.bytes) sentBytes.Pop(byte);
  return true;
}

// JACK's notification thread, while the server holds processing for the new size.
void JackClient::changeBufferSize(jack_nframes_t frames) {
  if (!host.effect() || frames == blockSizeNow.load()) return;
  resizing.store(true);
  while (inCycle.load()) std::this_thread::yield();
  host.mainsChanged(false);
  host.dispatch(effSetBlockSize, 0, static_cast<VstIntPtr>(frames));
  host.mainsChanged(true);
  blockSizeNow = frames;
  ++resizes;
  resizing.store(false);
}
