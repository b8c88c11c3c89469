// The clipboard exchanges text with other X clients through "CLIPBOARD": it offers its targets, serves
// text as the type that was asked for (UTF-8 re-encoded), refuses other targets, honours requestors without
// a property and notices when another client takes the selection; it reads other owners' text completely,
// whatever its length, and fails cleanly when there is nobody to ask or no display at all.
#include <cstdlib>
#include <string>

#include "../gui/GuiTest.h"
#include "ForeignClient.h"
#include "file/SClipboard.h"
#include "gui/context/SData.h"

namespace tovo::file {
namespace {

using gui::context::SData;
using test::ForeignClient;

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(other.Valid()); }
  void TearDown() override { clipboard.Close(); }

  // Our clipboard serves text (a copy as the text box makes one).
  bool Copy(const std::string& text) {
    if (!clipboard.Open(&owner)) return false;
    SData data;
    data.SetTextData(text.c_str());
    data.SetFormat(SData::kText);
    const bool set = clipboard.SetData(data);
    clipboard.Close();
    return set;
  }
  // Our clipboard asks the owner: the text, or "<failed>".
  std::string Paste() {
    if (!clipboard.Open(&owner)) return "<not opened>";
    SData data;
    const bool got = clipboard.GetData(data, SData::kText);
    clipboard.Close();
    return got ? std::string(data.GetTextData()) : "<failed>";
  }

  gui::SControl owner;
  SClipboard clipboard;
  ForeignClient other;
};

TEST_F(ClipboardTest, AnotherClientPastesOurCopyAsksTargetsFirst) {
  ASSERT_TRUE(Copy("caf\xe9 au lait"));
  EXPECT_TRUE(clipboard.Owning());

  const ForeignClient::Answer targets = other.Request("TARGETS");
  ASSERT_TRUE(targets.notified);
  ASSERT_NE(targets.property, static_cast<Atom>(None));
  EXPECT_EQ(targets.type, static_cast<Atom>(XA_ATOM));
  EXPECT_EQ(targets.format, 32);
  const std::vector<Atom> offered{other.Intern("TARGETS"), other.Intern("UTF8_STRING"), XA_STRING,
                                  other.Intern("TEXT")};
  EXPECT_EQ(targets.atoms, offered);

  // UTF-8 asked, UTF-8 given: the accented character arrives as two bytes.
  const ForeignClient::Answer utf8 = other.Request("UTF8_STRING");
  ASSERT_NE(utf8.property, static_cast<Atom>(None));
  EXPECT_EQ(utf8.type, other.Intern("UTF8_STRING"));
  EXPECT_EQ(utf8.format, 8);
  EXPECT_EQ(utf8.bytes, "caf\xc3\xa9 au lait");

  for (const char* target : {"STRING", "TEXT"}) {
    SCOPED_TRACE(target);
    const ForeignClient::Answer latin = other.Request(target);
    ASSERT_NE(latin.property, static_cast<Atom>(None));
    EXPECT_EQ(latin.type, static_cast<Atom>(XA_STRING));
    EXPECT_EQ(latin.bytes, "caf\xe9 au lait");
  }
}

TEST_F(ClipboardTest, UnknownTargetsAreRefusedAndObsoleteRequestsAnswered) {
  ASSERT_TRUE(Copy("value"));
  for (const char* target : {"image/png", "MULTIPLE", "TIMESTAMP"}) {
    SCOPED_TRACE(target);
    const ForeignClient::Answer refused = other.Request(target);
    EXPECT_TRUE(refused.notified) << "a refusal is an answer too";
    EXPECT_EQ(refused.property, static_cast<Atom>(None));
  }
  // A requestor that names no property finds the text in the property named like the target.
  const ForeignClient::Answer obsolete = other.Request("STRING", nullptr);
  ASSERT_TRUE(obsolete.notified);
  EXPECT_EQ(obsolete.property, static_cast<Atom>(XA_STRING));
  EXPECT_EQ(obsolete.bytes, "value");
}

TEST_F(ClipboardTest, AnEmptyCopyServesAnEmptyProperty) {
  ASSERT_TRUE(Copy(""));
  const ForeignClient::Answer answer = other.Request("STRING");
  ASSERT_NE(answer.property, static_cast<Atom>(None)) << "an empty text is served, not refused";
  EXPECT_EQ(answer.type, static_cast<Atom>(XA_STRING));
  EXPECT_EQ(answer.bytes, "");
  // And our own paste of it reports nothing to insert.
  EXPECT_EQ(Paste(), "<failed>");
}

TEST_F(ClipboardTest, WePasteAnotherClientsTextEvenWhenItAnswersUtf8) {
  ASSERT_TRUE(other.Own("from the terminal", "STRING"));
  EXPECT_EQ(Paste(), "from the terminal");
  other.Disown();

  ASSERT_TRUE(other.Own("na\xc3\xafve \xe2\x82\xac", "UTF8_STRING"));
  // Latin-1 is the toolkit's text: the euro sign has no place there.
  EXPECT_EQ(Paste(), "na\xefve ?");
  other.Disown();

  // A text of another type is no text for us.
  ASSERT_TRUE(other.Own("<b>x</b>", "text/html"));
  EXPECT_EQ(Paste(), "<failed>");
}

