// The parameter table, value conversion, and telling the host what the plug-in changed itself.
#include "clap/ClapParameters.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugin/PresetNumber.h"

namespace vantorine::clap {
namespace {

void CopyName(const std::string& from, char* to, size_t size) {
  std::snprintf(to, size, "%s", from.c_str());
}

}  // namespace

ClapParameters::ClapParameters(Engine& engineToAsk)
    : engine(engineToAsk),
      engineCount(static_cast<uint32_t>(std::clamp(engineToAsk.ParameterCount(), 0, int{kMaxEngineParameters}))) {
  TakeAllAsReported();
}

int ClapParameters::SlotOf(clap_id id) const {
  if (id == kPresetId) return static_cast<int>(engineCount);
  return id < engineCount ? static_cast<int>(id) : -1;
}

double ClapParameters::Current(uint32_t slot) const {
  if (slot == engineCount) return engine.Preset() + 1;
  return engine.Parameter(static_cast<int>(slot)) > 0.5f ? 1.0 : 0.0;
}

bool ClapParameters::Info(uint32_t index, clap_param_info_t& info) const {
  if (index > engineCount) return false;
  info = {};
  info.flags = CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_AUTOMATABLE;
  if (index == engineCount) {
    info.id = kPresetId;
    CopyName("Preset", info.name, sizeof(info.name));
    info.min_value = 1;
    info.max_value = kProgramCount;
    info.default_value = 1;
  } else {
    info.id = index;
    CopyName(engine.ParameterName(static_cast<int>(index)), info.name, sizeof(info.name));
    info.min_value = 0;
    info.max_value = 1;
    info.default_value = 0;
  }
  return true;
}

bool ClapParameters::Value(clap_id id, double& value) const {
  const int slot = SlotOf(id);
  if (slot < 0) return false;
  value = Current(static_cast<uint32_t>(slot));
  return true;
}

bool ClapParameters::ValueToText(clap_id id, double value, char* text, uint32_t size) const {
  if (SlotOf(id) < 0 || !text || size == 0) return false;
  if (id == kPresetId)
    std::snprintf(text, size, "%d", PresetFromNumber(value) + 1);
  else
    std::snprintf(text, size, "%s", value > 0.5 ? "On" : "Off");
  return true;
}

bool ClapParameters::TextToValue(clap_id id, const char* text, double& value) const {
  if (SlotOf(id) < 0 || !text) return false;
  if (id == kPresetId) {
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text) return false;
    value = PresetFromNumber(static_cast<double>(number)) + 1;
    return true;
  }
  if (std::strcmp(text, "On") == 0 || std::strcmp(text, "1") == 0) value = 1;
  else if (std::strcmp(text, "Off") == 0 || std::strcmp(text, "0") == 0) value = 0;
  else return false;
  return true;
}

// What the host sets is what it was told: it needs no echo.
void ClapParameters::Apply(const clap_event_param_value_t& event) {
  const int slot = SlotOf(event.param_id);
  if (slot < 0) return;
  if (event.param_id == kPresetId) {
    const int preset = PresetFromNumber(event.value);
    if (preset != engine.Preset()) engine.SelectPreset(preset);
    reported[slot].store(preset + 1, std::memory_order_relaxed);
    return;
  }
  // The engine refuses NaN and anything out of 0 to 1 itself.
  engine.SetParameter(slot, static_cast<float>(event.value));
  reported[slot].store(event.value > 0.5 ? 1.0 : 0.0, std::memory_order_relaxed);
}

void ClapParameters::Report(const clap_output_events_t& out, uint32_t frame) {
  for (uint32_t slot = 0; slot <= engineCount; ++slot)
    if (!ReportSlot(out, slot, frame)) return;
}

void ClapParameters::ReportAfterBlock(const clap_output_events_t& out, uint32_t frame) {
  if (Current(engineCount) != reported[engineCount].load(std::memory_order_relaxed)) Report(out, frame);
}

bool ClapParameters::ReportSlot(const clap_output_events_t& out, uint32_t slot, uint32_t frame) {
  const double value = Current(slot);
  if (value == reported[slot].load(std::memory_order_relaxed)) return true;
  clap_event_param_value_t event = {};
  event.header = {sizeof(event), frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  event.param_id = slot == engineCount ? kPresetId : slot;
  event.note_id = -1;
  event.port_index = -1;
  event.channel = -1;
  event.key = -1;
  event.value = value;
  if (!out.try_push(&out, &event.header)) return false;
  reported[slot].store(value, std::memory_order_relaxed);
  return true;
}

bool ClapParameters::Unreported() const {
  for (uint32_t slot = 0; slot <= engineCount; ++slot)
    if (Current(slot) != reported[slot].load(std::memory_order_relaxed)) return true;
  return false;
}

void ClapParameters::TakeAllAsReported() {
  for (uint32_t slot = 0; slot <= engineCount; ++slot) reported[slot].store(Current(slot), std::memory_order_relaxed);
}

}  // namespace vantorine::clap
