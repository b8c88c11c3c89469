// The system's own text type: a NUL-terminated heap buffer that grows in steps of N characters and keeps
// its length, used for every label, control name, message and formatted number. Strings are not shared
// between threads, but different strings may be used on different threads at the same time: no operation
// touches state outside its own object.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

namespace tovo::data {

template <unsigned N, typename C>
class datastring {
  static_assert(N > 0, "a string needs a growth step");

 public:
  // Empty text in a zero-filled buffer of one step.
  datastring();
  // Copies start from 32 characters (or the text's length rounded up to 32) so that strings kept in
  // arrays do not all begin with a tiny buffer.
  datastring(const datastring& other);
  // printf-style text of at most limit - 2 characters.
  datastring(unsigned limit, const char* format, ...) __attribute__((format(printf, 3, 4)));
  datastring& operator=(const datastring& other);
  ~datastring() { delete[] buffer; }

  // Always NUL-terminated, never null.
  const C* Get() const { return buffer; }
  // Characters before the terminator.
  unsigned Length() const { return size - 1; }
  // Length plus the terminator.
  unsigned Size() const { return size; }
  unsigned Capacity() const { return capacity; }
  unsigned Step() const { return step; }

  // Drops the text and allocates a zero-filled buffer of at least minimum characters (at least one step).
  datastring& Initialize(unsigned minimum);
  // Empties the text; with shrink, also gives back everything beyond one step.
  datastring& Clear(bool shrink);
  // A null text appends nothing.
  datastring& Append(const C* text);
  // A NUL character appends nothing.
  datastring& Append(C c);
  // printf-style; the formatted text is cut to limit - 2 characters.
  datastring& Append(unsigned limit, const C* format, ...) __attribute__((format(printf, 3, 4)));
  // Appends each run of characters between delimiters to out (empty runs are skipped) and returns how
  // many were appended; this string is unchanged.
  int Tokenize(std::vector<datastring<32, C>>& out, const C* delimiters) const;
  // Inserts count copies of c before position; position == Length() appends, beyond it nothing happens.
  datastring& InsertAmountAt(unsigned position, C c, unsigned count);

 private:
  template <unsigned, typename>
  friend class datastring;

  // The smallest multiple of unit that holds wanted characters, never less than one unit.
  static unsigned RoundUp(unsigned wanted, unsigned unit);
  // Capacity for a string built from someone else's text: whole blocks of 32 that are also whole steps.
  static unsigned BlockCapacity(unsigned wanted) { return RoundUp(RoundUp(wanted, 32), N); }
  static unsigned TextLength(const C* text);
  static bool IsDelimiter(C c, const C* delimiters);

  // Makes room for newSize characters (terminator included) by the growth rule, keeping the text.
  void Reserve(unsigned long long newSize);
  void AppendRange(const C* text, unsigned count);
  void AppendFormatted(unsigned limit, const char* format, va_list args);

