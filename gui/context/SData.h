// The payload the clipboard carries: empty, a text, an int, a float or a block of custom bytes, each
// tagged with its format code. The buffers are owned copies.
#pragma once

namespace tovo::gui::context {

class SData {
 public:
  enum Format : int { kEmpty = 0, kText = 1, kInteger = 16, kFloat = 32, kCustom = 128 };

  SData() = default;
  // kText copies the zero-terminated text; kInteger and kFloat read one value from data; kCustom copies
  // size bytes. A null or empty payload gives an empty SData; other formats keep the code with size 0.
  SData(int format, const void* data, unsigned size);
  virtual ~SData();
  SData(const SData&) = delete;
  SData& operator=(const SData&) = delete;

  virtual unsigned GetSize() const { return size; }
  virtual void SetSize(unsigned s) { size = s; }
  virtual void SetFormat(int f) { format = f; }
  virtual int GetFormat() const { return format; }

  void SetTextData(const char* text);
  void SetCustomData(const void* bytes, unsigned length);
  void SetValueI(int value);
  void SetValueF(float value);
  // The stored value when the format matches, else null.
  int* GetValueI() { return format == kInteger ? &intValue : nullptr; }
  float* GetValueF() { return format == kFloat ? &floatValue : nullptr; }
  const char* GetTextData() const { return text; }
  const unsigned char* GetCustomData() const { return custom; }

 private:
  int format = kEmpty;
  unsigned size = 0;
  char* text = nullptr;
  unsigned char* custom = nullptr;
  int intValue = 0;
  float floatValue = 0.0f;
};

class SDataSimple {
 public:
  virtual ~SDataSimple() = default;
};

}  // namespace tovo::gui::context
