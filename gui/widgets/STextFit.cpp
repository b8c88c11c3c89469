#include "gui/widgets/STextFit.h"

#include "gui/context/SDrawFont.h"

namespace tovo::gui {

namespace {

constexpr const char* kCut = "...";

int Width(const context::SDrawFont* font, const std::string& text) {
  return font->TextWidth(text.c_str(), static_cast<int>(text.size()));
}

// How many characters of `text` from `at` fit the width, at least one.
size_t Fitting(const context::SDrawFont* font, const std::string& text, size_t at, int width) {
  size_t count = 1;
  while (at + count < text.size() && Width(font, text.substr(at, count + 1)) <= width) ++count;
  return count;
}

}  // namespace

std::string WrapToWidth(const std::string& text, const context::SDrawFont* font, int width, int lines) {
  std::string wrapped;
  size_t at = 0;
  for (int line = 1; line < lines && at < text.size(); ++line) {
    size_t count = Fitting(font, text, at, width);
    if (at + count == text.size()) break;
    const size_t space = text.rfind(' ', at + count);
    if (space != std::string::npos && space > at) count = space - at;
    wrapped += text.substr(at, count) + "\n";
    at += count;
    while (at < text.size() && text[at] == ' ') ++at;
  }
  return wrapped + FitToWidth(text.substr(at), font, width);
}

std::string FitToWidth(std::string text, const context::SDrawFont* font, int width) {
  if (Width(font, text) <= width) return text;
  while (!text.empty() && Width(font, text + kCut) > width) text.pop_back();
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text + kCut;
}

}  // namespace tovo::gui
