// The sound browser's controls, its lists as the boxes filter them, its keys, and where it opens.
#include "editor/SSoundBrowser.h"

#include <algorithm>

#include "editor/PanelColours.h"
#include "file/Latin1Text.h"
#include "gui/SDisplay.h"
#include "gui/SEvent.h"
#include "gui/SKeyMap.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SGlobals.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SLabel.h"
#include "gui/widgets/SListBox.h"
#include "gui/widgets/SSearchBox.h"
#include "names/NameText.h"
#include "names/ShownNames.h"
#include "plugin/ProductInfo.h"

using tovo::gui::SListBox;
using tovo::gui::SRect;
using tovo::gui::SSearchBox;
using vantorine::names::DeviceLines;
using vantorine::names::SoundCells;
using vantorine::names::SoundChoices;
namespace names = vantorine::names;

using namespace panelcolour;

namespace {

constexpr int kMargin = 10;
constexpr int kBoxLeft = 60;
constexpr int kBoxHeight = 20;
constexpr int kDeviceTop = 36;
constexpr int kDeviceListTop = 60;
constexpr int kDeviceLines = 5;
constexpr int kSoundTop = kDeviceListTop + kDeviceLines * SListBox::kLineHeight + 8;
constexpr int kSoundListTop = kSoundTop + 24;
constexpr int kSoundLines = 14;
// Bank, MSB/LSB, program, name.
const std::vector<int> kSoundColumns = {0, 116, 170, 200};
const std::vector<int> kDeviceColumns = {0};
// Room between the editor and the browser on the screen.
constexpr int kGap = 8;

std::string Latin1(const std::string& utf8) {
  return tovo::file::Utf8ToLatin1(utf8);
}

bool SameSound(const names::Sound& a, const names::Sound& b) {
  return a.name == b.name && a.bank == b.bank && a.program == b.program &&
         a.bankSelect.msb == b.bankSelect.msb && a.bankSelect.lsb == b.bankSelect.lsb;
}

}  // namespace

SSoundBrowser::SSoundBrowser(tovo::gui::SWindow* parentControl, Owner given)
    : SOptionsDialog(parentControl, {kWidth, kHeight}, true), owner(std::move(given)) {
  EnableEventHandler(tovo::gui::kEventTextKey);
  EnableEventHandler(tovo::gui::kEventShortcut);
  const int width = clientRect.right - clientRect.left;
  const SListBox::Colours colours{Slot(kBlack), Slot(kWhite), Slot(kOrange), Slot(kOrange), Slot(kBlack)};
  auto makeBox = [&](const char* suffix, int top) {
    const tovo::data::datastring<64, char> name(128, "%s - %s", GetLabel().Get(), suffix);
    auto* box = new SSearchBox(globals, this, globals->NextId(), name.Get(), 0, kBoxLeft, top,
                               width - kBoxLeft - kMargin, kBoxHeight, static_cast<int>(GetWindow()), false);
    box->SetColours(Slot(kBlack), Slot(kBlack), Slot(kBody), 0, 0, Slot(kWhite), Slot(kWhite));
    box->SetHoverColours(Slot(kBody), Slot(kBody));
    box->SetFont(GetTextFont());
    box->SetMaxLength(40);
    for (const int type : {tovo::gui::kEventTextKey, tovo::gui::kEventControlChanged, tovo::gui::kEventShortcut})
      box->AddEventListener(this, type);
    box->Show();
    Add(box);
    return box;
  };
  auto makeList = [&](const char* suffix, int top, int lines, const std::vector<int>& columns) {
    const tovo::data::datastring<64, char> name(128, "%s - %s", GetLabel().Get(), suffix);
    auto* list = new SListBox(globals, this, name.Get(), kMargin, top, width - 2 * kMargin,
                              lines * SListBox::kLineHeight, columns, GetTextFont(), colours);
    list->AddEventListener(this, tovo::gui::kEventValueChanged);
    list->AddEventListener(this, tovo::gui::kEventControlChanged);
    list->Show();
    Add(list);
    return list;
  };
  deviceBox = makeBox("Device filter", kDeviceTop);
  deviceList = makeList("Devices", kDeviceListTop, kDeviceLines, kDeviceColumns);
  soundBox = makeBox("Sound filter", kSoundTop);
  soundList = makeList("Sounds", kSoundListTop, kSoundLines, kSoundColumns);
  deviceBox->SetTooltip(GetTooltip(), "Device:\ntype part of its name\nor maker", 1);
  soundBox->SetTooltip(GetTooltip(), "Sound:\ntype words of its name;\nUp/Down: audition,\nReturn: choose", 1);
}

