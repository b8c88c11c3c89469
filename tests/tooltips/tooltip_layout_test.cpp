// A tooltip label is measured in the tip's font, line feed by line feed (empty lines counting as full
// lines), drawn as its non-empty lines in equal rows of a centred box with room for the arrow, and the
// content's bounding box widens every object when it grows.
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
  }
  test::Ink Measure(const char* text) const { return test::Ink(font, text); }

  context::SDrawFont* font = nullptr;
};

TEST_F(TooltipLayout, OneLineSitsCentredInItsBox) {
  SToolTipData data(tip, owner, kTipAbove);
  data.AddLabel("Action:\tResend", 0);
  const test::Ink ink = Measure("Action:\tResend");
  ASSERT_EQ(data.Lines().size(), 1u);
  EXPECT_STREQ(data.Lines()[0].Get(), "Action:\tResend");
  EXPECT_EQ(data.BoxWidth(), ink.width + 48);
  EXPECT_EQ(data.BoxHeight(), ink.height + 20);
  ASSERT_EQ(data.LineRects().size(), 1u);
  ExpectRect(data.LineRects()[0], {24, 6, 24 + ink.width, 6 + ink.height + 4});
  ExpectRect(data.Bounds(), data.LineRects()[0]);

  ASSERT_EQ(data.Objects().size(), 1u);
  const auto* line = dynamic_cast<const STextObject*>(data.Objects()[0]);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->GetTextColour(), tip->GetTextColour());
}

TEST_F(TooltipLayout, EmptyLinesAreMeasuredButNotDrawn) {
  // Lines of different ink heights: the empty line takes the height of the line before it.
  const test::Ink first = Measure("ace"), last = Measure("Tg Wide line");
  ASSERT_NE(first.height, last.height);
  SToolTipData data(tip, owner, kTipBelow);
  data.AddLabel("ace\n\nTg Wide line", 0);
  const int h = 2 * first.height + last.height + 4;
  EXPECT_EQ(data.BoxWidth(), last.width + 48);
  EXPECT_EQ(data.BoxHeight(), h + 16);
  ASSERT_EQ(data.Lines().size(), 2u);
  EXPECT_STREQ(data.Lines()[0].Get(), "ace");
  EXPECT_STREQ(data.Lines()[1].Get(), "Tg Wide line");
  ASSERT_EQ(data.LineRects().size(), 2u);
  ExpectRect(data.LineRects()[0], {24, 6, 24 + last.width, 6 + h / 2});
  ExpectRect(data.LineRects()[1], {24, 6 + h / 2, 24 + last.width, 6 + h});
  EXPECT_EQ(data.Objects().size(), 2u);
  ExpectRect(data.Bounds(), {24, 6, 24 + last.width, 6 + h});

  // Before any measured line an empty one is as high as "W"; a final line feed is an empty last line.
  SToolTipData leading(tip, owner, kTipBelow);
  leading.AddLabel("\nace\n", 0);
  EXPECT_EQ(leading.BoxHeight(), 2 * Measure("W").height + first.height + 20);
  EXPECT_EQ(leading.Lines().size(), 1u);
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
