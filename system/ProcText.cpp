// File and number helpers for the system probes.
#include "system/ProcText.h"

#include <cstdio>

namespace tovo::system {

long ReadFilePrefix(const char* path, char* buffer, std::size_t capacity) {
  if (capacity == 0) return -1;
  buffer[0] = '\0';
  std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
  if (!file) return -1;
  std::size_t got = std::fread(buffer, 1, capacity - 1, file);
  std::fclose(file);
  buffer[got] = '\0';
  return static_cast<long>(got);
}

double ParseDecimal(const char* text) {
  if (!text) return 0.0;
  while (*text == ' ' || *text == '\t') ++text;
  double value = 0.0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10.0 + (*text - '0');
  if (*text == '.') {
    double scale = 0.1;
    for (++text; *text >= '0' && *text <= '9'; ++text, scale /= 10.0) value += (*text - '0') * scale;
  }
  return value;
}

}  // namespace tovo::system
