// A tooltip label is measured in the tip's font, line feed by line feed (empty lines counting as full
// lines), drawn as its non-empty lines in equal rows of a centred box with room for the arrow, and the
// content's bounding box widens every object when it grows.
#include <cstring>

#include "TooltipTest.h"
#include "gui/context/SDrawFont.h"
#include "gui/widgets/SDrawObject.h"

namespace tovo::gui {
namespace {

using Rect = SToolTipData::Rect;

void ExpectRect(const Rect& actual, const Rect& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

class TooltipLayout : public test::TooltipFixture {
 protected:
  void SetUp() override {
    MakeOwner(0, 0);
    font = tip->GetFont();
    ASSERT_TRUE(font->IsLoaded());
    lineHeight = font->Ascent() + font->Descent();
  }
  int Width(const char* text) const { return font->TextWidth(text, static_cast<int>(std::strlen(text))); }

  context::SDrawFont* font = nullptr;
  int lineHeight = 0;
};

TEST_F(TooltipLayout, OneLineSitsCentredInItsBox) {
  SToolTipData data(tip, owner, kTipAbove);
  data.AddLabel("Action:\tResend", 0);
  const int w = Width("Action:\tResend");
  ASSERT_EQ(data.Lines().size(), 1u);
  EXPECT_STREQ(data.Lines()[0].Get(), "Action:\tResend");
  EXPECT_EQ(data.BoxWidth(), w + 48);
  EXPECT_EQ(data.BoxHeight(), lineHeight + 20);
  ASSERT_EQ(data.LineRects().size(), 1u);
  ExpectRect(data.LineRects()[0], {24, 6, 24 + w, 6 + lineHeight + 4});
  ExpectRect(data.Bounds(), data.LineRects()[0]);

  ASSERT_EQ(data.Objects().size(), 1u);
  const auto* line = dynamic_cast<const STextObject*>(data.Objects()[0]);
  ASSERT_NE(line, nullptr);
  EXPECT_STREQ(line->GetText().Get(), "Action:\tResend");
  EXPECT_EQ(line->GetBackgroundColour(), tip->GetBackgroundColour());
  EXPECT_EQ(line->GetFrameColour(), tip->GetForegroundColour());
  EXPECT_EQ(line->GetTextColour(), tip->GetTextColour());
}

TEST_F(TooltipLayout, EmptyLinesAreMeasuredButNotDrawn) {
  SToolTipData data(tip, owner, kTipBelow);
  data.AddLabel("Option:\n\nToggle Midi Thru", 0);
  const int w = Width("Toggle Midi Thru");
  const int h = 3 * lineHeight + 4;
  EXPECT_EQ(data.BoxWidth(), w + 48);
  EXPECT_EQ(data.BoxHeight(), 3 * lineHeight + 20);
  ASSERT_EQ(data.Lines().size(), 2u);
  EXPECT_STREQ(data.Lines()[0].Get(), "Option:");
  EXPECT_STREQ(data.Lines()[1].Get(), "Toggle Midi Thru");
  ASSERT_EQ(data.LineRects().size(), 2u);
  ExpectRect(data.LineRects()[0], {24, 6, 24 + w, 6 + h / 2});
  ExpectRect(data.LineRects()[1], {24, 6 + h / 2, 24 + w, 6 + h});
  EXPECT_EQ(data.Objects().size(), 2u);
  ExpectRect(data.Bounds(), {24, 6, 24 + w, 6 + h});

  // A final line feed is an empty last line: the remove button's tip is three lines high.
  SToolTipData trailing(tip, owner, kTipBelow);
  trailing.AddLabel("Action:\nRemove Strip\n", 0);
  EXPECT_EQ(trailing.BoxHeight(), 3 * lineHeight + 20);
  EXPECT_EQ(trailing.Lines().size(), 2u);
}

TEST_F(TooltipLayout, TheBoxLeavesRoomForTheArrowOnItsSide) {
  SToolTipData right(tip, owner, kTipRight);
  right.AddLabel("tip", 0);
  SToolTipData left(tip, owner, kTipLeft);
  left.AddLabel("tip", 0);
  SToolTipData unknown(tip, owner, 9);
  unknown.AddLabel("tip", 0);
  EXPECT_EQ(right.LineRects()[0].left, 28);
  EXPECT_EQ(left.LineRects()[0].left, 20);
  EXPECT_EQ(unknown.GetPlacement(), kTipLeft);
  EXPECT_EQ(unknown.LineRects()[0].left, 20);
}

TEST_F(TooltipLayout, AWiderObjectWidensTheOthers) {
  SToolTipData data(tip, owner, kTipAbove);
  data.AddLabel("ab", 0);
  Rect wide{0, 40, 200, 60};
  data.AddText("a much longer text", wide, 0);
  ExpectRect(data.Bounds(), {0, 6, 200, 60});
  ASSERT_EQ(data.Objects().size(), 2u);
  // Stretched to the common right edge; the label keeps its left edge.
  EXPECT_EQ(data.Objects()[0]->GetRect().left, 24);
  for (const SDrawObject* object : data.Objects()) EXPECT_EQ(object->GetRect().right, 200);
  const auto* own = dynamic_cast<const STextObjectX*>(data.Objects()[1]);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->GetFont(), tip->GetFont());

  // An object that does not widen the box is left as it is, and the box stays the objects' union.
  auto* small = new SDrawRect({10, 0, 20, 5}, 0, 0, false);
  data.AddObject(small, 0);
  EXPECT_EQ(small->GetRect().right, 20);
  ExpectRect(data.Bounds(), {0, 0, 200, 60});
}

}  // namespace
}  // namespace tovo::gui
