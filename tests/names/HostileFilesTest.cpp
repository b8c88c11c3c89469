// Files made to hurt a reader: each is refused or left out with one line on standard error, nothing is
// fetched (a listener on the loopback stands in for the network), nothing expanded or read past the size
// limit, and the good files beside them are read as usual. Files made to cost a host seconds and gigabytes
// (tests/names/HostileMidnam.h) are refused or read as cheaply as they are small. Every line is printable,
// whatever bytes the file's names and its own name hold. Then mutated copies of a good file under random
// names, which must never crash the catalog, hand out a sound a strip could not send, or print a control.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cwchar>
#include <cwctype>
#include <locale.h>

#include <algorithm>
#include <random>

#include "names/DeviceNames.h"
#include "names/Limits.h"
#include "tests/names/HostileMidnam.h"
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

// Whether a terminal shows `line` as it is: UTF-8 that glibc decodes, without a control character.
bool Printable(const std::string& line) {
  const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  if (!utf8) return false;
  const locale_t previous = uselocale(utf8);
  std::mbstate_t state{};
  bool printable = true;
  for (size_t at = 0; at < line.size() && printable;) {
    wchar_t c = 0;
    const size_t length = std::mbrtowc(&c, line.data() + at, line.size() - at, &state);
    printable = length >= 1 && length <= 4 && !std::iswcntrl(static_cast<wint_t>(c));
    at += length;
  }
  uselocale(previous);
  freelocale(utf8);
  return printable;
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
  // As many attributes as an element may have.
  folder.write("midnam/good-attributes.midnam", ManyAttributes(static_cast<int>(kMaxXmlAttributes)));

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
      folder.write("midnam/attribute-defaults.midnam",
                   device("Defaults", "<!DOCTYPE MIDINameDocument [<!ATTLIST Patch Extra CDATA \"x\">]>")),
      // What took seconds to minutes before the guards: 1.1 MB of attributes, 3.2 MB of models.
      folder.write("midnam/many-attributes.midnam", ManyAttributes(110000)),
      folder.write("midnam/many-models.midnam", ManyModels(150000)),
      folder.write("midnam/many-elements.midnam", Midnam([] {
                     std::string elements;
                     for (size_t n = 0; n <= kMaxXmlNodes; ++n) elements += "<X/>";
                     return elements;
                   }())),
  };
  // 100 MB without writing them: the size alone must refuse it.
  const int huge = open(bad[9].c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_EQ(ftruncate(huge, 100 << 20), 0);
  close(huge);
  ASSERT_EQ(mkfifo(bad[10].c_str(), 0644), 0);
  std::filesystem::create_directory(bad[11]);

  NameCatalog catalog{{folder.file("midnam")}};
  const std::vector<std::string> lines = StderrLinesOf([&] { catalog.models(); });

  std::vector<std::string> listed;
  for (const ModelInfo& model : catalog.models()) listed.push_back(model.name);
  EXPECT_EQ(listed,
            (std::vector<std::string>{kGeneralMidi, "Attributes", "File Dtd", "Http Dtd", "Passwd Dtd"}));
  EXPECT_EQ(catalog.soundAt("File Dtd", 1, 0, {})->sound.name, "Fine");
  EXPECT_EQ(lines.size(), bad.size());
  for (const std::string& file : bad) {
    const auto naming = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.rfind("vantorine: " + file + ": skipped: ", 0) == 0;
    });
    EXPECT_EQ(naming, 1) << file;
  }
  // What is refused for its cost says which limit it passed.
  const auto why = [&](const std::string& file) {
    const std::string start = "vantorine: " + file + ": skipped: ";
    for (const std::string& line : lines)
      if (line.rfind(start, 0) == 0) return line.substr(start.size());
    return std::string("(no line)");
  };
  EXPECT_EQ(why(bad[12]), "declares an attribute list");
  EXPECT_EQ(why(bad[13]), "an element has more than 64 attributes");
  EXPECT_EQ(why(bad[14]), "names 150000 models, more than the 256 a file may");
  EXPECT_EQ(why(bad[15]), "more than 262144 elements and attributes");
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

