// A clipboard payload keeps an owned copy of what it was given, tagged with its format, and treats empty
// or missing input as no payload at all.
#include <gtest/gtest.h>

#include <cstring>

#include "gui/context/SData.h"

using tovo::gui::context::SData;

TEST(ClipboardData, ConstructedPayloadsCopyAndTagTheirInput) {
  char text[] = "preset 12";
  SData fromText(SData::kText, text, 0);
  text[0] = 'X';
  EXPECT_EQ(SData::kText, fromText.GetFormat());
  EXPECT_EQ(10u, fromText.GetSize());
  EXPECT_STREQ("preset 12", fromText.GetTextData());
  EXPECT_EQ(nullptr, fromText.GetValueI());

  int number = -7;
  SData fromInt(SData::kInteger, &number, 0);
  ASSERT_NE(nullptr, fromInt.GetValueI());
  EXPECT_EQ(-7, *fromInt.GetValueI());
  EXPECT_EQ(nullptr, fromInt.GetValueF());

  float level = 0.25f;
  SData fromFloat(SData::kFloat, &level, 0);
  ASSERT_NE(nullptr, fromFloat.GetValueF());
  EXPECT_EQ(0.25f, *fromFloat.GetValueF());

  const unsigned char bytes[] = {0, 1, 2, 255};
  SData custom(SData::kCustom, bytes, 4);
  EXPECT_EQ(SData::kCustom, custom.GetFormat());
  EXPECT_EQ(4u, custom.GetSize());
  EXPECT_EQ(0, std::memcmp(bytes, custom.GetCustomData(), 4));

  SData other(64, bytes, 4);
  EXPECT_EQ(64, other.GetFormat());
  EXPECT_EQ(0u, other.GetSize());
}

TEST(ClipboardData, EmptyOrMissingInputIsNoPayload) {
  SData emptyText(SData::kText, "", 0);
  SData nullText(SData::kText, nullptr, 0);
  SData nullCustom(SData::kCustom, nullptr, 8);
  SData nullInt(SData::kInteger, nullptr, 0);
  for (SData* d : {&emptyText, &nullText, &nullCustom, &nullInt}) {
    EXPECT_EQ(SData::kEmpty, d->GetFormat());
    EXPECT_EQ(0u, d->GetSize());
  }
}

TEST(ClipboardData, SettersReplaceThePayload) {
  SData data;
  data.SetTextData("abc");
  EXPECT_EQ(4u, data.GetSize());
  data.SetTextData("longer text");
  EXPECT_STREQ("longer text", data.GetTextData());
  data.SetValueI(5);
  EXPECT_EQ(SData::kInteger, data.GetFormat());
  EXPECT_EQ(5, *data.GetValueI());
  data.SetValueF(1.5f);
  EXPECT_EQ(nullptr, data.GetValueI());
  EXPECT_EQ(1.5f, *data.GetValueF());
  const unsigned char bytes[] = {9, 8};
  data.SetCustomData(bytes, 2);
  EXPECT_EQ(SData::kCustom, data.GetFormat());
  data.SetTextData("");
  EXPECT_EQ(SData::kEmpty, data.GetFormat());
  EXPECT_EQ(0u, data.GetSize());
}
