// Files made to hurt a reader: each is refused or left out with one line on standard error, nothing is
// fetched (a listener on the loopback stands in for the network), nothing expanded or read past the size
// limit, and the good files beside them are read as usual. Then mutated copies of a good file, which must
// never crash the catalog or hand out a sound a strip could not send.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "names/DeviceNames.h"
#include "tests/names/MidnamFixtures.h"

namespace {

using namespace vantorine::names;
using namespace namestest;

// A TCP listener on 127.0.0.1 that counts as "the network": a reader that fetched anything would connect.
class LoopbackListener {
 public:
  LoopbackListener() {
    socketFd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(socketFd, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(socketFd, 8) == 0 &&
        getsockname(socketFd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      port = ntohs(address.sin_port);
  }
  ~LoopbackListener() { close(socketFd); }
  std::string url(const std::string& file) const {
    return "http://127.0.0.1:" + std::to_string(port) + "/" + file;
  }
  bool wasConnected() const {
    const int connection = accept(socketFd, nullptr, nullptr);
    if (connection >= 0) close(connection);
    return connection >= 0;
  }

  int socketFd = -1;
  int port = 0;
};

std::string LaughingEntities() {
  std::string declarations = "<!ENTITY lol0 \"lol\">\n";
  for (int n = 1; n <= 9; ++n) {
    declarations += "<!ENTITY lol" + std::to_string(n) + " \"";
    for (int copy = 0; copy < 10; ++copy) declarations += "&lol" + std::to_string(n - 1) + ";";
    declarations += "\">\n";
  }
  return declarations;
}

std::string DeepNesting(int depth) {
  std::string nest;
  for (int n = 0; n < depth; ++n) nest += "<Deep>";
  for (int n = 0; n < depth; ++n) nest += "</Deep>";
  return nest;
}

TEST(HostileFiles, EachIsRefusedWithOneLineAndNothingIsFetchedOrExpanded) {
  TempFolder folder;
  LoopbackListener network;
  ASSERT_NE(network.port, 0);
  const std::string patch = R"(<Patch Number="1" Name="Fine" ProgramChange="0"/>)";
  const auto device = [&](const std::string& model, const std::string& doctype,
                          const std::string& manufacturer = "X") {
    return SimpleMidnam(manufacturer, model, patch, doctype);
  };
  // A DTD that would refuse the files naming it, were it ever read.
  folder.write("evil.dtd", "<!ENTITY stolen \"Stolen\">\n");
  // Good files whose DOCTYPE names DTDs on the network and on disk: none is read.
  folder.write("midnam/good-http-dtd.midnam",
               device("Http Dtd", "<!DOCTYPE MIDINameDocument SYSTEM \"" +
                                      network.url("MIDINameDocument10.dtd") + "\">"));
  folder.write(
      "midnam/good-file-dtd.midnam",
      device("File Dtd", "<!DOCTYPE MIDINameDocument SYSTEM \"file://" + folder.file("evil.dtd") + "\">"));
  folder.write("midnam/good-passwd-dtd.midnam",
               device("Passwd Dtd", "<!DOCTYPE MIDINameDocument SYSTEM \"file:///etc/passwd\">"));

  const std::vector<std::string> bad = {
      folder.write("midnam/billion-laughs.midnam",
                   device("Laughs", "<!DOCTYPE MIDINameDocument [\n" + LaughingEntities() + "]>", "&lol9;")),
      folder.write(
          "midnam/entity-passwd.midnam",
          device("Passwd", "<!DOCTYPE MIDINameDocument [<!ENTITY leak SYSTEM \"file:///etc/passwd\">]>",
                 "&leak;")),
      folder.write("midnam/entity-http.midnam",
                   device("Remote",
                          "<!DOCTYPE MIDINameDocument [<!ENTITY remote SYSTEM \"" +
                              network.url("remote.xml") + "\">]>",
                          "&remote;")),
      folder.write("midnam/parameter-entity.midnam",
                   device("Parameter", "<!DOCTYPE MIDINameDocument [<!ENTITY % remote SYSTEM \"" +
                                           network.url("remote.dtd") + "\"> %remote;]>")),
      folder.write("midnam/deep.midnam", Midnam(DeepNesting(100000))),
      folder.write("midnam/broken-utf8.midnam", device("Broken \xC3\x28 UTF-8", "")),
      folder.write("midnam/truncated.midnam", TestworksMidnam().substr(0, TestworksMidnam().size() / 2)),
      folder.write("midnam/not-midnam.midnam", "<html><body>Alpha 1</body></html>"),
      folder.write("midnam/empty.midnam", ""),
      folder.file("midnam/huge.midnam"),
      folder.file("midnam/fifo.midnam"),
      folder.file("midnam/folder.midnam"),
  };
  // 100 MB without writing them: the size alone must refuse it.
  const int huge = open(bad[9].c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_EQ(ftruncate(huge, 100 << 20), 0);
  close(huge);
  ASSERT_EQ(mkfifo(bad[10].c_str(), 0644), 0);
  std::filesystem::create_directory(bad[11]);

  NameCatalog catalog{{folder.file("midnam")}};
  const auto start = std::chrono::steady_clock::now();
  const std::vector<std::string> lines = StderrLinesOf([&] { catalog.models(); });
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  std::vector<std::string> listed;
  for (const ModelInfo& model : catalog.models()) listed.push_back(model.name);
  EXPECT_EQ(listed, (std::vector<std::string>{kGeneralMidi, "File Dtd", "Http Dtd", "Passwd Dtd"}));
  EXPECT_EQ(catalog.soundAt("File Dtd", 1, 0, {})->sound.name, "Fine");
  EXPECT_EQ(lines.size(), bad.size());
  for (const std::string& file : bad) {
    const auto naming = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.rfind("vantorine: " + file + ": skipped: ", 0) == 0;
    });
    EXPECT_EQ(naming, 1) << file;
  }
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("root:"), std::string::npos) << line;  // nothing of /etc/passwd
    EXPECT_EQ(line.find("lollollol"), std::string::npos) << line;
  }
  EXPECT_FALSE(network.wasConnected());
}

