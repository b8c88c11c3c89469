// The slots of the shared colour table that the panel is painted in, and the pixel of a slot.
#pragma once

#include "gui/context/SStaticData.h"

namespace panelcolour {

constexpr int kWhite = 0;
constexpr int kOrange = 2;
constexpr int kRed = 4;
constexpr int kDarkRed = 5;
constexpr int kPink = 7;
constexpr int kLilac = 9;
constexpr int kBlue = 10;
constexpr int kCyan = 12;
constexpr int kGreen = 13;
constexpr int kLime = 16;
constexpr int kYellow = 1;
constexpr int kDisabledText = 19;
constexpr int kSand = 21;
constexpr int kBlack = 20;
constexpr int kGrey = 23;
constexpr int kBody = 24;
constexpr int kInner = 26;

inline int Slot(int slot) { return tovo::gui::context::statdata.GetColour(slot); }

}  // namespace panelcolour
