// The two faces of a strip's swap button, 24 x 12 each: two opposite arrows on the black of the strip
// column. Off, they are dim grey on black; on, white on a blue plate, so that a swapped bank order shows
// at a glance.
#pragma once

namespace tovo::images {

constexpr int kSwapWidth = 24;
constexpr int kSwapHeight = 12;

// XPM rows: size and palette first, then one string per pixel row.
inline const char* swap_off[] = {
    "24 12 2 1",
    "g c #808080",
    "k c #000000",
    "kkkkkkkkkkkkkkkkkkkkkkkk",
    "kkkkkkkkkkkkkkkgkkkkkkkk",
    "kkkkkkkkkkkkkkkggkkkkkkk",
    "kkkkggggggggggggggkkkkkk",
    "kkkkkkkkkkkkkkkggkkkkkkk",
    "kkkkkkkkkkkkkkkgkkkkkkkk",
    "kkkkkkkkgkkkkkkkkkkkkkkk",
    "kkkkkkkggkkkkkkkkkkkkkkk",
    "kkkkkkggggggggggggggkkkk",
    "kkkkkkkggkkkkkkkkkkkkkkk",
    "kkkkkkkkgkkkkkkkkkkkkkkk",
    "kkkkkkkkkkkkkkkkkkkkkkkk"
};

inline const char* swap_on[] = {
    "24 12 3 1",
    "W c #FFFFFF",
    "b c #0000FF",
    "k c #000000",
    "kbbbbbbbbbbbbbbbbbbbbbbk",
    "bbbbbbbbbbbbbbbWbbbbbbbb",
    "bbbbbbbbbbbbbbbWWbbbbbbb",
    "bbbbWWWWWWWWWWWWWWbbbbbb",
    "bbbbbbbbbbbbbbbWWbbbbbbb",
    "bbbbbbbbbbbbbbbWbbbbbbbb",
    "bbbbbbbbWbbbbbbbbbbbbbbb",
    "bbbbbbbWWbbbbbbbbbbbbbbb",
    "bbbbbbWWWWWWWWWWWWWWbbbb",
    "bbbbbbbWWbbbbbbbbbbbbbbb",
    "bbbbbbbbWbbbbbbbbbbbbbbb",
    "kbbbbbbbbbbbbbbbbbbbbbbk"
};

}  // namespace tovo::images
