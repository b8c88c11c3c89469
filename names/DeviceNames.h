// Sound names for strips: what a sound module calls the sound a Program Change and Bank Select pick, from
// the MIDNAM device files (the MIDI Manufacturers Association's XML format for patch names) that Linux
// users already have through Ardour, and General MIDI built in. A strip shows "Warm Strings" instead of
// "program 49, bank 81/0", and a bank's text may say `sound = "Warm Strings"` for a device.
//
// Everything here reads files, so never call it from a real-time thread. The list of models is read on
// first need (every file is parsed once to check it and find its models); a device's names are read when
// that device is first used, and both are kept for the catalog's life. All calls are thread-safe. A file
// or a device that would cost more than names/Limits.h lets one is left out, told on standard error.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorine::names {

// The device that is always there, whatever files the machine has: the 128 General MIDI sounds on every
// channel but 10, and the GS drum sets on channel 10.
constexpr const char* kGeneralMidi = "General MIDI";

// A device a chooser can offer.
struct ModelInfo {
  std::string name;          // the model as its file names it ("JV-1080"); the name lookups take
  std::string manufacturer;  // as its file writes it
  std::string file;          // the MIDNAM file that defines it; empty for General MIDI
};

// A Bank Select as a strip sends it and as a device's file selects a bank: each byte 0-127, or absent
// when not sent.
struct BankSelect {
  std::optional<uint8_t> msb;  // Control Change 0
  std::optional<uint8_t> lsb;  // Control Change 32
};

// A sound of a device and what selects it.
struct Sound {
  std::string name;
  std::string bank;  // the bank's name in the file ("Preset A"), to tell same-named sounds apart
  uint8_t program = 0;
  BankSelect bankSelect;
  // The file selects this bank with a Program Change or System Exclusive before the sound's own
  // Program Change, which a strip cannot send: the sound is shown, but the strip alone cannot reach it.
  bool bankNeedsOtherMessages = false;
};

// The sound a strip selects, see NameCatalog::soundAt.
struct SelectedSound {
  Sound sound;
  // The strip sends no Bank Select byte that this sound's bank needs, so the device stays on whichever
  // bank it was in: the sound is the first whose bank the strip's bytes do not contradict, a good guess.
  bool bankGuessed = false;
};

// The sounds of a device's name set and the channels that use it; a drum channel's set is one of its own.
struct ChannelSounds {
  std::vector<int> channels;  // 1-16, in order
  std::vector<Sound> sounds;  // in the file's order, every bank's
};

// What looking a sound up by its name found, see NameCatalog::findSound.
struct SoundSearch {
  // Sounds whose name is the one asked for (ignoring ASCII case), each way of selecting one once, in the
  // file's order. More than one: the name is ambiguous, and each one's bank tells them apart.
  std::vector<Sound> matches;
  // When nothing matched: up to five names of the device's that come closest (those containing what was
  // asked for, then those a few typing mistakes away), best first, to suggest in the error.
  std::vector<std::string> closest;
};

// The devices found in a list of folders, and General MIDI.
class NameCatalog {
 public:
  // The catalog over DefaultMidnamFolders() (see names/MidnamFolders.h: VANTORINE_MIDNAM_PATH, our
  // folder, Ardour's), made on first call and kept for the process.
  static NameCatalog& shared();

  // Reads nothing yet: the folders are scanned on first need.
  explicit NameCatalog(std::vector<std::string> folders);
  ~NameCatalog();
  NameCatalog(const NameCatalog&) = delete;
  NameCatalog& operator=(const NameCatalog&) = delete;

  // Models for a chooser: General MIDI, then the files' models in folder order and by file name. A
  // non-empty filter keeps those whose name or manufacturer contains it, ignoring ASCII case. A model
  // (manufacturer and name) defined by more than one file is listed once, from the first.
  std::vector<ModelInfo> models(std::string_view filter = {}) const;
  // The model called `device`, ignoring ASCII case: its model name, or its manufacturer and model name
  // with a space between ("Roland JV-1080"); failing those, the one model whose name or manufacturer and
  // name it is with spaces and punctuation ignored too ("jv1080", "Roland JV1080"), as WordFilter folds.
  std::optional<ModelInfo> findModel(std::string_view device) const;
  // Up to `count` model names that come closest to `device`, best first, by its model name or its
  // manufacturer and model name (see ClosestNames in names/NameText.h), for a message about a device
  // that is not here; empty when none is close.
  std::vector<std::string> closestModels(std::string_view device, size_t count) const;

  // The sounds `device` offers on `channel` (1-16), in its file's order: every bank's, for a chooser.
  std::vector<Sound> sounds(std::string_view device, int channel) const;
  // Every sound `device` offers on some channel, one entry per name set, ordered by the first channel
  // that uses it.
  std::vector<ChannelSounds> soundsByChannels(std::string_view device) const;
  // The sound a strip selects on `device` with Program Change `program` (0-127) and `bank` on `channel`
  // (1-16). A bank byte the file's bank does not send may be anything (the device ignores it); one it
  // sends must be equal, or be absent (see SelectedSound::bankGuessed). Nothing if the device, channel or
  // program is unknown or no bank matches.
  std::optional<SelectedSound> soundAt(std::string_view device, int channel, int program,
                                       BankSelect bank) const;
  // The sounds of `device` called `name`, on `channel` (1-16) or on any channel when 0; nothing matched
  // and nothing close for an unknown device.
  SoundSearch findSound(std::string_view device, std::string_view name, int channel = 0) const;

 private:
  class Index;
  std::unique_ptr<Index> index;
};

}  // namespace vantorine::names
