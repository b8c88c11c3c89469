#include "names/MidnamScan.h"

#include <cstring>

#include "names/GuardedXml.h"
#include "names/Limits.h"
#include "names/NameText.h"

namespace vantorine::names {

namespace {

// Collects the Manufacturer and Model texts of each MasterDeviceNames and ExtendingDeviceNames, which are
// children of the document's root.
class ModelCollector : public XmlEvents {
 public:
  ModelCollector(const std::string& path, MidnamContents& found) : file(path), contents(found) {}

  bool isMidnam() const { return rootIsMidnam; }
  // The models the file names, of which only the first kMaxModelsInFile are collected.
  size_t modelsNamed() const { return named; }

  void startElement(const char* name, int depth) override {
    if (depth == 1) rootIsMidnam = std::strcmp(name, "MIDINameDocument") == 0;
    if (depth == 2) {
      section = std::strcmp(name, "MasterDeviceNames") == 0      ? Section::Master
                : std::strcmp(name, "ExtendingDeviceNames") == 0 ? Section::Extending
                                                                 : Section::Other;
      manufacturer.clear();
      models.clear();
    }
    if (depth == 3 && section != Section::Other) {
      collecting = std::strcmp(name, "Manufacturer") == 0 ? Field::Manufacturer
                   : std::strcmp(name, "Model") == 0      ? Field::Model
                                                          : Field::None;
      collected.clear();
    }
  }

  void text(const char* characters, int length) override {
    if (collecting != Field::None) collected.append(characters, static_cast<size_t>(length));
  }

  void endElement(int depth) override {
    if (depth == 3 && collecting != Field::None) {
      std::string value = Collapsed(collected);
      if (collecting == Field::Manufacturer)
        manufacturer = std::move(value);
      else if (!value.empty() && ++named <= kMaxModelsInFile)
        models.push_back(std::move(value));
      collecting = Field::None;
    }
    if (depth == 2 && rootIsMidnam) {
      for (std::string& model : models) {
        if (section == Section::Master) contents.models.push_back(ModelInfo{model, manufacturer, file});
        if (section == Section::Extending) contents.extended.push_back(model);
      }
      section = Section::Other;
    }
  }

 private:
  enum class Section { Master, Extending, Other };
  enum class Field { Manufacturer, Model, None };

  const std::string& file;
  MidnamContents& contents;
  bool rootIsMidnam = false;
  Section section = Section::Other;
  Field collecting = Field::None;
  std::string collected;
  std::string manufacturer;
  std::vector<std::string> models;
  size_t named = 0;
};

}  // namespace

bool ScanMidnamFile(const std::string& path, MidnamContents& contents, std::string& why) {
  contents = MidnamContents{};
  std::string bytes;
  if (!ReadXmlFileBytes(path, bytes, why)) return false;
  ModelCollector collector(path, contents);
  if (!ParseXmlEvents(bytes, collector, why)) {
    contents = MidnamContents{};
    return false;
  }
  if (!collector.isMidnam()) {
    why = "not a MIDNAM document";
    contents = MidnamContents{};
    return false;
  }
  if (collector.modelsNamed() > kMaxModelsInFile) {
    why = "names " + std::to_string(collector.modelsNamed()) + " models, more than the " +
          std::to_string(kMaxModelsInFile) + " a file may";
    contents = MidnamContents{};
    return false;
  }
  return true;
}

}  // namespace vantorine::names