TEST(HostileFiles, PatchesWithoutAProgramAndMissingListsAreToldInOneLinePerFile) {
  TempFolder folder;
  const std::string file = folder.write("gaps.midnam", SimpleMidnam("X", "Gaps", R"(
      <Patch Number="1" Name="Kept" ProgramChange="0"/>
      <Patch Number="2" Name="No Number"/>
      <Patch Number="3" Name="Too High" ProgramChange="128"/>
      <Patch Number="4" Name="Not A Number" ProgramChange="4a"/>
      <Patch Number="5" Name="Commands Without One"><PatchMIDICommands><ControlChange Control="0" Value="1"/></PatchMIDICommands></Patch>
      <Patch Number="6" Name="" ProgramChange="6"/>
      <Patch Number="7" Name="Kept Too"><PatchMIDICommands><ProgramChange Number="7"/></PatchMIDICommands></Patch>
      </PatchNameList><UsesPatchNameList Name="Lost"/><UsesPatchNameList Name="Lost"/><PatchNameList>)"));
  NameCatalog catalog{{folder.path}};
  std::vector<std::string> names;
  const std::vector<std::string> lines = StderrLinesOf([&] {
    for (const Sound& sound : catalog.sounds("Gaps", 1)) names.push_back(sound.name);
    catalog.soundAt("Gaps", 2, 7, {});  // the device was read once: no second line
  });
  EXPECT_EQ(names, (std::vector<std::string>{"Kept", "Kept Too"}));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "vantorine: " + file +
                          ": 4 patches without a Program Change from 0 to 127 left out, the first on line 8; "
                          "the name list \"Lost\" is nowhere");
}

