// The host program as a JACK client, checked through a real JACK server: what reaches a port connected
// to midi_out (resends, the start-up send of a loaded state, notes passed through at their frames, resends
// for a port connected late or a SIGUSR1) and the reason printed for each send, the state file in both its
// forms across a SIGTERM and a second run, buffer-size changes, and failures that end with one line and a
// non-zero exit instead of a hang. What the plug-in should send is asked of the plug-in itself, loaded in
// this process without JACK, so the tests hold whatever the presets contain.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "bank/BankFile.h"
#include "host/FxCapture.h"
#include "host/MidiText.h"
#include "host/VstHost.h"
#include "midi/MidiMessageLength.h"
#include "tests/jack/JackTestSupport.h"
#include "tests/support/GsResetPreset.h"
#include "tests/support/LargestSendPreset.h"

namespace {

using jacktest::ArrivedEvent;
using jacktest::Bytes;
using jacktest::HostProcess;
using jacktest::TempFolder;
using jacktest::TestClient;
using jacktest::TestServer;

struct Setting {
  VstInt32 program;
  std::vector<std::pair<VstInt32, float>> parameters;
};

// What the plug-in, set up this way, answers to a resend, and its state as a bank file.
struct Reference {
  std::vector<Bytes> resend;
  std::vector<uint8_t> bank;
  std::vector<uint8_t> stateFile;
  VstInt32 uniqueId = 0;
};

Reference referenceFor(const Setting& setting) {
  Reference reference;
  VstHost host;
  EXPECT_TRUE(host.load(VANTORINE_PLUGIN_PATH)) << host.error();
  host.setProgram(setting.program);
  for (const auto& parameter : setting.parameters) host.setParameter(parameter.first, parameter.second);
  reference.uniqueId = host.effect()->uniqueID;
  reference.bank = host.getChunk(false);
  reference.stateFile = FxFile::encode(CaptureFx(host, FxKind::Bank));
  host.mainsChanged(true);
  host.clearEvents();
  host.resend();
  host.processBlock();
  for (const ReceivedEvent& event : host.takeEvents())
    reference.resend.emplace_back(event.bytes(), event.bytes() + MidiMessageLength(event.bytes()[0]));
  return reference;
}

// The same setting as host program actions, which count presets from 1.
std::vector<std::string> actionsFor(const Setting& setting) {
  std::vector<std::string> args = {"--program", std::to_string(setting.program + 1)};
  for (const auto& parameter : setting.parameters) {
    char value[32];
    std::snprintf(value, sizeof value, "%d=%.9g", parameter.first, static_cast<double>(parameter.second));
    args.insert(args.end(), {"--param", value});
  }
  return args;
}

std::vector<Bytes> bytesOf(const std::vector<ArrivedEvent>& events) {
  std::vector<Bytes> bytes;
  for (const ArrivedEvent& event : events) bytes.push_back(event.bytes);
  return bytes;
}

std::vector<uint8_t> readBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ("", FxFile::readFile(path, bytes));
  return bytes;
}

