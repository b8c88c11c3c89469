// Writes the bundle's description (manifest.ttl and the plug-in's own file) from the port table and the
// product's identity, at build time, so what hosts read always matches the binary beside it.
//   vantorine-lv2-ttl BUNDLE_DIR BINARY_FILE_NAME
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "lv2/LV2Ports.h"
#include "plugin/ProductInfo.h"

namespace {

using vantorine::lv2::kPorts;
using vantorine::lv2::PortInfo;
using vantorine::lv2::PortKind;

constexpr const char* kPluginFile = "vantorine.ttl";

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
  return text;
}

std::string PortClasses(PortKind kind) {
  switch (kind) {
    case PortKind::kMidiInput:
      return "lv2:InputPort, atom:AtomPort";
    case PortKind::kMidiOutput:
    case PortKind::kNotifyOutput:
      return "lv2:OutputPort, atom:AtomPort";
    case PortKind::kAudioInput:
      return "lv2:InputPort, lv2:AudioPort";
    case PortKind::kAudioOutput:
      return "lv2:OutputPort, lv2:AudioPort";
    case PortKind::kToggleInput:
    case PortKind::kIntegerInput:
      return "lv2:InputPort, lv2:ControlPort";
  }
  return "";
}

// What a port says beyond its classes, index, symbol and name.
std::string PortDetails(const PortInfo& port) {
  const std::string indent = "\t\t";
  std::string details;
  switch (port.kind) {
    case PortKind::kMidiInput:
      // The host's control input: it carries the MIDI the engine passes through and switches presets by.
      details += indent + "atom:bufferType atom:Sequence ;\n" + indent + "atom:supports midi:MidiEvent ;\n" +
                 indent + "lv2:designation lv2:control ;\n";
      break;
    case PortKind::kMidiOutput:
      details += indent + "atom:bufferType atom:Sequence ;\n" + indent + "atom:supports midi:MidiEvent ;\n" +
                 indent + "rsz:minimumSize " + std::to_string(vantorine::lv2::kMidiOutMinimumBytes) + " ;\n";
      break;
    case PortKind::kNotifyOutput:
      details += indent + "atom:bufferType atom:Sequence ;\n" + indent + "lv2:designation lv2:control ;\n";
      break;
    case PortKind::kAudioInput:
    case PortKind::kAudioOutput:
      break;
    case PortKind::kToggleInput:
    case PortKind::kIntegerInput:
      details += indent + (port.kind == PortKind::kToggleInput ? "lv2:portProperty lv2:toggled"
                                                               : "lv2:portProperty lv2:integer");
      if (port.trigger) details += ", pprops:trigger";
      details += " ;\n";
      details += indent + "lv2:default " + Number(port.fallback) + " ;\n";
      details += indent + "lv2:minimum " + Number(port.minimum) + " ;\n";
      details += indent + "lv2:maximum " + Number(port.maximum) + " ;\n";
      break;
  }
  return details;
}

std::string PluginDescription() {
  std::string text = kPrefixes;
  text += std::string("<") + vantorine::lv2::kPluginUri + ">\n";
  text += "\ta lv2:Plugin, lv2:MIDIPlugin, doap:Project ;\n";
  text += std::string("\tdoap:name \"") + vantorine::kProductName + "\" ;\n";
  text += std::string("\tdoap:maintainer [ foaf:name \"") + vantorine::kVendorName + "\" ] ;\n";
  // 106 is release 1.06: an even minor version, as LV2 wants for releases.
  text += "\tlv2:minorVersion " + std::to_string(vantorine::kVendorVersion % 100) + " ;\n";
  text += "\tlv2:microVersion 0 ;\n";
  text += "\tlv2:requiredFeature urid:map ;\n";
  text += "\tlv2:optionalFeature lv2:hardRTCapable ;\n";
  text += "\tlv2:extensionData state:interface ;\n";
  text += std::string("\tui:ui <") + vantorine::lv2::kUiUri + "> ;\n";
  text += "\tlv2:port";
  for (size_t i = 0; i < sizeof(kPorts) / sizeof(kPorts[0]); ++i) {
    const PortInfo& port = kPorts[i];
    text += i == 0 ? " [\n" : " , [\n";
    text += "\t\ta " + PortClasses(port.kind) + " ;\n";
    text += "\t\tlv2:index " + std::to_string(port.index) + " ;\n";
    text += std::string("\t\tlv2:symbol \"") + port.symbol + "\" ;\n";
    text += std::string("\t\tlv2:name \"") + port.name + "\" ;\n";
    text += PortDetails(port);
    text += "\t]";
  }
  text += " .\n\n";
  // The editor works on the plug-in object itself, so it needs the instance; idle() is its event loop.
  text += std::string("<") + vantorine::lv2::kUiUri + ">\n";
  text += "\ta ui:X11UI ;\n";
  text += "\tlv2:requiredFeature ui:parent, <http://lv2plug.in/ns/ext/instance-access> ;\n";
  text += "\tlv2:optionalFeature ui:resize, ui:idleInterface ;\n";
  text += "\tlv2:extensionData ui:idleInterface .\n";
  return text;
}

std::string Manifest(const std::string& binary) {
  std::string text =
      "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
      "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
      "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n";
  text += std::string("<") + vantorine::lv2::kPluginUri + ">\n";
  text += "\ta lv2:Plugin ;\n";
  text += "\tlv2:binary <" + binary + "> ;\n";
  text += std::string("\trdfs:seeAlso <") + kPluginFile + "> .\n\n";
  // One binary holds the plug-in and its UI: the UI works on the plug-in object in the same process.
  text += std::string("<") + vantorine::lv2::kUiUri + ">\n";
  text += "\ta ui:X11UI ;\n";
  text += "\tui:binary <" + binary + "> ;\n";
  text += std::string("\trdfs:seeAlso <") + kPluginFile + "> .\n";
  return text;
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (file) return true;
  std::cerr << "vantorine-lv2-ttl: cannot write " << path << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vantorine-lv2-ttl BUNDLE_DIR BINARY_FILE_NAME\n";
    return 2;
  }
  const std::string bundle = argv[1];
  const bool written = WriteFile(bundle + "/manifest.ttl", Manifest(argv[2])) &&
                       WriteFile(bundle + "/" + kPluginFile, PluginDescription());
  return written ? 0 : 1;
}
