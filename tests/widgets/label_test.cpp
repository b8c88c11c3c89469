// Labels lay a text of one or more lines out as one block placed by the alignment bits, draw it in the
// label or disabled colour with an optional frame, and report mouse presses by button.
#include "WidgetTest.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/widgets/SLabel.h"

namespace tovo::gui {
namespace {

using context::statdata;
using test::Probe;
using test::WindowPixels;

// Height of a run of text as X measures its characters.
int InkHeight(context::SDrawFont* font, const char* text) {
  int direction, ascent, descent;
  XCharStruct overall{};
  XTextExtents(static_cast<XFontStruct*>(font->Info()), text, static_cast<int>(std::strlen(text)), &direction,
               &ascent, &descent, &overall);
  return overall.ascent + overall.descent;
}

int InkWidth(context::SDrawFont* font, const char* text) {
  return XTextWidth(static_cast<XFontStruct*>(font->Info()), text, static_cast<int>(std::strlen(text)));
}

class LabelTest : public test::WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    font = statdata.FindFont(12, false, false);
    ASSERT_TRUE(font->IsLoaded());
  }

  context::SDrawFont* font = nullptr;
};

TEST_F(LabelTest, WithoutFontNothingIsLaidOutOrDrawn) {
  SLabel<false> label(&globals, nullptr, 1, "label", 0, kX, kY, 60, 20, 0, false);
  const int background = SCOL(10, 60, 110);
  label.SetColours(background, background, background, 0, 0, 0, 0);
  label.SetLabelColours(SCOL(250, 250, 250), SCOL(250, 250, 250));
  label.SetLabel("Hello");
  EXPECT_STREQ(label.GetLabel().Get(), "");
  EXPECT_TRUE(label.GetLines().empty());

  label.Show();
  Settle();
  WindowPixels pixels(label.GetWindow(), 60, 20);
  EXPECT_EQ(pixels.Count(background), 60 * 20);
}

TEST_F(LabelTest, EmptyLinesKeepTheirSpaceButAreNotLines) {
  SLabel<false> label(&globals, nullptr, 1, "label", 0, kX, kY, 100, 80, 0, false);
  label.SetLabel("A\n\nB", font, 0);
  ASSERT_EQ(label.GetLines().size(), 2u);
  EXPECT_STREQ(label.GetLines()[0].Get(), "A");
  EXPECT_STREQ(label.GetLines()[1].Get(), "B");
  const int height = InkHeight(font, "A");
  EXPECT_EQ(label.GetTextHeight(), height + height + InkHeight(font, "B"));

  // The two rectangles share the block equally and the last one reaches its bottom.
  const auto& rects = label.GetLineRects();
  ASSERT_EQ(rects.size(), 2u);
  const int top = (80 - label.GetTextHeight()) / 2;
  EXPECT_EQ(rects[0].top, top);
  EXPECT_EQ(rects[0].bottom, top + label.GetTextHeight() / 2);
  EXPECT_EQ(rects[1].top, rects[0].bottom);
  EXPECT_EQ(rects[1].bottom, top + label.GetTextHeight());

  // Before any line was measured, an empty line is as tall as "W"; tabs and returns also split.
  label.SetLabel("\n\nA\tgj");
  EXPECT_EQ(label.GetTextHeight(), 2 * InkHeight(font, "W") + InkHeight(font, "A\tgj"));
  ASSERT_EQ(label.GetLines().size(), 2u);
  EXPECT_STREQ(label.GetLines()[1].Get(), "gj");

  // One line needs no measuring: it fills the control and the drawing call aligns it.
  label.SetLabel("single");
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].left, 0);
  EXPECT_EQ(rects[0].top, 0);
  EXPECT_EQ(rects[0].right, 100);
  EXPECT_EQ(rects[0].bottom, 80);
}

TEST_F(LabelTest, AlignmentBitsPlaceTheBlock) {
  constexpr int kW = 120, kH = 90;
  SLabel<false> label(&globals, nullptr, 1, "label", 0, kX, kY, kW, kH, 0, false);
  label.SetLabel("Wide line\nx", font, 0);
  const int tw = InkWidth(font, "Wide line");
  const int th = label.GetTextHeight();
  ASSERT_EQ(label.GetTextWidth(), tw);
  const int centreX = (kW - tw) / 2, centreY = (kH - th) / 2;
  const int right = kW - tw, bottom = kH - th;

  struct Case {
    int alignment;
    int left;
    int top;
  };
  // The bottom bit keeps what the horizontal bits chose: the corner with the right bit, the top with the
  // left bit alone, the centre otherwise.
  const Case cases[] = {
      {0, centreX, centreY},
      {context::kAlignLeft, 0, centreY},
      {context::kAlignLeft | context::kAlignTop, 0, 0},
      {context::kAlignLeft | context::kAlignBottom, 0, 0},
      {context::kAlignRight, right, centreY},
      {context::kAlignRight | context::kAlignBottom, right, bottom},
      {context::kAlignRight | context::kAlignTop, right, 0},
      {context::kAlignBottom, centreX, centreY},
      {context::kAlignTop, centreX, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alignment);
    label.SetAlignment(c.alignment);
    label.RedrawLabel();
    const auto& rects = label.GetLineRects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].left, c.left);
    EXPECT_EQ(rects[0].right, c.left + tw);
    EXPECT_EQ(rects[0].top, c.top);
    EXPECT_EQ(rects[1].bottom, c.top + th);
  }
}