// A good file cut, spliced and sprinkled with MIDNAM and XML fragments, read each time by a new catalog.
TEST(HostileFiles, MutatedFilesNeverCrashNorGiveOutOfRangeSounds) {
  const std::string original = TestworksMidnam();
  const std::vector<std::string> fragments = {"<!ENTITY a \"b\">",
                                              "&a;",
                                              "&amp;",
                                              "&#0;",
                                              "\xFF",
                                              "\xC3",
                                              "<![CDATA[",
                                              "]]>",
                                              "<!--",
                                              "-->",
                                              "<Patch Name=\"New\" ProgramChange=\"999\"/>",
                                              "<Patch Name=\"Minus\" ProgramChange=\"-1\"/>",
                                              "<PatchBank Name=\"Empty\"/>",
                                              "<UsesPatchNameList Name=\"Shared Pianos\"/>",
                                              "</PatchNameList>",
                                              "<ChannelNameSetAssign Channel=\"99\" NameSet=\"Kits\"/>",
                                              "<ControlChange Control=\"0\" Value=\"300\"/>",
                                              "<Model>Alpha 1</Model>",
                                              "<MasterDeviceNames>",
                                              "</MasterDeviceNames>",
                                              "\"",
                                              "<",
                                              ">",
                                              "/>"};
  // Attribute values that are wrong in every way a number or a reference can be.
  const std::vector<std::string> values = {
      "",    "-1",    "128",  "99999999999",   "81",          "0",    "32",   "abc",
      " 7 ", "Tones", "Kits", "Shared Pianos", "Card Sounds", "true", "false"};
  std::mt19937 random(20240611);
  const auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
  // The span of a random line, or of a random attribute's value.
  const auto line = [&](const std::string& text, size_t& start) {
    start = text.rfind('\n', below(text.size()));
    start = start == std::string::npos ? 0 : start + 1;
    return text.find('\n', start) - start + 1;
  };
  TempFolder folder;
  int usable = 0, refused = 0;
  for (int round = 0; round < 300; ++round) {
    std::string text = original;
    for (size_t edits = 1 + below(3); edits > 0; --edits) {
      size_t at = below(text.size());
      switch (below(12)) {
        case 0:
          text[at] = static_cast<char>(random());
          break;
        case 1:
          text.erase(at, below(64));
          break;
        case 2:
          text.insert(at, fragments[below(fragments.size())]);
          break;
        case 3:
          text.resize(at);
          break;
        case 4:
        case 5: {
          const size_t length = line(text, at);
          text.erase(at, length);
          break;
        }
        case 6:
        case 7: {
          const size_t length = line(text, at);
          text.insert(at, text.substr(at, length));
          break;
        }
        default: {
          const size_t value = text.find("=\"", at);
          if (value == std::string::npos) break;
          text.replace(value + 2, text.find('"', value + 2) - value - 2, values[below(values.size())]);
        }
      }
    }
    folder.write("mutated.midnam", text);
    folder.write("card.midnam", round % 2 ? CardMidnam() : text);
    NameCatalog catalog{{folder.path}};
    StderrLinesOf([&] {
      const std::vector<ModelInfo> models = catalog.models();
      ASSERT_EQ(models[0].name, kGeneralMidi);
      (models.size() > 1 ? usable : refused)++;
      for (const ModelInfo& model : models) {
        for (int channel = 0; channel <= 17; ++channel) {
          for (const Sound& sound : catalog.sounds(model.name, channel)) {
            EXPECT_FALSE(sound.name.empty());
            EXPECT_LE(sound.program, 127);
            EXPECT_LE(sound.bankSelect.msb.value_or(0), 127);
            EXPECT_LE(sound.bankSelect.lsb.value_or(0), 127);
          }
          catalog.soundAt(model.name, channel, static_cast<int>(below(130)), {81, 0});
        }
        catalog.findSound(model.name, "Warm Strings");
        catalog.findSound(model.name, "Warm Strngs", 1);
      }
    });
  }
  // Both kinds of outcome were met, so the mutations reached past the parser and into it.
  EXPECT_GT(usable, 30);
  EXPECT_GT(refused, 30);
}

}  // namespace
