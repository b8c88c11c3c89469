// MIDNAM files for the tests, all written here: a folder in /tmp that goes with the test, a device file
// with every way the format names and selects sounds, and what a test needs to read standard error.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace namestest {

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/vantorine_names_XXXXXX";
    if (mkdtemp(pattern)) path = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string file(const std::string& name) const { return path + "/" + name; }
  std::string write(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path());
    std::ofstream(file(name), std::ios::binary) << text;
    return file(name);
  }

  std::string path;
};

// The lines written to standard error while `run` ran.
template <typename Run>
std::vector<std::string> StderrLinesOf(Run run) {
  testing::internal::CaptureStderr();
  run();
  std::istringstream text(testing::internal::GetCapturedStderr());
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

inline std::string Midnam(const std::string& body,
                          const std::string& doctype =
                              "<!DOCTYPE MIDINameDocument PUBLIC \"-//MIDI Manufacturers "
                              "Association//DTD MIDINameDocument 1.0//EN\" "
                              "\"http://www.midi.org/dtds/MIDINameDocument10.dtd\">") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype +
         "\n<MIDINameDocument>\n<Author>Tests</Author>\n" + body + "</MIDINameDocument>\n";
}

// An AvailableForChannels element offering the set on `channels` and saying no for the others.
inline std::string AvailableOn(const std::vector<int>& channels) {
  std::string text = "<AvailableForChannels>";
  for (int channel = 1; channel <= 16; ++channel) {
    const bool available = std::find(channels.begin(), channels.end(), channel) != channels.end();
    text += "<AvailableChannel Channel=\"" + std::to_string(channel) + "\" Available=\"" +
            (available ? "true" : "false") + "\"/>";
  }
  return text + "</AvailableForChannels>\n";
}

// Two models in one file. "Tones" is assigned to channels 1 and 2 and available on 1-9 and 11-15, "Kits" to
// channel 10; channel 3's assignment names a set that does not exist, the other channels have none, the
// second mode must be ignored and channel 16 has no sounds. The banks send CC0 and CC32, one of them, none,
// a SysEx, or leave Bank Select to the patches' own commands; one uses a list of the file's, one a list an
// extension file adds.
inline std::string TestworksMidnam() {
  return Midnam(R"(<MasterDeviceNames>
  <Manufacturer>Testworks</Manufacturer>
  <Model>Alpha 1</Model>
  <Model>Alpha 2</Model>
  <CustomDeviceMode Name="Multi">
    <ChannelNameSetAssignments>
      <ChannelNameSetAssign Channel="1" NameSet="Tones"/>
      <ChannelNameSetAssign Channel="2" NameSet="Tones"/>
      <ChannelNameSetAssign Channel="3" NameSet="Nowhere"/>
      <ChannelNameSetAssign Channel="10" NameSet="Kits"/>
    </ChannelNameSetAssignments>
  </CustomDeviceMode>
  <CustomDeviceMode Name="Drums everywhere">
    <ChannelNameSetAssignments><ChannelNameSetAssign Channel="1" NameSet="Kits"/></ChannelNameSetAssignments>
  </CustomDeviceMode>
  <ChannelNameSet Name="Tones">
)" + AvailableOn({1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15}) +
                R"(    <PatchBank Name="Preset A">
      <MIDICommands><ControlChange Control="0" Value="81"/><ControlChange Control="32" Value="0"/></MIDICommands>
      <PatchNameList>
        <Patch Number="A-1" Name="Warm Strings" ProgramChange="0"/>
        <Patch Number="A-2" Name="Glass Pad" ProgramChange="1"/>
      </PatchNameList>
    </PatchBank>
    <PatchBank Name="Preset B">
      <MIDICommands><ControlChange Control="0" Value="82"/></MIDICommands>
      <PatchNameList>
        <Patch Number="B-1" Name="Warm Strings" ProgramChange="0"/>
        <Patch Number="B-2" Name="Bright Brass" ProgramChange="1"/>
      </PatchNameList>
    </PatchBank>
    <PatchBank Name="User">
      <MIDICommands><ControlChange Control="32" Value="5"/></MIDICommands>
      <PatchNameList><Patch Number="U-1" Name="My Lead" ProgramChange="0"/></PatchNameList>
    </PatchBank>
    <PatchBank Name="Shared Bank">
      <MIDICommands><ControlChange Control="0" Value="90"/><ControlChange Control="32" Value="1"/></MIDICommands>
      <UsesPatchNameList Name="Shared Pianos"/>
    </PatchBank>
    <PatchBank Name="Commanded">
      <PatchNameList>
        <Patch Number="C-1" Name="Deep Bass">
          <PatchMIDICommands>
            <ControlChange Control="0" Value="100"/><ControlChange Control="32" Value="3"/>
            <ProgramChange Number="7"/>
          </PatchMIDICommands>
        </Patch>
      </PatchNameList>
    </PatchBank>
    <PatchBank Name="SysEx Bank">
      <MIDICommands><SysEx>F0 7D 01 F7</SysEx></MIDICommands>
      <PatchNameList><Patch Number="S-1" Name="Hidden Choir" ProgramChange="9"/></PatchNameList>
    </PatchBank>
    <PatchBank Name="Card Slot">
      <MIDICommands><ControlChange Control="0" Value="120"/></MIDICommands>
      <UsesPatchNameList Name="Card Sounds"/>
    </PatchBank>
    <PatchBank Name="Plain">
      <PatchNameList><Patch Number="P-1" Name="Plain Organ" ProgramChange="20"/></PatchNameList>
    </PatchBank>
  </ChannelNameSet>
  <ChannelNameSet Name="Kits">
)" + AvailableOn({10}) +
                R"(    <PatchBank Name="Kits">
      <MIDICommands><ControlChange Control="0" Value="86"/><ControlChange Control="32" Value="0"/></MIDICommands>
      <PatchNameList><Patch Number="K-1" Name="Dry Kit" ProgramChange="0"/></PatchNameList>
    </PatchBank>
  </ChannelNameSet>
  <PatchNameList Name="Shared Pianos">
    <Patch Number="1" Name="Concert Grand" ProgramChange="0"/>
    <Patch Number="2" Name="  Upright
          Piano " ProgramChange="1"/>
  </PatchNameList>
</MasterDeviceNames>
)");
}

// The name list a card in Alpha's slot adds.
inline std::string CardMidnam() {
  return Midnam(R"(<ExtendingDeviceNames>
  <Manufacturer>Testworks</Manufacturer>
  <Model>Alpha 1</Model>
  <Model>Alpha 2</Model>
  <PatchNameList Name="Card Sounds"><Patch Number="1" Name="Card Harp" ProgramChange="4"/></PatchNameList>
</ExtendingDeviceNames>
)");
}

// A device of one name set on every channel, with one bank of `patches`.
inline std::string SimpleMidnam(const std::string& manufacturer, const std::string& model,
                                const std::string& patches,
                                const std::string& doctype = "<!DOCTYPE MIDINameDocument>") {
  return Midnam("<MasterDeviceNames><Manufacturer>" + manufacturer + "</Manufacturer><Model>" + model +
                    "</Model><ChannelNameSet Name=\"All\">" +
                    AvailableOn({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}) +
                    "<PatchBank Name=\"Bank\"><PatchNameList>" + patches +
                    "</PatchNameList></PatchBank></ChannelNameSet></MasterDeviceNames>\n",
                doctype);
}

}  // namespace namestest