void SSoundBrowser::Open(const Strip& given, tovo::gui::SControl* editor) {
  strip = given;
  auditioned = false;
  auditionedIndex = -1;
  auditionedDevice.clear();
  settingUp = true;
  models = names::NameCatalog::shared().models();
  device.clear();
  deviceBox->SetText("");
  soundBox->SetText("");
  FilterDevices();
  for (int i = 0; i < deviceList->LineCount(); ++i)
    if (!strip.device.empty() && names::EqualIgnoringCase(deviceLines[static_cast<size_t>(i)].device, strip.device))
      deviceList->Select(i);
  ShowDevice();
  SelectStripSound();
  settingUp = false;

  const std::string named = strip.label.empty() ? "" : " (" + strip.label + ")";
  const std::string title = std::string(vantorine::kProductName) + ": strip " + std::to_string(strip.number) + named;
  ShowDialog(Latin1(title).c_str(), true);
  SetTitleText(title.c_str());
  ShowCount();
  PlaceBeside(editor);
  FocusBox(strip.device.empty() ? deviceBox : soundBox);
}

// Right of the editor where the screen has room, else left of it, else as far right as it fits; the tops
// level where they can be.
void SSoundBrowser::PlaceBeside(tovo::gui::SControl* editor) {
  if (!editor) return;
  tovo::gui::SDisplay monitors;
  monitors.AllMonitorRects();
  const SRect screen = monitors.Bounds();
  tovo::gui::SPoint origin{0, 0};
  editor->GetClient2Screen(origin);
  const SRect client = editor->GetClientRect();
  const int editorRight = origin.x + client.right - client.left;
  const int width = windowRect.right - windowRect.left, height = windowRect.bottom - windowRect.top;
  int x = editorRight + kGap;
  if (x + width > screen.right) x = origin.x - kGap - width;
  if (x < screen.left) x = std::max(screen.left, screen.right - width);
  const int y = std::clamp(origin.y, screen.top, std::max(screen.top, screen.bottom - height));
  SetPosition(x, y);
}

void SSoundBrowser::FilterDevices() {
  deviceLines = DeviceLines(models, deviceBox->GetLine(0).Get());
  std::vector<SListBox::Line> lines;
  for (const vantorine::names::DeviceLine& line : deviceLines)
    lines.push_back({{Latin1(line.text)}, line.device.empty()});
  deviceList->SetLines(std::move(lines));
}

void SSoundBrowser::ShowDevice() {
  const int selected = deviceList->Selected();
  const std::string chosen = selected >= 0 ? deviceLines[static_cast<size_t>(selected)].device : std::string();
  if (chosen == device && sounds) return;
  device = chosen;
  sounds = std::make_unique<SoundChoices>(device.empty() ? std::vector<names::Sound>()
                                                         : names::NameCatalog::shared().sounds(device, strip.channel));
  // Another device's first sound is not one the user moved to.
  const bool wasSettingUp = settingUp;
  settingUp = true;
  FilterSounds();
  settingUp = wasSettingUp;
}

void SSoundBrowser::FilterSounds() {
  shownSounds = sounds ? sounds->Find(soundBox->GetLine(0).Get()) : std::vector<size_t>();
  std::vector<SListBox::Line> lines;
  lines.reserve(shownSounds.size());
  for (const size_t index : shownSounds) {
    std::vector<std::string> cells = SoundCells((*sounds)[index]);
    for (std::string& cell : cells) cell = Latin1(cell);
    lines.push_back({std::move(cells), false});
  }
  soundList->SetLines(std::move(lines));
  ShowCount();
}

void SSoundBrowser::SelectStripSound() {
  if (!strip.sound || !sounds || !names::EqualIgnoringCase(device, strip.device)) return;
  for (size_t i = 0; i < shownSounds.size(); ++i)
    if (SameSound((*sounds)[shownSounds[i]], strip.sound->sound)) {
      soundList->Select(static_cast<int>(i));
      return;
    }
}

