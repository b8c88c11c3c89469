#include "names/NameText.h"

#include <algorithm>
#include <tuple>

namespace vantorine::names {

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The Levenshtein distance between a and b, or limit + 1 when it is larger: names whose lengths differ by
// more than the limit are never compared letter by letter, so a huge name costs nothing.
size_t EditDistance(const std::string& a, const std::string& b, size_t limit) {
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) return limit + 1;
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    size_t best = row[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
      best = std::min(best, row[j]);
    }
    if (best > limit) return limit + 1;
  }
  return row[b.size()];
}

}  // namespace

std::string Collapsed(std::string_view text) {
  std::string result;
  bool space = false;
  for (char c : text) {
    if (IsSpace(c)) {
      space = !result.empty();
      continue;
    }
    if (space) result += ' ';
    space = false;
    result += c;
  }
  return result;
}

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = Lower(c);
  return lowered;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char x, char y) { return Lower(x) == Lower(y); }) != text.end();
}

std::vector<std::string> ClosestNames(std::string_view wanted, const std::vector<std::string>& names,
                                      size_t count) {
  const std::string lowered = Lowered(Collapsed(wanted));
  if (lowered.empty()) return {};
  const size_t limit = std::max<size_t>(1, lowered.size() / 3);
  // (containing it ? 0 : 1, length or distance, order given) for each close name.
  std::vector<std::tuple<int, size_t, size_t>> ranked;
  for (size_t n = 0; n < names.size(); ++n) {
    const std::string name = Lowered(names[n]);
    if (name.find(lowered) != std::string::npos) {
      ranked.emplace_back(0, name.size(), n);
    } else {
      const size_t distance = EditDistance(lowered, name, limit);
      if (distance <= limit) ranked.emplace_back(1, distance, n);
    }
  }
  std::sort(ranked.begin(), ranked.end());
  std::vector<std::string> closest;
  for (const auto& entry : ranked) {
    if (closest.size() == count) break;
    const std::string& name = names[std::get<2>(entry)];
    if (std::find(closest.begin(), closest.end(), name) == closest.end()) closest.push_back(name);
  }
  return closest;
}

std::string Folded(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (const char c : text) {
    const bool ascii = static_cast<unsigned char>(c) < 0x80;
    const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!ascii || letterOrDigit) folded.push_back(Lower(c));
  }
  return folded;
}

WordFilter::WordFilter(std::string_view typed) {
  size_t start = 0;
  while (start < typed.size()) {
    size_t end = typed.find(' ', start);
    if (end == std::string_view::npos) end = typed.size();
    std::string word = Folded(typed.substr(start, end - start));
    if (!word.empty()) words.push_back(std::move(word));
    start = end + 1;
  }
}

bool WordFilter::MatchesFolded(std::string_view folded) const {
  for (const std::string& word : words)
    if (folded.find(word) == std::string_view::npos) return false;
  return true;
}

}  // namespace vantorine::names
