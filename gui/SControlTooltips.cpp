// A control's tooltip: the data it owns, and showing and hiding that data in the tooltip window named
// by the data.
#include "gui/SControl.h"
#include "gui/widgets/SToolTip.h"
#include "gui/widgets/SToolTipData.h"

namespace tovo::gui {

void SControl::SetTooltip(SToolTip* tooltip, const char* text, int placement) {
  ReleaseTooltip();
  if (!tooltip) return;
  tooltipData = new SToolTipData(tooltip, this, placement);
  tooltipData->AddLabel(text, 0);
  tooltip->Register(this);
}

void SControl::SetTooltip(SToolTip* tooltip, const SLabelText& text, int placement) {
  SetTooltip(tooltip, text.Get(), placement);
}

void SControl::SetTooltip(SToolTip* tooltip, SToolTipData* data, int placement) {
  if (data != tooltipData) ReleaseTooltip();
  tooltipData = data;
  if (!data) return;
  data->Attach(tooltip, this, placement);
  if (tooltip) tooltip->Register(this);
}

void SControl::ShowTooltip(const SPoint& point) {
  if (tooltipData && tooltipData->GetTooltip()) tooltipData->GetTooltip()->Open(tooltipData, point);
}

void SControl::HideTooltip() {
  if (tooltipData) tooltipData->Close();
}

void SControl::CloseTip() { HideTooltip(); }

SPoint SControl::TooltipPosition() {
  SToolTip* tooltip = tooltipData ? tooltipData->GetTooltip() : nullptr;
  return tooltip ? tooltip->Place(tooltipData) : SPoint{0, 0};
}

void SControl::ReleaseTooltip() {
  delete tooltipData;
  tooltipData = nullptr;
}

}  // namespace tovo::gui
