// MIDNAM files that are small on disk and costly to read naively, made for the hostile-file tests and for
// names_bench, which measures what each costs. Well-formed XML: only their size and shape are hostile.
#pragma once

#include <string>

namespace namestest {

inline std::string DeviceDocument(const std::string& model, const std::string& setBody,
                                  const std::string& lists) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MIDINameDocument><MasterDeviceNames>"
         "<Manufacturer>Hostile</Manufacturer><Model>" +
         model + "</Model><ChannelNameSet Name=\"All\"><AvailableForChannels>" +
         "<AvailableChannel Channel=\"1\" Available=\"true\"/></AvailableForChannels>" + setBody +
         "</ChannelNameSet>" + lists + "</MasterDeviceNames></MIDINameDocument>\n";
}

// `banks` banks that all use one list of `patches` sounds, named "Sound <n>" with programs n % 128: a few
// bytes a bank, a list's worth of sounds each.
inline std::string SharedListBomb(int banks, int patches) {
  std::string body, list = "<PatchNameList Name=\"L\">";
  for (int bank = 0; bank < banks; ++bank)
    body += "<PatchBank Name=\"B" + std::to_string(bank) + "\"><UsesPatchNameList Name=\"L\"/></PatchBank>";
  for (int patch = 0; patch < patches; ++patch)
    list += "<Patch Name=\"Sound " + std::to_string(patch) + "\" ProgramChange=\"" +
            std::to_string(patch % 128) + "\"/>";
  return DeviceDocument("Bomb", body, list + "</PatchNameList>");
}

// `banks` banks, each its own Bank Select, sharing 128 sounds all called "Same": looking "Same" up finds
// 128 sounds in every bank, each selected differently.
inline std::string SameNameEverywhere(int banks) {
  std::string body, list = "<PatchNameList Name=\"L\">";
  for (int bank = 0; bank < banks; ++bank)
    body += "<PatchBank Name=\"B" + std::to_string(bank) +
            "\"><MIDICommands><ControlChange Control=\"0\" Value=\"" + std::to_string(bank / 128) +
            "\"/><ControlChange Control=\"32\" Value=\"" + std::to_string(bank % 128) +
            "\"/></MIDICommands><UsesPatchNameList Name=\"L\"/></PatchBank>";
  for (int program = 0; program < 128; ++program)
    list += "<Patch Name=\"Same\" ProgramChange=\"" + std::to_string(program) + "\"/>";
  return DeviceDocument("Same", body, list + "</PatchNameList>");
}

// `sets` name sets "S0", "S1", ..., of which only the last has a sound ("Found", program 0), and a device
// mode that assigns each in turn to channel 1, the last one last.
inline std::string ManyNameSets(int sets) {
  std::string assignments, body;
  for (int set = 0; set < sets; ++set) {
    const std::string name = "S" + std::to_string(set);
    assignments += "<ChannelNameSetAssign Channel=\"1\" NameSet=\"" + name + "\"/>";
    body += "<ChannelNameSet Name=\"" + name + "\">" +
            (set + 1 < sets ? ""
                            : "<PatchBank><PatchNameList><Patch Name=\"Found\" ProgramChange=\"0\"/>"
                              "</PatchNameList></PatchBank>") +
            "</ChannelNameSet>";
  }
  return "<?xml version=\"1.0\"?>\n<MIDINameDocument><MasterDeviceNames><Manufacturer>Hostile</Manufacturer>"
         "<Model>Sets</Model><CustomDeviceMode><ChannelNameSetAssignments>" +
         assignments + "</ChannelNameSetAssignments></CustomDeviceMode>" + body +
         "</MasterDeviceNames></MIDINameDocument>\n";
}

// One MasterDeviceNames naming `models` models, "M0" to "M<models - 1>".
inline std::string ManyModels(int models) {
  std::string text =
      "<?xml version=\"1.0\"?>\n<MIDINameDocument><MasterDeviceNames><Manufacturer>Hostile"
      "</Manufacturer>";
  for (int model = 0; model < models; ++model) text += "<Model>M" + std::to_string(model) + "</Model>";
  return text + "</MasterDeviceNames></MIDINameDocument>\n";
}

// A device whose root element has `attributes` attributes, each of another name.
inline std::string ManyAttributes(int attributes) {
  std::string root = "<MIDINameDocument";
  for (int attribute = 0; attribute < attributes; ++attribute)
    root += " a" + std::to_string(attribute) + "=\"\"";
  return "<?xml version=\"1.0\"?>\n" + root +
         "><MasterDeviceNames><Manufacturer>Hostile</Manufacturer><Model>Attributes</Model>"
         "</MasterDeviceNames></MIDINameDocument>\n";
}

}  // namespace namestest
