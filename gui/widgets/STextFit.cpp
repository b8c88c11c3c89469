#include "gui/widgets/STextFit.h"

#include "gui/context/SDrawFont.h"

namespace tovo::gui {

namespace {

constexpr const char* kCut = "...";

int Width(const context::SDrawFont* font, const std::string& text) {
  return font->TextWidth(text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

std::string FitToWidth(std::string text, const context::SDrawFont* font, int width) {
  if (Width(font, text) <= width) return text;
  while (!text.empty() && Width(font, text + kCut) > width) text.pop_back();
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text + kCut;
}

}  // namespace tovo::gui