TEST_F(LabelTest, ResizeLaysTheBlockOutAgain) {
  SLabel<false> label(&globals, nullptr, 1, "label", 0, kX, kY, 100, 60, 0, false);
  label.SetLabel("one\ntwo", font, context::kAlignRight | context::kAlignBottom);
  label.SetSize(140, 100);
  EXPECT_EQ(label.GetLineRects()[1].right, 140);
  EXPECT_EQ(label.GetLineRects()[1].bottom, 100);

  label.SetLabel("one");
  label.SetSize(50, 30);
  ASSERT_EQ(label.GetLineRects().size(), 1u);
  EXPECT_EQ(label.GetLineRects()[0].right, 50);
  EXPECT_EQ(label.GetLineRects()[0].bottom, 30);
}

TEST_F(LabelTest, LinesAreDrawnInTheirRectanglesInTheLabelOrDisabledColour) {
  constexpr int kW = 80, kH = 60;
  SLabel<false> label(&globals, nullptr, 1, "label", 0, kX, kY, kW, kH, 0, false);
  const int background = SCOL(0, 0, 40), text = SCOL(255, 200, 0), disabled = SCOL(90, 90, 90);
  label.SetColours(background, background, background, 0, 0, 0, 0);
  label.SetLabelColours(text, disabled);
  label.SetLabel("HH\nHH", font, 0);
  label.Show();
  Settle();
  {
    WindowPixels pixels(label.GetWindow(), kW, kH);
    const SRect upper = label.GetLineRects()[0], lower = label.GetLineRects()[1];
    EXPECT_GT(pixels.Count(text, upper.left, upper.top, upper.right, upper.bottom), 0);
    EXPECT_GT(pixels.Count(text, lower.left, lower.top, lower.right, lower.bottom), 0);
    // Nothing lies outside the block, give or take a pixel of the glyphs' own bearing.
    const int inBlock = pixels.Count(text, upper.left - 1, upper.top - 1, lower.right + 1, lower.bottom + 1);
    EXPECT_EQ(pixels.Count(text), inBlock);
    EXPECT_EQ(pixels.Count(disabled), 0);
  }
  label.Enable(false);
  Settle();
  WindowPixels pixels(label.GetWindow(), kW, kH);
  EXPECT_EQ(pixels.Count(text), 0);
  EXPECT_GT(pixels.Count(disabled), 0);
}

TEST_F(LabelTest, FrameOnlyWithTheFrameStyleOrWhileHighlighted) {
  const int background = SCOL(0, 40, 0), frame = SCOL(0, 200, 255), highlight = SCOL(255, 0, 120);
  SLabel<false> plain(&globals, nullptr, 1, "plain", 0, kX, kY, 40, 20, 0, false);
  SLabel<false> framed(&globals, nullptr, 2, "framed", kStyleFramedOutline, kX, kY + 40, 40, 20, 0, false);
  for (SLabel<false>* label : {&plain, &framed}) {
    label->SetColours(background, background, background, 0, 0, 0, 0);
    label->SetFrameColour(frame, frame, frame);
    label->Show();
  }
  Settle();
  EXPECT_EQ(WindowPixels(plain.GetWindow(), 40, 20).Count(frame), 0);
  // The outline runs along the four edges: 2 x 40 + 2 x 18 pixels.
  EXPECT_EQ(WindowPixels(framed.GetWindow(), 40, 20).Count(frame), 116);

  plain.Highlight(true, highlight, 0, 0);
  Settle();
  EXPECT_EQ(WindowPixels(plain.GetWindow(), 40, 20).Count(highlight), 116);
  EXPECT_TRUE(plain.IsHighlighted());
}

TEST_F(LabelTest, PressesAreReportedByButton) {
  SLabel<false> label(&globals, nullptr, 1, "label", 0, kX, kY, 40, 20, 0, false);
  Probe listener(&globals, nullptr, 0);
  label.AddEventListener(&listener, kEventValueChanged);
  Click(label, Button1);
  Click(label, Button3);
  Click(label, Button2);
  Press(label, Button1);
  DoublePress(label, Button1);
  Release(label, Button1);
  EXPECT_EQ(Values(listener, kEventValueChanged), (std::vector<int>{1, 3, 2, 1, 1}));
  for (const SEvent& message : listener.messages) {
    EXPECT_EQ(message.kind, kKindValue);
    EXPECT_EQ(message.sender, &label);
  }
}

}  // namespace
}  // namespace tovo::gui
