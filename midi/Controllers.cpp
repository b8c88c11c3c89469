// Controller names from the General MIDI recommendations, for show, the host's print and the editor.
#include "midi/Controllers.h"

namespace vantorine::midi {

const char* ControllerMeaning(int number) {
  switch (number) {
    case 1:
      return "Modulation";
    case 2:
      return "Breath Controller";
    case 4:
      return "Foot Controller";
    case 5:
      return "Portamento Time";
    case 8:
      return "Balance";
    case 10:
      return "Pan";
    case 11:
      return "Expression";
    case 64:
      return "Sustain Pedal";
    case 65:
      return "Portamento";
    case 66:
      return "Sostenuto";
    case 67:
      return "Soft Pedal";
    case 71:
      return "Resonance";
    case 72:
      return "Release Time";
    case 73:
      return "Attack Time";
    case 74:
      return "Brightness";
    case 75:
      return "Decay Time";
    case 76:
      return "Vibrato Rate";
    case 77:
      return "Vibrato Depth";
    case 78:
      return "Vibrato Delay";
    case 84:
      return "Portamento Control";
    case 91:
      return "Reverb";
    case 92:
      return "Tremolo";
    case 93:
      return "Chorus";
    case 94:
      return "Detune";
    case 95:
      return "Phaser";
    default:
      return nullptr;
  }
}

const char* ControllerKey(int number) {
  switch (number) {
    case kPan:
      return "pan";
    case kReverbSend:
      return "reverb";
    case kChorusSend:
      return "chorus";
    case kExpression:
      return "expression";
    default:
      return nullptr;
  }
}

}  // namespace vantorine::midi
