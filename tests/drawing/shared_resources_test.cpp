// The process-wide colour table holds the 29 standard colours in slot order and drops what does not fit;
// pens, brushes and fonts are shared by their keys and handed back at release; fonts always load, falling
// back to looser names when the classic ones are missing; each instance's SGlobals hands out unique ids
// from any thread and seeds its generator.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "XTestSupport.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"

using tovo::gui::SCOL;
using tovo::gui::SGlobals;
using tovo::gui::context::SColourListSimple;
using tovo::gui::context::SDrawBrush;
using tovo::gui::context::SDrawFont;
using tovo::gui::context::SStaticData;
using tovo::gui::context::statdata;
using tovo::test::ServerChannels;

TEST(ColourTable, HoldsTheStandardColoursInSlotOrder) {
  ASSERT_TRUE(statdata.ColoursAdded());
  EXPECT_EQ(SStaticData::kColourSlots, statdata.ColourCount());
  const int expected[][4] = {{0, 255, 255, 255}, {2, 255, 128, 0},  {4, 255, 0, 0},     {5, 100, 0, 0},
                             {10, 0, 0, 255},    {13, 0, 255, 0},   {18, 255, 236, 200}, {20, 0, 0, 0},
                             {21, 247, 231, 168}, {23, 138, 145, 150}, {26, 44, 44, 44}, {28, 90, 90, 90}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e[0]);
    EXPECT_EQ((std::vector<int>{e[1], e[2], e[3]}), ServerChannels(statdata.GetColour(e[0])));
  }
  EXPECT_EQ(0, statdata.GetColour(29));
  EXPECT_EQ(0, statdata.GetColour(-1));
}

TEST(ColourTable, AFullTableDropsFurtherColoursAndAnEmptyOneReadsZero) {
  SStaticData table;
  EXPECT_EQ(0, table.GetColour(0));
  EXPECT_FALSE(table.ColoursAdded());
  table.AddColours();
  EXPECT_EQ(-1, table.AddColour(SCOL(1, 2, 3)));
  EXPECT_EQ(SStaticData::kColourSlots, table.ColourCount());
  EXPECT_EQ(statdata.GetColour(28), table.GetColour(28));
}

TEST(Colours, AllocateFromEightBitChannels) {
  EXPECT_EQ((std::vector<int>{160, 90, 0}), ServerChannels(SCOL(160, 90, 0)));
  SColourListSimple list;
  ASSERT_EQ(8u, list.Colours().size());
  EXPECT_EQ((std::vector<int>{255, 255, 255}), ServerChannels(list.Colours()[0]));
  EXPECT_EQ((std::vector<int>{0, 0, 255}), ServerChannels(list.Colours()[1]));
  EXPECT_EQ((std::vector<int>{128, 255, 0}), ServerChannels(list.Colours()[6]));
  EXPECT_EQ((std::vector<int>{255, 236, 200}), ServerChannels(list.Colours()[7]));
}

TEST(SharedResources, PensBrushesAndFontsAreSharedByTheirKeys) {
  SStaticData registry;
  auto* pen = registry.FindPen(0x123456);
  EXPECT_EQ(pen, registry.FindPen(0x123456));
  EXPECT_EQ(1, pen->Width());
  EXPECT_FALSE(pen->Dashed());
  EXPECT_NE(pen, registry.FindPen(0x654321));

  // A patterned brush is found by its alternative colour, not by its own.
  registry.Brushes().push_back(new SDrawBrush(0x111111, 3, nullptr));
  registry.Brushes().back()->SetAlternativeColour(0x222222);
  EXPECT_EQ(registry.Brushes().back(), registry.FindBrush(0x222222));
  SDrawBrush* solid = registry.FindBrush(0x111111);
  EXPECT_EQ(SDrawBrush::kSolid, solid->Style());
  EXPECT_EQ(2u, registry.Brushes().size());

  SDrawFont* regular = registry.FindFont(10, false, false);
  EXPECT_EQ(regular, registry.FindFont(10, false, false));
  EXPECT_NE(regular, registry.FindFont(10, true, false));
  EXPECT_NE(regular, registry.FindFont(10, false, true));
  EXPECT_EQ(3u, registry.Fonts().size());

  // Release frees everything (the leak checker watches); later requests make fresh objects.
  registry.Release();
  EXPECT_TRUE(registry.Pens().empty());
  EXPECT_TRUE(registry.Brushes().empty());
  EXPECT_TRUE(registry.Fonts().empty());
  EXPECT_TRUE(registry.FindFont(10, false, false)->IsLoaded());
}

