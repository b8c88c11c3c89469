// A line of text made to fit a width: whole when it fits, else as much as fits followed by "...", so that
// a shortened text shows that it is. Texts are in the fonts' Latin-1, measured with the font's widths.
#pragma once

#include <string>

namespace tovo::gui {

namespace context {
class SDrawFont;
}

std::string FitToWidth(std::string text, const context::SDrawFont* font, int width);

}  // namespace tovo::gui
