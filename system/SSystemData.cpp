// The machine survey and the requirements check.
#include "system/SSystemData.h"

#include <cstdio>

#include "gui/SDisplay.h"

namespace tovo::system {

SSystemData sd;

SSystemData::~SSystemData() { delete displays; }

void SSystemData::Gather() {
  getOSInfos();
  getCPUInfos();
  getDisplayInfos();
}

bool SSystemData::getOSInfos() {
  osData.QueryFeatures(sources.kernel);
  osText.Clear(false).Append(osData.Text());
  osQualifies = osData.Qualifies();
  return osQualifies;
}

void SSystemData::getCPUInfos() {
  processorData.QueryRegistry(sources.cpuinfo);
  clockRate = processorData.ClockRate();
  processorCount = processorData.Count();
  cpuText.Clear(false)
      .Append("CPU Type: ")
      .Append(processorData.Vendor())
      .Append("\nCPU Model: ")
      .Append(processorData.Model())
      .Append("\nCPU Count: ")
      .Append(16, "%d", processorCount);
  unsigned features = processorData.Features();
  hasMMX = features & SProcessorData::kMMX;
  hasSSE = features & SProcessorData::kSSE;
  hasSSE2 = features & SProcessorData::kSSE2;
  has3DNow = features & SProcessorData::k3DNow;
}

void SSystemData::getDisplayInfos() {
  if (displays) return;
  displays = new tovo::gui::SDisplay();
  displays->AllMonitorRects();
}

bool SSystemData::Qualifies(bool needSSE, bool needSSE2) const {
  // Without a readable processor text nothing is known about the processor, on any architecture.
  bool processor = processorData.WasRead() && (hasMMX || !MmxApplies());
  if (needSSE2) return osQualifies && processor && hasSSE && hasSSE2;
  if (needSSE) return osQualifies && processor && hasSSE;
  return osQualifies && processor;
}

tovo::data::datastring<32, char> SSystemData::ErrorText(bool needSSE, bool needSSE2) const {
  tovo::data::datastring<32, char> text;
  if (!osQualifies) text.Append("Error: The kernel is older than release 2.4.\n");
  if (!processorData.WasRead()) text.Append("Error: The processor could not be identified.\n");
  else if (MmxApplies() && !hasMMX) text.Append("Error: The processor lacks MMX.\n");
  if ((needSSE || needSSE2) && !hasSSE) text.Append("Error: The processor lacks SSE.\n");
  if (needSSE2 && !hasSSE2) text.Append("Error: The processor lacks SSE2.\n");
  return text;
}

void SSystemData::ErrorMessage(bool needSSE, bool needSSE2) const {
  std::fputs(ErrorText(needSSE, needSSE2).Get(), stderr);
}

}  // namespace tovo::system
