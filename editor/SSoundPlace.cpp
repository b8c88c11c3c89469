// A strip's sound and device in the sound band: fitted when given, painted upwards on black.
#include "editor/SSoundPlace.h"

#include "editor/PanelColours.h"
#include "editor/PanelSoundNames.h"
#include "file/Latin1Text.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SGlobals.h"
#include "gui/SEvent.h"
#include "gui/SInput.h"
#include "gui/widgets/STextFit.h"

using tovo::gui::SRect;
using tovo::gui::context::SDrawFont;
using tovo::gui::context::statdata;

using namespace panelcolour;

namespace {

constexpr int kTextAngle = 90;
constexpr int kSoundPoints = 8;
constexpr int kDevicePoints = 7;
// The sound's line takes the left half of the column, the device's the right: read upwards, the sound
// comes first. A few pixels at each end keep the texts off the band's rounded corners.
constexpr int kLineWidth = SSoundPlace::kWidth / 2;
constexpr int kEndRoom = 3;
constexpr const char* kChooseHint = "choose a sound";

SDrawFont* SoundFont() {
  return statdata.FindFont(kSoundPoints, true, false);
}
SDrawFont* DeviceFont() {
  return statdata.FindFont(kDevicePoints, false, false);
}

// The text in the font's characters, whole when it fits the room, else shortened visibly.
std::string Fitted(const std::string& utf8, SDrawFont* font, int room) {
  return tovo::gui::FitToWidth(tovo::file::Utf8ToLatin1(utf8), font, room);
}

}  // namespace

SSoundPlace::SSoundPlace(tovo::gui::SGlobals* owner, tovo::gui::SControl* parentControl, const char* name,
                         int x, int y, int height)
    : SControl(owner, parentControl, static_cast<unsigned>(owner->NextId()), name, 0, x, y, kWidth, height,
               static_cast<int>(parentControl->GetWindow()), false) {}

void SSoundPlace::SetSound(const vantorine::editor::StripSound& given) {
  const int room = clientRect.bottom - clientRect.top - 2 * kEndRoom;
  hint = given.sound.empty();
  sound = Fitted(hint ? kChooseHint : given.sound, hint ? DeviceFont() : SoundFont(), room);
  device = given.device.empty() ? std::string() : Fitted(given.device, DeviceFont(), room);
  Refresh();
}

void SSoundPlace::Draw(const SRect&) {
  if (!drawing) return;
  const int height = clientRect.bottom - clientRect.top;
  drawing->SetBrush(statdata.FindBrush(Slot(kBlack)));
  drawing->FillRect(0, 0, kWidth, height);
  const SRect soundLine{0, kEndRoom, kLineWidth, height - kEndRoom};
  const SRect deviceLine{kLineWidth, kEndRoom, kWidth, height - kEndRoom};
  drawing->SetFont(hint ? DeviceFont() : SoundFont());
  drawing->SetTextColour(Slot(hint ? kInner : kWhite), false);
  drawing->DrawRotatedText(sound.c_str(), soundLine, kTextAngle, tovo::gui::context::kAlignBottom, {0, 0});
  drawing->SetFont(DeviceFont());
  drawing->SetTextColour(Slot(kGrey), false);
  drawing->DrawRotatedText(device.c_str(), deviceLine, kTextAngle, tovo::gui::context::kAlignBottom, {0, 0});
}

void SSoundPlace::MouseStateChanged(bool*, int index) {
  if (index != tovo::gui::context::kMouseLeftDown) return;
  // The browser the press opens takes the release: the press must not stay pending here.
  if (input) input->Reset();
  SendEvent(tovo::gui::kEventValueChanged, tovo::gui::kKindValue, 1, 0.0f, nullptr, this, nullptr);
}
