// Text made to fit a width: a line whole when it fits, else as much as fits followed by "...", so that a
// shortened text shows that it is; a longer text broken into lines. Texts are in the fonts' Latin-1,
// measured with the font's widths.
#pragma once

#include <string>

namespace tovo::gui {

namespace context {
class SDrawFont;
}

std::string FitToWidth(std::string text, const context::SDrawFont* font, int width);
// The text in at most `lines` lines of that width, joined by line feeds: broken after a space where there
// is one in the line, else where the width ends; the last line shortened as FitToWidth does.
std::string WrapToWidth(const std::string& text, const context::SDrawFont* font, int width, int lines);

}  // namespace tovo::gui