// A list shared by 5000 banks would be 25 million sounds: the device is left out when first used. 128,000
// sounds of one name in 1000 banks are each found once, in the file's order; 20,000 name sets assigned in
// turn leave the last on the channel; an extension file that would take a device's files past their limit
// is left out with those after it.
TEST(HostileFiles, DevicesThatWouldCostTooMuchAreLeftOutAndSharedListsStayWhole) {
  TempFolder folder;
  const std::string bomb = folder.write("bomb.midnam", SharedListBomb(5000, 5000));
  folder.write("same.midnam", SameNameEverywhere(1000));
  folder.write("sets.midnam", ManyNameSets(20000));
  const std::string alpha = folder.write("testworks.midnam", TestworksMidnam());
  folder.write("testworks-0.midnam", CardMidnam());
  // Four of these fit beside the other files, the fifth would pass the limit.
  const std::string filler =
      Midnam("<ExtendingDeviceNames><Manufacturer>Testworks</Manufacturer><Model>Alpha 1</Model><!-- " +
             std::string(kMaxDeviceFileBytes / 4 - 4096, 'x') + " --></ExtendingDeviceNames>\n");
  for (int n = 1; n <= 6; ++n) folder.write("testworks-" + std::to_string(n) + ".midnam", filler);

  NameCatalog catalog{{folder.path}};
  SoundSearch same;
  std::optional<SelectedSound> harp;
  const std::vector<std::string> lines = StderrLinesOf([&] {
    EXPECT_TRUE(catalog.sounds("Bomb", 1).empty());
    EXPECT_FALSE(catalog.soundAt("Bomb", 1, 0, {}));
    same = catalog.findSound("Same", "same", 1);
    harp = catalog.soundAt("Alpha 1", 1, 4, {120, {}});
    EXPECT_EQ(catalog.sounds("Sets", 1).size(), 1u);
  });
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "vantorine: " + bomb +
                    ": skipped: Bomb offers more sounds than a device may: listed, they would take more than "
                    "16 MiB",
                "vantorine: " + alpha + ": the extension " + folder.file("testworks-5.midnam") +
                    " and those after it are left out: with it the model's files would pass 16 MiB"}));

  ASSERT_EQ(same.matches.size(), 128000u);
  const Sound& first = same.matches.front();
  EXPECT_EQ(first.bank + " " + std::to_string(first.program), "B0 0");
  const Sound& last = same.matches.back();
  EXPECT_EQ(last.bank + " " + std::to_string(last.program), "B999 127");
  EXPECT_EQ(last.bankSelect.msb, 7);
  EXPECT_EQ(last.bankSelect.lsb, 103);
  EXPECT_EQ(catalog.soundAt("Same", 1, 127, {7, 103})->sound.bank, "B999");
  EXPECT_EQ(catalog.sounds("Same", 1).size(), 128000u);
  // The extension read before the limit still names its sound.
  ASSERT_TRUE(harp);
  EXPECT_EQ(harp->sound.name, "Card Harp");
}

// A file's own name and the names in it may hold anything but '/' and NUL, or any character XML allows.
TEST(HostileFiles, LinesShowControlsAndBytesThatAreNotUtf8AsQuestionMarks) {
  TempFolder folder;
  // CSI, ESC, BEL, DEL, a stray continuation byte, an overlong '/', a surrogate, a lead byte cut short.
  folder.write("\x9B" "2J\x1B]0;title\x07\x7F\xFF\xC0\xAF\xED\xA0\x80\xC3.midnam", "");
  // Lists nowhere, one named with CSI (U+009B) and one with DEL, more than a line tells.
  std::string uses;
  for (const char* name : {"A&#x9B;[2J", "B&#x7F;", "C3", "D4", "E5", "F6", "G7"})
    uses += std::string("<UsesPatchNameList Name=\"") + name + "\"/>";
  const std::string lists = folder.write(
      "caf\xC3\xA9.midnam", SimpleMidnam("X", "Lists", "</PatchNameList>" + uses + "<PatchNameList>"));
  NameCatalog catalog{{folder.path}};
  const std::vector<std::string> lines = StderrLinesOf([&] { catalog.sounds("Lists", 1); });
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "vantorine: " + folder.path + "/?2J?]0;title" + std::string(9, '?') +
                           ".midnam: skipped: empty",
                       "vantorine: " + lists +
                           ": the name list \"A?[2J\" is nowhere; the name list \"B?\" is nowhere; the name "
                           "list \"C3\" is nowhere; the name list \"D4\" is nowhere; the name list \"E5\" is "
                           "nowhere; and 2 more name lists are nowhere"}));
  for (const std::string& line : lines) EXPECT_TRUE(Printable(line)) << line;
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
                                              "/>",
                                              "&#x9B;",
                                              "\xC2\x9B",
                                              "&#x7F;",
                                              "<UsesPatchNameList Name=\"&#x9B;2J\"/>",
                                              "<PatchBank Name=\"Twice\"><UsesPatchNameList "
                                              "Name=\"Shared Pianos\"/><UsesPatchNameList "
                                              "Name=\"Shared Pianos\"/></PatchBank>"};
  // Attribute values that are wrong in every way a number or a reference can be, and names with controls.
  const std::vector<std::string> values = {
      "",    "-1",    "128",  "99999999999",   "81",          "0",    "32",    "abc",        " 7 ",
      "Tones", "Kits", "Shared Pianos", "Card Sounds", "true", "false", "\xC2\x9B", "Del&#x7F;", "&#x85;x"};
  // What a file's own name may hold: controls, bytes that are not UTF-8, and UTF-8.
  const std::vector<std::string> nameBytes = {"\x1B",     "\x9B",     "\x7F",     "\xFF",
                                              "\xC2\x85", "\xE2\x82", "\xC3\xA9", "a"};
  std::mt19937 random(20240611);
  const auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
  // The span of a random line, or of a random attribute's value.
  const auto line = [&](const std::string& text, size_t& start) {
    start = text.rfind('\n', below(text.size()));
    start = start == std::string::npos ? 0 : start + 1;
    return text.find('\n', start) - start + 1;
  };
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
    std::string name = "mutated";
    for (size_t bytes = below(4); bytes > 0; --bytes) name += nameBytes[below(nameBytes.size())];
    TempFolder folder;
    folder.write(name + ".midnam", text);
    folder.write("card.midnam", round % 2 ? CardMidnam() : text);
    NameCatalog catalog{{folder.path}};
    const std::vector<std::string> lines = StderrLinesOf([&] {
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
    for (const std::string& told : lines) EXPECT_TRUE(Printable(told)) << told;
  }
  // Both kinds of outcome were met, so the mutations reached past the parser and into it.
  EXPECT_GT(usable, 30);
  EXPECT_GT(refused, 30);
}

}  // namespace