  C* buffer;
  uint32_t capacity;
  uint32_t size;
  uint32_t step;
};

template <unsigned N, typename C>
unsigned datastring<N, C>::RoundUp(unsigned wanted, unsigned unit) {
  if (wanted <= unit) return unit;
  unsigned long long rounded = (static_cast<unsigned long long>(wanted) + unit - 1) / unit * unit;
  if (rounded > UINT32_MAX) throw std::bad_alloc();
  return static_cast<unsigned>(rounded);
}

template <unsigned N, typename C>
unsigned datastring<N, C>::TextLength(const C* text) {
  unsigned length = 0;
  while (text[length] != C(0)) ++length;
  return length;
}

template <unsigned N, typename C>
bool datastring<N, C>::IsDelimiter(C c, const C* delimiters) {
  if (delimiters == nullptr) return false;
  for (const C* d = delimiters; *d != C(0); ++d) {
    if (*d == c) return true;
  }
  return false;
}

template <unsigned N, typename C>
datastring<N, C>::datastring() : buffer(new C[N]()), capacity(N), size(1), step(N) {}

template <unsigned N, typename C>
datastring<N, C>::datastring(const datastring& other)
    : buffer(nullptr), capacity(BlockCapacity(other.Length())), size(1), step(N) {
  buffer = new C[capacity]();
  AppendRange(other.buffer, other.Length());
}

template <unsigned N, typename C>
datastring<N, C>::datastring(unsigned limit, const char* format, ...)
    : buffer(nullptr), capacity(BlockCapacity(limit)), size(1), step(N) {
  static_assert(std::is_same<C, char>::value, "formatted text is made of char");
  buffer = new C[capacity]();
  va_list args;
  va_start(args, format);
  AppendFormatted(limit, format, args);
  va_end(args);
}

template <unsigned N, typename C>
datastring<N, C>& datastring<N, C>::operator=(const datastring& other) {
  if (this == &other) return *this;
  if (other.size > capacity) {
    unsigned grown = RoundUp(other.size, step);
    C* replacement = new C[grown];
    delete[] buffer;
    buffer = replacement;
    capacity = grown;
  }
  std::memcpy(buffer, other.buffer, other.size * sizeof(C));
  size = other.size;
  return *this;
}

template <unsigned N, typename C>
datastring<N, C>& datastring<N, C>::Initialize(unsigned minimum) {
  unsigned fresh = RoundUp(minimum, step);
  C* replacement = new C[fresh]();
  delete[] buffer;
  buffer = replacement;
  capacity = fresh;
  size = 1;
  return *this;
}

template <unsigned N, typename C>
datastring<N, C>& datastring<N, C>::Clear(bool shrink) {
  if (shrink && capacity > step) {
    C* replacement = new C[step]();
    delete[] buffer;
    buffer = replacement;
    capacity = step;
  }
  buffer[0] = C(0);
  size = 1;
  return *this;
}

template <unsigned N, typename C>
void datastring<N, C>::Reserve(unsigned long long newSize) {
  if (newSize <= capacity) return;
  if (newSize > UINT32_MAX) throw std::bad_alloc();
  unsigned grown = RoundUp(static_cast<unsigned>(newSize), step);
  C* replacement = new C[grown];
  std::memcpy(replacement, buffer, size * sizeof(C));
  delete[] buffer;
  buffer = replacement;
  capacity = grown;
}

template <unsigned N, typename C>
void datastring<N, C>::AppendRange(const C* text, unsigned count) {
  if (count == 0) return;
  Reserve(static_cast<unsigned long long>(size) + count);
  std::memcpy(buffer + size - 1, text, count * sizeof(C));
  size += count;
  buffer[size - 1] = C(0);
}

template <unsigned N, typename C>
datastring<N, C>& datastring<N, C>::Append(const C* text) {
  if (text != nullptr) AppendRange(text, TextLength(text));
  return *this;
}

// The character goes straight from the argument into this string's own buffer: no staging storage is
// shared with other strings, so strings on different threads never see each other's characters.
template <unsigned N, typename C>
datastring<N, C>& datastring<N, C>::Append(C c) {
  if (c != C(0)) AppendRange(&c, 1);
  return *this;
}

template <unsigned N, typename C>
void datastring<N, C>::AppendFormatted(unsigned limit, const char* format, va_list args) {
  if (format == nullptr || limit < 2) return;
  // Measure first so the text can be formatted straight into this buffer, grown once.
  va_list probe;
  va_copy(probe, args);
  int wanted = std::vsnprintf(nullptr, 0, format, probe);
  va_end(probe);
  if (wanted <= 0) return;
  unsigned added = static_cast<unsigned>(wanted) < limit - 2 ? static_cast<unsigned>(wanted) : limit - 2;
  if (added == 0) return;
  Reserve(static_cast<unsigned long long>(size) + added);
  std::vsnprintf(buffer + size - 1, added + 1, format, args);
  size += added;
  buffer[size - 1] = C(0);
}

template <unsigned N, typename C>
datastring<N, C>& datastring<N, C>::Append(unsigned limit, const C* format, ...) {
  static_assert(std::is_same<C, char>::value, "formatted text is made of char");
  va_list args;
  va_start(args, format);
  AppendFormatted(limit, format, args);
  va_end(args);
  return *this;
}

template <unsigned N, typename C>
int datastring<N, C>::Tokenize(std::vector<datastring<32, C>>& out, const C* delimiters) const {
  // Work on a copy: this string may itself live in out, whose storage moves as tokens are added.
  const datastring text(*this);
  int tokens = 0;
  unsigned position = 0;
  const unsigned length = text.Length();
  while (position < length) {
    while (position < length && IsDelimiter(text.buffer[position], delimiters)) ++position;
    unsigned start = position;
    while (position < length && !IsDelimiter(text.buffer[position], delimiters)) ++position;
    if (position > start) {
      out.emplace_back();
      out.back().AppendRange(text.buffer + start, position - start);
      ++tokens;
    }
  }
  return tokens;
}

template <unsigned N, typename C>
datastring<N, C>& datastring<N, C>::InsertAmountAt(unsigned position, C c, unsigned count) {
  if (position > Length() || count == 0 || c == C(0)) return *this;
  Reserve(static_cast<unsigned long long>(size) + count);
  std::memmove(buffer + position + count, buffer + position, (size - position) * sizeof(C));
  for (unsigned i = 0; i < count; ++i) buffer[position + i] = c;
  size += count;
  return *this;
}

// The two forms in use are compiled once, in the library.
extern template class datastring<32, char>;
extern template class datastring<8, char>;

}  // namespace tovo::data
