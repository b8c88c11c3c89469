// The panel's side of the sound browser: a click on a strip's place in the sound band opens it for that
// strip; the sounds moved to in it are auditioned on the strip's channel without being stored, a cancel
// sends the strip's own sound again, and a choice writes device, banks and program into the strip.
#include "editor/SPluginPanel.h"

#include "editor/SSoundBrowser.h"
#include "editor/SSoundPlace.h"
#include "gui/SInput.h"
#include "gui/widgets/SToolTip.h"
#include "preset/PresetBytes.h"
#include "preset/StoredValue.h"
#include "plugin/VSTPlugin.h"

namespace {

// The strip as it would select the sound.
void Select(VSTPluginStrip& strip, const vantorine::names::Sound& sound) {
  strip.program = static_cast<uint8_t>(sound.program + 1);
  strip.bankMsb = vantorine::preset::StoredValue(sound.bankSelect.msb);
  strip.bankLsb = vantorine::preset::StoredValue(sound.bankSelect.lsb);
}

}  // namespace

void SPluginPanel::OpenSoundBrowser(int r) {
  if (r < 0 || r >= kRows || !rows[r].shown) return;
  if (tovo::gui::capture == this) MouseReleaseCapture();
  // The browser takes over the mouse: the press that opened it must not stay pending here.
  if (input) input->Reset();
  tooltip->Close();
  if (!soundBrowser) {
    SSoundBrowser::Owner owner;
    owner.audition = [this](const SSoundBrowser::Choice& choice) {
      VSTPluginStrip strip = Preset().strips[browsedRow];
      Select(strip, choice.sound);
      plugin->AuditionStrip(strip);
    };
    owner.restore = [this] { plugin->AuditionStrip(Preset().strips[browsedRow]); };
    owner.choose = [this](const SSoundBrowser::Choice& choice) {
      const int row = browsedRow;
      plugin->EditCurrentPreset([&](VSTPluginProgram& preset, VSTPluginProgramExtension& extension) {
        Select(preset.strips[row], choice.sound);
        StoreDevice(extension, row, choice.device.c_str());
      });
      RefreshControls(-1);
      PresetChangedDirectly();
    };
    soundBrowser = new SSoundBrowser(this, std::move(owner));
  }
  browsedRow = r;
  const VSTPluginStrip& strip = Preset().strips[r];
  SSoundBrowser::Strip shown;
  shown.number = rows[r].column + 1;
  char stripLabel[kLabelSize];
  LoadLabel(strip, stripLabel);
  shown.label = stripLabel;
  shown.device = LoadDevice(plugin->CurrentExtension(), r);
  shown.channel = strip.channel >= 1 && strip.channel <= 16 ? strip.channel : 1;
  if (!shown.device.empty() && strip.program > 0)
    shown.sound = vantorine::names::NameCatalog::shared().soundAt(
        shown.device, shown.channel, strip.program - 1,
        {vantorine::preset::SentValue(strip.bankMsb), vantorine::preset::SentValue(strip.bankLsb)});
  soundBrowser->Open(shown, this);
}