TEST_F(ClipboardTest, LongTextsAreReadCompletely) {
  std::string text;
  for (int i = 0; text.size() < 10000; ++i) text += std::to_string(i) + ",";
  ASSERT_TRUE(other.Own(text, "STRING"));
  EXPECT_EQ(Paste(), text);
  other.Disown();

  // Our own copy goes the same way through the server.
  ASSERT_TRUE(Copy(text));
  EXPECT_EQ(Paste(), text);
  EXPECT_EQ(other.Request("STRING").bytes, text);
}

TEST_F(ClipboardTest, NoOwnerAndOtherKindsFailWithoutAsking) {
  other.Disown();
  ASSERT_EQ(other.SelectionOwner(), static_cast<Window>(None));
  ASSERT_TRUE(clipboard.Open(&owner));
  SData data;
  EXPECT_FALSE(clipboard.GetData(data, SData::kText));
  EXPECT_TRUE(SClipboard::IsOpen()) << "an early failure leaves the clipboard as it was";
  EXPECT_EQ(data.GetTextData(), nullptr);

  // Only text is asked for: the owner never hears of a request for another kind.
  ASSERT_TRUE(other.Own("number", "STRING"));
  other.StopServing();
  for (int kind : {int{SData::kEmpty}, int{SData::kInteger}, int{SData::kFloat}, int{SData::kCustom}})
    EXPECT_FALSE(clipboard.GetData(data, kind));
  EXPECT_FALSE(other.RequestPending());
  EXPECT_EQ(data.GetTextData(), nullptr);

  // Data that is not text is not served either.
  int value = 3;
  SData number(SData::kInteger, &value, 0);
  EXPECT_FALSE(clipboard.SetData(number));
  EXPECT_EQ(other.SelectionOwner(), other.Id());
}

TEST_F(ClipboardTest, OpeningNeedsAControlAndKeepsTheFirstOwner) {
  EXPECT_FALSE(clipboard.Open(nullptr));
  EXPECT_FALSE(SClipboard::IsOpen());
  gui::SControl second;
  ASSERT_TRUE(clipboard.Open(&owner));
  EXPECT_TRUE(clipboard.Open(&second));
  EXPECT_EQ(clipboard.Owner(), &owner);
  EXPECT_TRUE(clipboard.Empty());
  clipboard.Close();
  EXPECT_FALSE(SClipboard::IsOpen());
  EXPECT_FALSE(clipboard.Empty()) << "emptying needs an open clipboard";

  // A clipboard never opened has no owner to work for, and copies nothing.
  SClipboard fresh;
  SData data(SData::kText, "x", 0);
  EXPECT_FALSE(fresh.SetData(data));
  EXPECT_FALSE(fresh.GetData(data, SData::kText));
}

TEST_F(ClipboardTest, AnotherClientTakingTheSelectionEndsOurs) {
  ASSERT_TRUE(Copy("ours"));
  ASSERT_TRUE(other.Own("theirs", "STRING"));
  // The server thread hears of it on its own; wait for it, bounded.
  for (int i = 0; i < 200 && clipboard.Owning(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(clipboard.Owning());
  EXPECT_EQ(Paste(), "theirs");
  other.StopServing();

  // A request that still reaches us afterwards is refused, not answered with our old text.
  XEvent late{};
  late.xselectionrequest.type = SelectionRequest;
  late.xselectionrequest.requestor = other.Id();
  late.xselectionrequest.selection = other.Intern("CLIPBOARD");
  late.xselectionrequest.target = XA_STRING;
  late.xselectionrequest.property = other.Intern("LATE");
  late.xselectionrequest.time = CurrentTime;
  clipboard.ServeEvent(&late);
  XEvent notice;
  bool notified = false;
  for (int i = 0; i < 200 && !notified; ++i) {
    XSync(other.Connection(), False);
    notified = XCheckTypedWindowEvent(other.Connection(), other.Id(), SelectionNotify, &notice);
    if (!notified) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(notified);
  EXPECT_EQ(notice.xselection.property, static_cast<Atom>(None));

  // Copying again takes it back.
  ASSERT_TRUE(Copy("ours again"));
  EXPECT_EQ(other.Request("STRING").bytes, "ours again");
}

TEST(ClipboardWithoutDisplay, EverythingFailsQuietly) {
  const char* previous = std::getenv("DISPLAY");
  const std::string saved = previous ? previous : "";
  setenv("DISPLAY", ":4711", 1);
  SClipboard clipboard;
  if (previous)
    setenv("DISPLAY", saved.c_str(), 1);
  else
    unsetenv("DISPLAY");
  gui::SControl owner;
  EXPECT_FALSE(clipboard.Open(&owner));
  SData data(SData::kText, "x", 0);
  EXPECT_FALSE(clipboard.SetData(data));
  EXPECT_FALSE(clipboard.GetData(data, SData::kText));
  EXPECT_EQ(clipboard.CheckEvent(), 0);
  EXPECT_FALSE(SClipboard::IsOpen());
}

}  // namespace
}  // namespace tovo::file