size_t lineCount(const std::string& text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

size_t timesIn(const std::string& text, const std::string& part) {
  size_t times = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++times;
  return times;
}

// The lines that say why a send happened, in order.
std::vector<std::string> reasonLines(const std::string& out) {
  std::vector<std::string> lines;
  for (size_t at = out.find("send of preset"); at != std::string::npos;
       at = out.find("send of preset", at + 1))
    if (at == 0 || out[at - 1] == '\n') lines.push_back(out.substr(at, out.find('\n', at) - at));
  return lines;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Strip 1 on channel 3 with a program, both bank selects and a volume, so every kind of message shows.
const Setting kStripOne{2, {{8, 2 / 16.f}, {24, 5 / 128.f}, {40, 1 / 128.f}, {56, 9 / 128.f}, {88, 100 / 128.f}}};

class JackHost : public testing::Test {
 protected:
  static void SetUpTestSuite() { server = new TestServer(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(server->running()) << "jackd -d dummy did not start:\n" << server->whyNotRunning();
  }

  std::vector<std::string> hostArgs(const std::vector<std::string>& options,
                                    const std::vector<std::string>& actions = {},
                                    const char* plugin = VANTORINE_PLUGIN_PATH) {
    std::vector<std::string> args = {"--jack", "--quiet"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(plugin);
    args.insert(args.end(), actions.begin(), actions.end());
    return args;
  }

  static TestServer* server;
  TempFolder folder;
};

TestServer* JackHost::server = nullptr;

TEST_F(JackHost, ResendSendsStripOnesMessagesOnMidiOutInOneCycle) {
  const Reference reference = referenceFor(kStripOne);
  ASSERT_GE(reference.resend.size(), 4u) << "program, two bank selects and volume";
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(recorder.ok());

  std::vector<std::string> actions = actionsFor(kStripOne);
  actions.push_back("--resend");
  HostProcess host(hostArgs({"--connect", "midi_out=rec:in", "--run", "1"}, actions), server->name());
  const std::vector<ArrivedEvent> arrived = recorder.waitForEvents(reference.resend.size());
  EXPECT_EQ(0, host.wait()) << host.err();

  EXPECT_EQ(reference.resend, bytesOf(arrived)) << host.out();
  for (const ArrivedEvent& event : arrived) EXPECT_EQ(arrived[0].cycleStart, event.cycleStart);
  // Each message printed with its bytes as they went out.
  for (const Bytes& message : reference.resend)
    EXPECT_NE(host.out().find(": " + MidiText::hex(message.data(), message.size()) + "  "), std::string::npos)
        << host.out();
}

TEST_F(JackHost, StateWithInitSendSendsOnceAboutTheInitDelayAfterStart) {
  Setting setting = kStripOne;
  setting.parameters.push_back({3, 1.f});          // Init-Send on
  setting.parameters.push_back({4, 1.f / 999.f});  // one second
  const Reference reference = referenceFor(setting);
  const std::string state = folder.file("rig.fxb");
  ASSERT_EQ("", FxFile::writeFile(state, reference.stateFile));
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(recorder.ok());

  const jack_nframes_t launched = recorder.frameTime();
  HostProcess host(hostArgs({"--state", state, "--connect", "midi_out=rec:in", "--run", "2.2"}),
                   server->name());
  EXPECT_EQ(0, host.wait()) << host.err();
  const std::vector<ArrivedEvent> arrived = recorder.events();

  EXPECT_EQ(reference.resend, bytesOf(arrived)) << "the strip's messages, once\n" << host.out();
  ASSERT_FALSE(arrived.empty());
  const double afterLaunch = (arrived[0].cycleStart + arrived[0].offset - launched) /
                             static_cast<double>(TestServer::kSampleRate);
  EXPECT_GE(afterLaunch, 0.95);
  EXPECT_LT(afterLaunch, 2.0);
  // The host's own clock for the same message: seconds since it started.
  const std::string out = host.out();
  const size_t line = out.rfind('\n', out.find("midi_out frame"));
  ASSERT_NE(out.find("midi_out frame"), std::string::npos) << out;
  EXPECT_NEAR(1.0, std::atof(out.c_str() + line + 1), 0.35) << out;
}

TEST_F(JackHost, ThruPassesNotesAtTheFramesTheyCameAt) {
  TestClient sender("snd", server->name());
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(sender.ok() && recorder.ok());
  // A fresh instance drops what comes in during its first cycles, while it ends the notes it never
  // passed; thru goes on after those.
  HostProcess host(hostArgs({"--connect", "snd:out=midi_in", "--connect", "midi_out=rec:in"},
                            {"--sleep", "100", "--param", "1=1"}),
                   server->name());
  ASSERT_TRUE(host.waitForOutput("parameter 1 set")) << host.out() << host.err();

  const std::vector<std::pair<jack_nframes_t, Bytes>> notes = {
      {0, {0x90, 60, 100}}, {37, {0x91, 64, 80}}, {200, {0x80, 60, 0}}, {255, {0xE0, 0, 64}}};
  const jack_nframes_t sentCycle = sender.sendInOneCycle(notes);
  const std::vector<ArrivedEvent> arrived = recorder.waitForEvents(notes.size());
  host.signal(SIGTERM);
  EXPECT_EQ(0, host.wait()) << host.err();

  ASSERT_EQ(notes.size(), arrived.size()) << host.out();
  for (size_t i = 0; i < notes.size(); ++i) {
    EXPECT_EQ(notes[i].second, arrived[i].bytes);
    EXPECT_EQ(notes[i].first, arrived[i].offset) << "message " << i;
    EXPECT_EQ(arrived[0].cycleStart, arrived[i].cycleStart) << "all in one cycle";
  }
  // However the server orders the clients, whole cycles apart.
  EXPECT_EQ(0u, (arrived[0].cycleStart - sentCycle) % TestServer::kPeriod);
}

// The probe plug-in lists a controller at the cycle's last frame before GS Reset and a note at frame 0 and
// a SysEx halfway (its program 1), then SysEx no host may read, one of 64 KiB that no port's buffer holds
// and a controller at frame 1 (its program 2): what arrives is in frame order, the plug-in's order kept at
// one frame, each SysEx one whole event, and nothing of what could not go out.
TEST_F(JackHost, SysexGoesOutWholeAndEventsInFrameOrder) {
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(recorder.ok());
  HostProcess host(hostArgs({"--connect", "midi_out=rec:in", "--run", "1"},
                            {"--program", "2", "--sleep", "200", "--program", "3"}, PROBE_PLUGIN_PATH),
                   server->name());
  const std::vector<ArrivedEvent> arrived = recorder.waitForEvents(5);
  EXPECT_EQ(0, host.wait()) << host.err();

  const Bytes gsReset = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  const std::vector<std::pair<jack_nframes_t, Bytes>> expected = {
      {0, gsReset},
      {0, {0x90, 60, 100}},
      {TestServer::kPeriod / 2, {0xF0, 0x7D, 1, 2, 0xF7}},
      {TestServer::kPeriod - 1, {0xB0, 7, 100}},
      {1, {0xB0, 10, 32}}};
  ASSERT_EQ(expected.size(), arrived.size()) << host.out();
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].second, arrived[i].bytes) << "message " << i;
    EXPECT_EQ(expected[i].first, arrived[i].offset) << "message " << i;
  }
  EXPECT_EQ(arrived[0].cycleStart, arrived[3].cycleStart) << "program 1's messages in one cycle";
  const std::string out = host.out();
  EXPECT_NE(out.find("midi_out frame 0: SysEx F0 41 10 42 12 40 00 7F 00 41 F7 (GS Reset)\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("midi_out frame 255: B0 07 64  ch 1 Control Change 7 = 100\n"), std::string::npos)
      << out;
  EXPECT_NE(out.find("\n1 MIDI message(s) could not be sent"), std::string::npos) << out;
  EXPECT_NE(out.find("\n3 SysEx event(s) from the plug-in refused"), std::string::npos) << out;
}

// A preset that resets a GS module, loaded as a bank chunk and resent: the reset at once, the strip's
// messages 100 ms of frames after the reset is through the MIDI line, inside a cycle.
TEST_F(JackHost, SysexPresetSendsItsStripAfterTheSettleTime) {
  const std::string chunk = folder.file("gs_reset_bank.chunk");
  ASSERT_EQ("", FxFile::writeFile(chunk, testsupport::GsResetBankChunk()));
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(recorder.ok());
  HostProcess host(
      hostArgs({"--connect", "midi_out=rec:in", "--run", "1"}, {"--load-chunk", chunk, "--resend"}),
      server->name());
  const std::vector<Bytes>& expected = testsupport::GsResetPresetMessages();
  const std::vector<ArrivedEvent> arrived = recorder.waitForEvents(expected.size());
  EXPECT_EQ(0, host.wait()) << host.err();

  ASSERT_EQ(expected, bytesOf(arrived)) << host.out();
  const jack_nframes_t reset = arrived[0].cycleStart + arrived[0].offset;
  const jack_nframes_t settle = testsupport::GsResetToStripFrames(TestServer::kSampleRate);
  for (size_t i = 1; i < arrived.size(); ++i)
    EXPECT_EQ(reset + settle, arrived[i].cycleStart + arrived[i].offset) << "message " << i;
  EXPECT_NE(host.out().find(": SysEx F0 41 10 42 12 40 00 7F 00 41 F7 (GS Reset)"), std::string::npos)
      << host.out();
}

// The largest send a preset can make takes more than one of the plug-in's blocks: on the port, every
// message whole and in order.
TEST_F(JackHost, TheLargestSendArrivesWholeAndInOrder) {
  const std::string chunk = folder.file("largest_bank.chunk");
  ASSERT_EQ("", FxFile::writeFile(chunk, testsupport::LargestSendBankChunk()));
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(recorder.ok());
  HostProcess host(
      hostArgs({"--connect", "midi_out=rec:in", "--run", "1"}, {"--load-chunk", chunk, "--resend"}),
      server->name());
  const std::vector<Bytes> expected = testsupport::LargestSendMessages();
  EXPECT_EQ(expected, bytesOf(recorder.waitForEvents(expected.size())));
  EXPECT_EQ(0, host.wait()) << host.err();
  EXPECT_EQ(std::string::npos, host.out().find("could not be sent")) << host.out();
}

// The printing thread names the sound of a Program Change whose strip has a device, asking the plug-in
// for its current preset in turn with the actions.
TEST_F(JackHost, AProgramChangeOfAStripWithADeviceIsPrintedWithItsSound) {
  const std::string text = folder.file("drums.toml");
  std::ofstream(text) << "[[preset]]\nnumber = 1\n[[preset.strip]]\nchannel = 10\ndevice = \"General MIDI\"\n"
                         "program = 40\n";
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(recorder.ok());
  HostProcess host(
      hostArgs({"--connect", "midi_out=rec:in", "--run", "1"}, {"--load-text", text, "--resend"}),
      server->name());
  EXPECT_EQ(std::vector<Bytes>{Bytes({0xC9, 40})}, bytesOf(recorder.waitForEvents(1)));
  EXPECT_EQ(0, host.wait()) << host.err();
  EXPECT_NE(host.out().find(": C9 28  ch 10 Program Change 40  (Brush, General MIDI)\n"), std::string::npos)
      << host.out();
}

TEST_F(JackHost, SigtermSavesTheStateAndTheNextRunLoadsIt) {
  const Setting setting{5, {{24, 33 / 128.f}, {40, 7 / 128.f}, {1, 1.f}}};
  const Reference reference = referenceFor(setting);
  const std::string state = folder.file("state.fxb");

  HostProcess first(hostArgs({"--state", state}, actionsFor(setting)), server->name());
  ASSERT_TRUE(first.waitForOutput("parameter 1 set")) << first.out() << first.err();
  first.signal(SIGTERM);
  EXPECT_EQ(0, first.wait()) << first.err();
  EXPECT_NE(first.out().find("stopping on signal 15"), std::string::npos) << first.out();

  FxContent saved;
  ASSERT_EQ("", FxFile::decode(readBytes(state), FxKind::Bank, reference.uniqueId, saved));
  EXPECT_EQ(reference.bank, saved.chunk);
  EXPECT_EQ(setting.program, saved.currentProgram);
  EXPECT_FALSE(std::ifstream(state + ".tmp").good()) << "no temporary file left";

  const std::string copy = folder.file("copy.fxb");
  HostProcess second(hostArgs({"--state", state, "--run", "0.2"}, {"--save-fxb", copy}), server->name());
  EXPECT_EQ(0, second.wait()) << second.err();
  EXPECT_NE(second.out().find("state loaded from " + state + " (preset 6)"), std::string::npos)
      << second.out();
  FxContent loaded;
  ASSERT_EQ("", FxFile::decode(readBytes(copy), FxKind::Bank, reference.uniqueId, loaded));
  EXPECT_EQ(reference.bank, loaded.chunk);
  EXPECT_EQ(setting.program, loaded.currentProgram);
}

// A rig kept in the bank's text form, as a user writes it: loaded, sent at start-up after its init delay,
// each send printed after why it happened, and kept as text that vantorine-bank reads back to the bank the
// plug-in holds; a run that changes nothing leaves the file alone.
TEST_F(JackHost, TextStateSendsWithReasonsAndIsKeptAsText) {
  const std::string state = folder.file("rig.toml");
  std::ofstream(state)
      << "[options]\ninit_send = true\ninit_delay = 1\nchange_send = true\npreset_switching = true\n"
         "[[preset]]\nnumber = 1\nname = \"Piano\"\n[[preset.strip]]\nchannel = 1\nprogram = 0\n"
         "volume = 100\n[[preset]]\nnumber = 2\nname = \"Strings\"\n[[preset.strip]]\nchannel = 2\n"
         "program = 48\n[[preset]]\nnumber = 3\nname = \"Drums\"\n[[preset.strip]]\nchannel = 10\n"
         "program = 25\n";
  // The plug-in holding that bank after the same selections and edit.
  std::vector<uint8_t> expectedBank;
  {
    auto bank = std::make_unique<vantorine::bank::PresetBank>();
    std::vector<std::string> errors;
    ASSERT_TRUE(vantorine::bank::BankFile::load(state, *bank, errors)) << errors.front();
    VstHost plugin;
    ASSERT_TRUE(plugin.load(VANTORINE_PLUGIN_PATH)) << plugin.error();
    ASSERT_EQ(1, plugin.setChunk(vantorine::bank::BankBytes(*bank), false));
    plugin.setProgram(2);
    plugin.setParameter(24, 0.5f);
    expectedBank = plugin.getChunk(false);
  }
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(recorder.ok());

  // After the start-up send: a resend, a first selection (the plug-in takes it as the end of restoring the
  // state and sends nothing for it), a preset change, an incoming Program Change, then an edit.
  const std::vector<std::string> actions = {"--sleep", "1500", "--resend", "--program", "3", "--sleep", "200",
                                            "--program", "2", "--sleep", "200", "--midi", "C0 02", "--sleep",
                                            "200", "--param", "24=0.5"};
  std::vector<std::string> args = {"--jack", "--state", state, "--connect", "midi_out=rec:in", "--run", "3",
                                   VANTORINE_PLUGIN_PATH};
  args.insert(args.end(), actions.begin(), actions.end());
  HostProcess first(args, server->name());
  const std::vector<ArrivedEvent> arrived = recorder.waitForEvents(6);
  EXPECT_EQ(0, first.wait()) << first.err();
  const std::vector<Bytes> sent = {{0xC0, 0},      {0xB0, 7, 100}, {0xC0, 0},
                                   {0xB0, 7, 100}, {0xC1, 48},     {0xC9, 25}};
  EXPECT_EQ(sent, bytesOf(arrived)) << first.out();

  const std::string out = first.out();
  EXPECT_NE(
      out.find("state loaded from " + state + " (preset 1)\nbank " + state +
               ": 3 preset(s) in use, preset 1 selected\n    1  Piano  (1 strip)\n    2  Strings  (1 strip)\n"
               "    3  Drums  (1 strip)\n"),
      std::string::npos)
      << out;
  EXPECT_EQ(std::string::npos, out.find("effect name")) << "the long listing needs --list";
  // The main loop prints what it does (the state saved, an action taken) while the audio thread sends, so
  // its lines may come between a reason and its send: only the reasons and the sends are kept.
  std::string sends;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("send of preset ", 0) == 0 || line.find(" s  midi_out frame") != std::string::npos)
      sends += line + "\n";
  size_t at = 0;
  for (const char* reason :
       {"send of preset 1 (Piano): start-up, after the init delay of 1 s\n",
        "send of preset 1 (Piano): resend\n", "send of preset 2 (Strings): preset change\n",
        "send of preset 3 (Drums): incoming Program Change\n"}) {
    at = sends.find(reason, at);
    ASSERT_NE(at, std::string::npos) << reason << " in order in\n" << out;
    const size_t next = sends.find('\n', at) + 1;
    EXPECT_EQ(next + 8, sends.find(" s  midi_out frame", next)) << reason << "followed by its send in\n" << out;
  }
  EXPECT_EQ(4u, timesIn(out, "send of preset")) << out;

  const std::string text = jacktest::slurpFile(state);
  EXPECT_NE(text.find("\ncurrent = 3\n"), std::string::npos) << text;
  const std::string chunk = folder.file("back.chunk");
  HostProcess tool(HostProcess::OtherProgram{}, {VANTORINE_BANK_PATH, "from-text", state, "-o", chunk},
                   server->name());
  ASSERT_EQ(0, tool.wait()) << tool.err();
  EXPECT_EQ(expectedBank, readBytes(chunk)) << text;

  HostProcess second(hostArgs({"--state", state, "--run", "0.3"}), server->name());
  EXPECT_EQ(0, second.wait()) << second.err();
  EXPECT_NE(second.out().find("state loaded from " + state + " (preset 3)"), std::string::npos)
      << second.out();
  EXPECT_EQ(std::string::npos, second.out().find("state saved")) << second.out();
  EXPECT_EQ(text, jacktest::slurpFile(state));
}

// A burst of changes, such as a dial turned in the editor makes, is saved once, soon after it ends.
TEST_F(JackHost, AChangeBurstIsSavedOnceSoonAfterItEnds) {
  Setting setting{3, {}};
  for (int step = 1; step <= 20; ++step) setting.parameters.push_back({24, step / 128.f});
  const Reference reference = referenceFor(setting);
  std::vector<std::string> actions = {"--program", "4"};
  for (const std::string& word : actionsFor(setting))
    if (word.find('=') != std::string::npos)
      actions.insert(actions.end(), {"--param", word, "--sleep", "50"});
  const std::string state = folder.file("live.fxb");
  HostProcess host(hostArgs({"--state", state}, actions), server->name());
  ASSERT_TRUE(host.waitForOutput("state saved to", 4.0)) << host.out() << host.err();
  FxContent saved;
  ASSERT_EQ("", FxFile::decode(readBytes(state), FxKind::Bank, reference.uniqueId, saved));
  EXPECT_EQ(reference.bank, saved.chunk) << "saved while running, before any signal";
  host.signal(SIGINT);
  EXPECT_EQ(0, host.wait()) << host.err();
  EXPECT_EQ(1u, timesIn(host.out(), "state saved to")) << host.out();
}

// A module switched on late, or an interface plugged in after the start, is connected to midi_out by another
// program: the preset goes to it as a resend sends it, once for a burst of connections, and again at a
// SIGUSR1, each send after its reason. The connection made at the start, one to another of our ports and a
// disconnection send nothing; nor, with the option off, does a new connection.
TEST_F(JackHost, ANewConnectionToMidiOutOrASigusr1ResendsThePreset) {
  Setting setting = kStripOne;
  setting.parameters.push_back({3, 1.f});          // Init-Send on
  setting.parameters.push_back({4, 1.f / 999.f});  // one second
  const Reference reference = referenceFor(setting);
  const std::vector<Bytes>& preset = reference.resend;
  auto times = [&](size_t count) {
    std::vector<Bytes> sends;
    for (size_t i = 0; i < count; ++i) sends.insert(sends.end(), preset.begin(), preset.end());
    return sends;
  };
  const std::string state = folder.file("rig.fxb");
  ASSERT_EQ("", FxFile::writeFile(state, reference.stateFile));
  TestClient early("early", server->name());
  TestClient late("late", server->name());
  TestClient keys("keys", server->name());
  ASSERT_TRUE(early.ok() && late.ok() && keys.ok());

  HostProcess host(hostArgs({"--jack-name", "appear", "--state", state, "--connect", "midi_out=early:in"}),
                   server->name());
  EXPECT_EQ(preset, bytesOf(early.waitForEvents(preset.size()))) << host.out() << host.err();
  ASSERT_TRUE(host.waitForOutput(": start-up, after the init delay of 1 s\n")) << host.out();
  ASSERT_TRUE(keys.connect("keys:out", "appear:midi_in"));
  ASSERT_TRUE(early.disconnect("appear:midi_out", "early:in"));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  // A new module and the one switched off and on again, connected at once.
  ASSERT_TRUE(late.connect("appear:midi_out", "late:in"));
  ASSERT_TRUE(late.connect("appear:midi_out", "early:in"));
  EXPECT_EQ(preset, bytesOf(late.waitForEvents(preset.size()))) << host.out();
  EXPECT_EQ(times(2), bytesOf(early.waitForEvents(2 * preset.size()))) << host.out();
  ASSERT_TRUE(host.waitForOutput("resend requested: new connection")) << host.out();
  host.signal(SIGUSR1);
  EXPECT_EQ(times(2), bytesOf(late.waitForEvents(2 * preset.size()))) << host.out();
  ASSERT_TRUE(host.waitForOutput("resend requested: SIGUSR1\n")) << host.out();
  host.signal(SIGTERM);
  EXPECT_EQ(0, host.wait()) << host.err();

  EXPECT_EQ(times(3), bytesOf(early.events()));
  const std::string out = host.out();
  const std::vector<std::string> reasons = reasonLines(out);
  ASSERT_EQ(3u, reasons.size()) << out;
  EXPECT_TRUE(endsWith(reasons[0], ": start-up, after the init delay of 1 s")) << out;
  EXPECT_NE(reasons[1].find(": new connection to midi_out ("), std::string::npos) << out;
  EXPECT_NE(reasons[1].find("late:in"), std::string::npos) << out;
  EXPECT_NE(reasons[1].find("early:in"), std::string::npos) << out;
  EXPECT_TRUE(endsWith(reasons[2], ": SIGUSR1")) << out;

  HostProcess unmoved(hostArgs({"--jack-name", "appear", "--state", state, "--no-resend-on-connect"}),
                      server->name());
  ASSERT_TRUE(unmoved.waitForOutput(": start-up, after the init delay of 1 s\n")) << unmoved.out();
  TestClient lone("lone", server->name());
  ASSERT_TRUE(lone.ok() && lone.connect("appear:midi_out", "lone:in"));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  unmoved.signal(SIGUSR1);
  EXPECT_EQ(preset, bytesOf(lone.waitForEvents(preset.size()))) << unmoved.out();
  ASSERT_TRUE(unmoved.waitForOutput("resend requested: SIGUSR1\n")) << unmoved.out();
  unmoved.signal(SIGTERM);
  EXPECT_EQ(0, unmoved.wait()) << unmoved.err();
  EXPECT_EQ(preset, bytesOf(lone.events())) << "the SIGUSR1's send only\n" << unmoved.out();
  EXPECT_EQ(2u, reasonLines(unmoved.out()).size()) << unmoved.out();
}

TEST_F(JackHost, BufferSizeChangeSuspendsAndResumesThePlugin) {
  const Reference reference = referenceFor(kStripOne);
  TestClient recorder("rec", server->name());
  ASSERT_TRUE(recorder.ok());
  std::vector<std::string> actions = actionsFor(kStripOne);
  actions.insert(actions.end(), {"--sleep", "800", "--resend"});
  HostProcess host(hostArgs({"--connect", "midi_out=rec:in", "--run", "1.5"}, actions), server->name());
  ASSERT_TRUE(host.waitForOutput("connected")) << host.err();
  ASSERT_TRUE(recorder.setBufferSize(128));
  EXPECT_TRUE(host.waitForOutput("buffer size now 128 frames")) << host.out();
  const std::vector<ArrivedEvent> arrived = recorder.waitForEvents(reference.resend.size());
  EXPECT_EQ(0, host.wait()) << host.err();
  EXPECT_TRUE(recorder.setBufferSize(TestServer::kPeriod));
  EXPECT_EQ(reference.resend, bytesOf(arrived)) << "the plug-in still sends after the change\n" << host.out();
}

TEST_F(JackHost, FailuresEndQuicklyWithOneLineAndAnExitCode) {
  struct Case {
    const char* what;
    std::vector<std::string> options;
    const char* mentions;
  };
  const std::string damaged = folder.file("damaged.fxb");
  std::ofstream(damaged) << "not a bank";
  const std::vector<Case> cases = {
      {"no server", {"--jack-server", "vtrn-none-" + std::to_string(getpid())}, "no JACK server"},
      {"a port that is not there", {"--connect", "midi_out=nosuch:port"}, "nosuch:port"},
      {"two outputs", {"--connect", "midi_out=out_1"}, "both are outputs"},
      {"a damaged state file", {"--state", damaged}, "damaged.fxb"},
      {"a state file that is a folder", {"--state", folder.file("")}, "state file"},
  };
  for (const Case& c : cases) {
    HostProcess host(hostArgs(c.options, {"--resend"}), server->name());
    const int code = host.wait(10.0);
    EXPECT_LT(host.secondsRunning(), 5.0) << c.what;
    EXPECT_EQ(1, code) << c.what;
    const std::string err = host.err();
    // The plug-in's own start-up notes (no X display here) may come first; ours is the last line.
    const size_t last = err.rfind("vantorine-host: ");
    ASSERT_NE(last, std::string::npos) << c.what << ": " << err;
    EXPECT_EQ(1u, lineCount(err.substr(last))) << c.what << ": " << err;
    EXPECT_NE(err.find(c.mentions, last), std::string::npos) << c.what << ": " << err;
  }
  EXPECT_EQ("not a bank", jacktest::slurpFile(damaged)) << "a refused state file is left as it was";
}

TEST(JackServerGone, SavesTheStateAndExitsWithAMessage) {
  auto server = std::make_unique<TestServer>();
  ASSERT_TRUE(server->running());
  TempFolder folder;
  const std::string state = folder.file("kept.fxb");
  const Setting setting{0, {{24, 40 / 128.f}}};
  const Reference reference = referenceFor(setting);
  std::vector<std::string> args = {"--jack", "--quiet", "--state", state, VANTORINE_PLUGIN_PATH};
  for (const std::string& action : actionsFor(setting)) args.push_back(action);
  HostProcess host(args, server->name());
  ASSERT_TRUE(host.waitForOutput("parameter 24 set")) << host.err();
  server.reset();
  EXPECT_EQ(1, host.wait(5.0));
  EXPECT_NE(host.err().find("the JACK server went away"), std::string::npos) << host.err();
  FxContent saved;
  ASSERT_EQ("", FxFile::decode(readBytes(state), FxKind::Bank, reference.uniqueId, saved));
  EXPECT_EQ(reference.bank, saved.chunk);
}

}  // namespace
