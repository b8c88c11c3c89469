// The sound browser of a strip: a window beside the editor in which the user finds a device among those
// installed (grouped by maker, filtered as one types) and one of its sounds (every bank's, filtered by
// words as one types), with the keys: Up, Down, Page Up and Page Down move in the list of the box being
// typed in, Tab goes to the other box, Return in the device box goes on to the sounds and in the sound
// box chooses, Escape cancels. Each sound moved to is handed to the owner to audition; the owner learns
// the choice, or that the browser was cancelled after an audition, and stores or restores the strip.
// Device files are read here, on the editor's thread, when a device is first shown.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/SOptionsDialog.h"
#include "names/ChooserLists.h"

namespace tovo::gui {
class SListBox;
class SSearchBox;
}  // namespace tovo::gui

class SSoundBrowser : public tovo::gui::SOptionsDialog {
 public:
  static constexpr int kWidth = 440;
  static constexpr int kHeight = 400;

  // A sound of a device, as a strip would select it.
  struct Choice {
    std::string device;
    vantorine::names::Sound sound;
  };
  struct Owner {
    std::function<void(const Choice&)> audition;
    std::function<void(const Choice&)> choose;
    // Cancelled after at least one audition: the strip's own sound should sound again.
    std::function<void()> restore;
  };
  // What the strip has now, to start from.
  struct Strip {
    int number = 1;          // 1-16, for the title
    std::string label;       // the strip's label
    std::string device;      // empty for none
    int channel = 1;         // 1-16
    std::optional<vantorine::names::SelectedSound> sound;
  };

  SSoundBrowser(tovo::gui::SWindow* parent, Owner owner);

  // Opens the browser for a strip, beside `editor` on the screen, with the sound box focused when the
  // strip has a device (else the device box).
  void Open(const Strip& strip, tovo::gui::SControl* editor);

  void ParseEvent(tovo::gui::SEvent* event) override;
  void Draw(const tovo::gui::SRect& rect) override;

  // For tests and the owner: the lists and boxes as shown.
  tovo::gui::SListBox* DeviceList() const { return deviceList; }
  tovo::gui::SListBox* SoundList() const { return soundList; }
  tovo::gui::SSearchBox* DeviceBox() const { return deviceBox; }
  tovo::gui::SSearchBox* SoundBox() const { return soundBox; }

 private:
  void PlaceBeside(tovo::gui::SControl* editor);
  void FilterDevices();
  // Shows the sounds of the device selected in the device list, read on its first showing.
  void ShowDevice();
  void FilterSounds();
  void SelectStripSound();
  void OnSoundSelected();
  void Finish(bool chosen);
  void FocusBox(tovo::gui::SSearchBox* box);
  std::optional<Choice> SelectedChoice() const;
  void ShowCount();

  Owner owner;
  Strip strip;
  tovo::gui::SSearchBox* deviceBox = nullptr;
  tovo::gui::SSearchBox* soundBox = nullptr;
  tovo::gui::SListBox* deviceList = nullptr;
  tovo::gui::SListBox* soundList = nullptr;
  tovo::gui::SSearchBox* focused = nullptr;
  std::vector<vantorine::names::ModelInfo> models;
  std::vector<vantorine::names::DeviceLine> deviceLines;
  std::string device;  // the device whose sounds are listed
  std::unique_ptr<vantorine::names::SoundChoices> sounds;
  std::vector<size_t> shownSounds;
  // While the lists are filled by the browser itself, their selections are not auditions.
  bool settingUp = false;
  bool auditioned = false;
  int auditionedIndex = -1;
  std::string auditionedDevice;
};