void SSoundBrowser::ShowCount() {
  if (!IsShown()) return;
  std::string text = device.empty() ? "Choose a device" : names::ShownName(device);
  if (sounds)
    text += ": " + std::to_string(shownSounds.size()) + " of " + std::to_string(sounds->size()) + " sounds";
  titleLabel->SetLabel(Latin1(text).c_str());
}

std::optional<SSoundBrowser::Choice> SSoundBrowser::SelectedChoice() const {
  const int selected = soundList->Selected();
  if (!sounds || selected < 0 || static_cast<size_t>(selected) >= shownSounds.size()) return std::nullopt;
  return Choice{device, (*sounds)[shownSounds[static_cast<size_t>(selected)]]};
}

void SSoundBrowser::OnSoundSelected() {
  if (settingUp) return;
  const std::optional<Choice> choice = SelectedChoice();
  if (!choice) return;
  const int index = static_cast<int>(shownSounds[static_cast<size_t>(soundList->Selected())]);
  if (index == auditionedIndex && device == auditionedDevice) return;
  auditionedIndex = index;
  auditionedDevice = device;
  auditioned = true;
  if (owner.audition) owner.audition(*choice);
}

void SSoundBrowser::FocusBox(SSearchBox* box) {
  focused = box;
  box->Focus(true);
}

void SSoundBrowser::Finish(bool chosen) {
  if (!IsShown()) return;
  if (chosen) {
    const std::optional<Choice> choice = SelectedChoice();
    if (!choice) return;
    if (owner.choose) owner.choose(*choice);
  } else if (auditioned && owner.restore) {
    owner.restore();
  }
  RestoreDisabled();
  CloseDialog();
}

void SSoundBrowser::ParseEvent(tovo::gui::SEvent* event) {
  using namespace tovo::gui;
  if (!event || !IsShown()) return;
  SControl* sender = event->sender;
  if (event->type == kEventValueChanged && IsDialogButton(sender)) {
    Finish(ResultOf(sender) == 1);
    ForgetPress(sender);
  } else if (event->type == kEventValueChanged && sender == deviceList) {
    ShowDevice();
  } else if (event->type == kEventValueChanged && sender == soundList) {
    OnSoundSelected();
  } else if (event->type == kEventControlChanged && sender == deviceList) {
    FocusBox(soundBox);
  } else if (event->type == kEventControlChanged && sender == soundList) {
    Finish(true);
  } else if (event->type == kEventControlChanged && sender == deviceBox) {
    FilterDevices();
  } else if (event->type == kEventControlChanged && sender == soundBox) {
    FilterSounds();
  } else if (event->type == kEventShortcut && (sender == deviceBox || sender == soundBox)) {
    SListBox* list = sender == deviceBox ? deviceList : soundList;
    switch (event->value) {
      case kKeyUp: list->Step(-1); break;
      case kKeyDown: list->Step(1); break;
      case kKeyPrior: list->Step(-list->VisibleLines()); break;
      case kKeyNext: list->Step(list->VisibleLines()); break;
      case kKeyTab: FocusBox(sender == deviceBox ? soundBox : deviceBox); break;
      default: break;
    }
  } else if (event->type == kEventTextKey && (sender == deviceBox || sender == soundBox)) {
    const bool confirmed = (event->value & kTextReturn) != 0;
    if (!confirmed)
      Finish(false);
    else if (sender == deviceBox && deviceList->Selected() >= 0)
      FocusBox(soundBox);
    else if (sender == soundBox)
      Finish(true);
  }
  // A press on a list leaves the typing where it was.
  if (event->type == kEventValueChanged && (sender == deviceList || sender == soundList) && focused)
    focused->Focus(true);
}

void SSoundBrowser::Draw(const SRect& rect) {
  SOptionsDialog::Draw(rect);
  if (!drawing) return;
  drawing->SetFont(GetTextFont());
  drawing->SetTextColour(Slot(kWhite), false);
  const int textTop = (kBoxHeight - GetTextFont()->Ascent()) / 2 - 1;
  drawing->DrawText("Device", kMargin, kDeviceTop + textTop);
  drawing->DrawText("Sound", kMargin, kSoundTop + textTop);
}
