// Clipboard payloads.
#include "gui/context/SData.h"

#include <cstring>

namespace tovo::gui::context {

SData::SData(int f, const void* data, unsigned length) {
  switch (f) {
    case kText:
      SetTextData(static_cast<const char*>(data));
      break;
    case kInteger:
      if (data) {
        std::memcpy(&intValue, data, sizeof intValue);
        format = kInteger;
      }
      break;
    case kFloat:
      if (data) {
        std::memcpy(&floatValue, data, sizeof floatValue);
        format = kFloat;
      }
      break;
    case kCustom:
      SetCustomData(data, length);
      break;
    default:
      format = f;
      break;
  }
}

SData::~SData() {
  delete[] text;
  delete[] custom;
}

void SData::SetTextData(const char* source) {
  delete[] text;
  text = nullptr;
  if (!source || !*source) {
    format = kEmpty;
    size = 0;
    return;
  }
  size = static_cast<unsigned>(std::strlen(source)) + 1;
  text = new char[size];
  std::memcpy(text, source, size);
  format = kText;
}

void SData::SetCustomData(const void* bytes, unsigned length) {
  delete[] custom;
  custom = nullptr;
  if (!bytes || length == 0) {
    format = kEmpty;
    size = 0;
    return;
  }
  custom = new unsigned char[length];
  std::memcpy(custom, bytes, length);
  size = length;
  format = kCustom;
}

void SData::SetValueI(int value) {
  intValue = value;
  format = kInteger;
}

void SData::SetValueF(float value) {
  floatValue = value;
  format = kFloat;
}

}  // namespace tovo::gui::context
