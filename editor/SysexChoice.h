// The SysEx init as the panel offers it: none, one of the four named mode resets, or any other list
// ("Custom"); the dialog's text is told in editor/SysexEntry.h. While the user steps through the choices, a
// custom list is kept aside and stays among them, so stepping back to Custom brings it back; it is given up
// only when the user leaves the preset with another choice showing, or the list changes elsewhere (the host,
// a bank).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantorine::editor {

enum SysexChoiceIndex { kSysexNone = 0, kSysexGm, kSysexGm2, kSysexGs, kSysexXg, kSysexCustom };
constexpr int kSysexChoiceCount = 6;
// The dial's texts, by choice.
extern const char* const kSysexChoiceNames[kSysexChoiceCount];

// The choice a list stands for: a named one only when it is that message alone.
int ChoiceOfList(const std::vector<uint8_t>& list);

class SysexChoiceMemory {
 public:
  // The current preset and its list, at every refresh: a list other than the one the panel knows came from
  // elsewhere and replaces what was kept.
  void Follow(int preset, const std::vector<uint8_t>& list);
  // The list the preset gets for a choice the user stepped to; for Custom the kept one.
  const std::vector<uint8_t>& Choose(int choice);
  // A list the user typed: the preset's from now on, and kept when it is a custom one.
  void Typed(const std::vector<uint8_t>& list);

  int Choice() const { return ChoiceOfList(shown); }
  // The highest choice the dial may step to: Custom only while a custom list is kept.
  int LastChoice() const { return custom.empty() ? kSysexXg : kSysexCustom; }

 private:
  int preset = -1;
  std::vector<uint8_t> shown;
  std::vector<uint8_t> custom;
};

}  // namespace vantorine::editor