TEST(SharedResources, FontsAreNamedByTheirSizeRange) {
  SDrawFont small(7, true, false, false, nullptr);
  EXPECT_STREQ("-misc-fixed-medium-r-*--7-*-*-*-*-*-iso8859-1", small.Name());
  SDrawFont body(10, true, true, false, nullptr);
  EXPECT_STREQ("-adobe-helvetica-bold-o-*--10-*-*-*-*-*-iso8859-1", body.Name());
  SDrawFont family(12, false, true, false, "adobe-times");
  EXPECT_STREQ("-adobe-times-medium-i-normal--12-*-*-*-*-*-iso8859-1", family.Name());
  // Above 12 pixels the sizes are tried from four above downwards.
  SDrawFont large(14, false, false, false, nullptr);
  EXPECT_STREQ("-adobe-helvetica-medium-r-normal--18-*-*-*-*-*-iso8859-1", large.Name());
  for (SDrawFont* font : {&small, &body, &family, &large}) {
    SCOPED_TRACE(font->Name());
    EXPECT_TRUE(font->IsLoaded());
    EXPECT_NE(0ul, font->FontId());
    EXPECT_GT(font->Ascent(), 0);
  }
  EXPECT_STREQ(large.Name(), large.LoadedName());
}

TEST(SharedResources, MissingFontsFallBackSoThatTextIsAlwaysDrawn) {
  SDrawFont unknown(12, true, false, false, "nofoundry-nosuchfamily");
  EXPECT_STREQ("-nofoundry-nosuchfamily-bold-r-bold--12-*-*-*-*-*-iso8859-1", unknown.Name());
  ASSERT_TRUE(unknown.IsLoaded());
  EXPECT_STRNE(unknown.Name(), unknown.LoadedName());
  EXPECT_NE(nullptr, std::strstr(unknown.LoadedName(), "-bold-"));
  EXPECT_NE(nullptr, std::strstr(unknown.LoadedName(), "--12-"));
  EXPECT_GT(unknown.TextWidth("abc", 3), 0);

  // A size no font has: only the last resort is left.
  SDrawFont impossible(-1, false, false, false, nullptr);
  ASSERT_TRUE(impossible.IsLoaded());
  EXPECT_STREQ("fixed", impossible.LoadedName());
}

TEST(Globals, IdsAreUniqueAcrossThreads) {
  SGlobals globals;
  EXPECT_EQ(0, globals.LastId());
  constexpr int kThreads = 4, kEach = 2000;
  std::vector<std::vector<int>> taken(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) taken[t].push_back(globals.NextId());
    });
  for (auto& thread : threads) thread.join();
  std::set<int> all;
  for (const auto& ids : taken) all.insert(ids.begin(), ids.end());
  EXPECT_EQ(static_cast<size_t>(kThreads * kEach), all.size());
  EXPECT_EQ(1, *all.begin());
  EXPECT_EQ(kThreads * kEach, *all.rbegin());
  EXPECT_EQ(kThreads * kEach, globals.LastId());
}

TEST(Globals, EachInstanceSeedsItsOwnGenerator) {
  SGlobals first;
  SGlobals second;
  EXPECT_NE(first.GetSeed(), second.GetSeed());
  tovo::math::random::generator::SRandomMarsaglia reference;
  reference.Seed(first.GetSeed());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(reference.Integer(), first.GetRandom().Integer());
  EXPECT_EQ(nullptr, first.GetCursor());
  EXPECT_EQ(nullptr, first.GetPopupMenu());
  EXPECT_EQ(0ul, first.GetParentWindow());
}

TEST(Globals, BinaryDataSplitsTheLibraryPath) {
  SGlobals globals;
  globals.SetBinaryData("/usr/lib/vst/vantorine.so");
  EXPECT_STREQ("/usr/lib/vst/", globals.GetDirectory().Get());
  EXPECT_STREQ("vantorine.so", globals.GetFileName().Get());
  globals.SetBinaryData(nullptr);
  EXPECT_STREQ("", globals.GetDirectory().Get());
  EXPECT_STREQ("", globals.GetFileName().Get());
}
