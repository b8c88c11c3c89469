// Reading the kernel's small text files ("/proc/...") and the numbers in them. The files are read once at
// load time, possibly inside a host that has switched to a locale with a decimal comma, so numbers are
// parsed here by hand rather than with strtod.
#pragma once

#include <cstddef>

namespace tovo::system {

// Reads at most capacity - 1 bytes of the file at path into buffer and NUL-terminates it. Returns the
// number of bytes read, or -1 when the file cannot be opened.
long ReadFilePrefix(const char* path, char* buffer, std::size_t capacity);

// The leading decimal number of text ("2.6.32" reads as 2.6, "5.15.0-91" as 5.15), after leading
// blanks; 0 when the text does not start with one. Always with a decimal point, whatever the locale.
double ParseDecimal(const char* text);

}  // namespace tovo::system
