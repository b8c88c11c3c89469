#include "bank/TextHints.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "names/NameText.h"

namespace vantorine::bank {

namespace {

// Whether `text` is a whole decimal number from low to high, as TOML writes one.
bool IsNumberIn(const std::string& text, int64_t low, int64_t high) {
  if (text.empty() || text.size() > 20) return false;
  char* end = nullptr;
  errno = 0;
  const long long number = std::strtoll(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '+') && number >= low && number <= high;
}

}  // namespace

std::string DidYouMean(const std::string& wanted, const std::vector<std::string>& known, const char* quote) {
  const std::vector<std::string> closest = names::ClosestNames(wanted, known, 1);
  if (closest.empty()) return {};
  return "; did you mean " + std::string(quote) + closest[0] + quote + "?";
}

std::string QuotesHint(const std::string& key, const std::string& text, int64_t low, int64_t high,
                       bool boolean) {
  const std::string lowered = names::Lowered(text);
  std::string unquoted;
  if (boolean && (lowered == "true" || lowered == "false"))
    unquoted = lowered;
  else if (!boolean && IsNumberIn(text, low, high))
    unquoted = std::to_string(std::strtoll(text.c_str(), nullptr, 10));
  if (unquoted.empty()) return {};
  return ": the quotes make it text; write " + key + " = " + unquoted;
}

}  // namespace vantorine::bank
