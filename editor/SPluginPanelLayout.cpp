// The panel's layout and picture: which strip takes which column, the panel's width for the columns in
// use, and the static picture (the texts under the logo, the rounded frames, the preset name, the column
// legend and the strip labels) drawn into the off-screen bitmap that Draw copies to the window.
#include <cstdio>
#include <cstring>

#include "editor/SPluginEditor.h"
#include "editor/PanelColours.h"
#include "editor/SPluginPanel.h"
#include "editor/SSoundPlace.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SButton.h"
#include "plugin/ProductInfo.h"
#include "plugin/VSTPlugin.h"
#include "preset/PresetBytes.h"
#include "preset/StripRows.h"

using tovo::gui::SControl;
using tovo::gui::SRect;
using tovo::gui::context::SDrawFont;
using tovo::gui::context::statdata;

using namespace panelcolour;

namespace {

constexpr int kTextAngle = 90;
constexpr int kLabelRoom = 72;
// Where the strip area, the preset name's column and the legend end: above the strip buttons.
constexpr int kAreaBottom = SPluginPanel::kStripButtonTop - 4;

SRect ColumnLabel(int column) { return {101 + 25 * column, 16, 125 + 25 * column, 88}; }

}  // namespace

std::array<SControl*, SPluginPanel::kControlsPerRow> SPluginPanel::Row::Controls() const {
  return {channel, program, bankMsb, swap, bankLsb, volume, controllerValues[0], controllerValues[1],
          controllerValues[2], controllerValues[3], stripButton};
}

const VSTPluginProgram& SPluginPanel::Preset() const { return plugin->CurrentProgram(); }

// --- Columns ---------------------------------------------------------------------------------------------

// The order may name strips that are no longer in use (a preset from a host or a file): those rows are
// emptied, and the count follows the columns, in one edit that makes no X call.
void SPluginPanel::RecalculatePositions() {
  for (int r = 1; r < kRows; ++r) rowShown[r] = 0;
  plugin->EditCurrentPreset([](VSTPluginProgram& preset, VSTPluginProgramExtension& extension) {
    vantorine::preset::TidyStripRows(preset, extension);
  });
  columnCount = 1;
  const VSTPluginProgram& preset = Preset();
  for (int position = 1; position < kStripCount; ++position) {
    const int r = LoadShared(preset.stripOrder[position]);
    // Strip 0 always owns the first column; an entry that names it again is no column of its own.
    if (r < 1 || r >= kRows || !StripInUse(preset.strips[r])) continue;
    ClearControl(r);
    const int c = columnCount;
    Row& row = rows[r];
    row.label = ColumnLabel(c);
    const std::array<SControl*, kControlsPerRow> controls = row.Controls();
    for (int i = 0; i < kValueRows; ++i)
      controls[i]->SetPosition(101 + 25 * c, kFirstValueTop + kRowPitch * i);
    row.stripButton->SetPosition(100 + 25 * c, kStripButtonTop);
    row.soundPlace->SetPosition(101 + 25 * c, kSoundTop);
    row.shown = true;
    row.column = c;
    ++columnCount;
    rowShown[r] = 1;
  }
  RecalculateSize(columnCount);
}

void SPluginPanel::RecalculateSize(int columns) {
  if (editor) editor->SetSize(WidthFor(columns), kHeight);
  plugin->PanelColumns() = columns;
  for (int r = 1; r < kRows; ++r) {
    if (!rowShown[r]) {
      ResetControl(r);
      continue;
    }
    for (SControl* control : rows[r].Controls()) control->Show();
  }
  RefreshLabels();
}

void SPluginPanel::ClearControl(int r) {
  Row& row = rows[r];
  row.label = {0, 0, 0, 0};
  for (tovo::gui::SDial<int>* dial : {row.channel, row.program, row.bankMsb, row.bankLsb, row.volume})
    dial->SetValue(0, false);
  for (tovo::gui::SDial<int>* dial : row.controllerValues) dial->SetValue(0, false);
  row.swap->SetValue(0, false);
  row.shown = false;
  row.column = kNoColumn;
}

void SPluginPanel::ResetControl(int r) {
  ClearControl(r);
  for (SControl* control : rows[r].Controls()) control->Hide();
  rows[r].soundPlace->Hide();
}

// --- Picture ---------------------------------------------------------------------------------------------

template <typename Steps>
void SPluginPanel::DrawOffscreen(Steps draw) {
  if (!drawing || !bufferDevice) return;
  tovo::gui::context::SDrawDevice* screen = drawing->GetDevice();
  drawing->SetDevice(bufferDevice);
  draw(*drawing);
  drawing->SetDevice(screen);
  Refresh();
}

namespace {

void FillRounded(tovo::gui::context::SDrawing& target, int left, int top, int right, int bottom, int colour) {
  target.SetPen(statdata.FindPen(colour));
  target.SetBrush(statdata.FindBrush(colour));
  target.FillRoundedRect(left, top, right, bottom, 7, 7);
}

void DrawUpwards(tovo::gui::context::SDrawing& target, const char* text, const SRect& rect, SDrawFont* font,
                 int colour) {
  target.SetFont(font);
  target.SetTextColour(colour, false);
  target.DrawRotatedText(text, rect, kTextAngle, 0, {0, 0});
}

}  // namespace

void SPluginPanel::DrawPresetName() {
  DrawUpwards(*drawing, presetName, {64, 109, 80, 199}, statdata.FindFont(8, false, false), Slot(kWhite));
}

void SPluginPanel::DrawStripArea() {
  const int columns = plugin ? plugin->PanelColumns() : 1;
  FillRounded(*drawing, 93, 13, 25 * columns + 102, kAreaBottom, Slot(kBlack));
  FillRounded(*drawing, 93, kSoundBandTop, 25 * columns + 102, kSoundBandBottom, Slot(kBlack));
}

// Left of the band, as left of the strips: the dark red frame, the inner grey legend column naming what
// the columns show.
void SPluginPanel::DrawSoundLegend() {
  FillRounded(*drawing, 62, kSoundBandTop, 125, kSoundBandBottom, Slot(kDarkRed));
  FillRounded(*drawing, 82, kSoundBandTop + 1, 125, kSoundBandBottom - 1, Slot(kInner));
  DrawUpwards(*drawing, "Sound", {kLegendLeft, kSoundTop, kLegendRight, kSoundTop + kSoundHeight},
              statdata.FindFont(7, false, false), Slot(kGrey));
}

void SPluginPanel::DrawLabels() {
  if (!plugin) return;
  const VSTPluginProgram& preset = Preset();
  for (int r = 0; r < kRows; ++r) {
    const Row& row = rows[r];
    if (!row.shown) continue;
    char text[kLabelSize];
    LoadLabel(preset.strips[r], text);
    // The largest of 12, 10 and 8 points in which the label fits the column's label area.
    int size = 12;
    const int length = static_cast<int>(std::strlen(text));
    if (length > 0) {
      while (size > 8 && statdata.FindFont(size, false, false)->TextWidth(text, length) > kLabelRoom) size -= 2;
    }
    DrawUpwards(*drawing, text, row.label, statdata.FindFont(size, true, false), Slot(kWhite));
  }
}

void SPluginPanel::RefreshPanel() {
  DrawOffscreen([this](tovo::gui::context::SDrawing& target) {
    SControl::Draw({0, 0, clientRect.right - clientRect.left, clientRect.bottom - clientRect.top});
    SDrawFont* small = statdata.FindFont(7, false, false);
    char product[32];
    std::snprintf(product, sizeof(product), "%s %.2f", vantorine::kProductName, vantorine::kProductVersion);
    DrawUpwards(target, product, {16, 10, 28, 98}, small, Slot(kWhite));
    DrawUpwards(target, "Vantorine team", {28, 10, 40, 98}, small, Slot(kGrey));
    DrawUpwards(target, "VST by Steinberg", {40, 10, 52, 98}, small, Slot(kGrey));
    FillRounded(target, 62, 13, 125, kAreaBottom, Slot(kDarkRed));
    FillRounded(target, 82, 14, 125, kAreaBottom - 1, Slot(kInner));
    DrawSoundLegend();
    DrawStripArea();
    DrawPresetName();
    // The legend names each row where its header would stand; the controller rows have header dials there.
    DrawUpwards(target, "Label", {kLegendLeft, 16, kLegendRight, 88}, small, Slot(kGrey));
    static constexpr const char* kLegend[kOwnValueRows] = {"CH", "PC", "MSB", "S", "LSB", "VOL"};
    for (int i = 0; i < kOwnValueRows; ++i)
      DrawUpwards(target, kLegend[i], LegendPlace(i), small, Slot(kGrey));
    DrawLabels();
  });
}

void SPluginPanel::RefreshLabels() {
  DrawOffscreen([this](tovo::gui::context::SDrawing& target) {
    const int width = clientRect.right - clientRect.left;
    const int height = clientRect.bottom - clientRect.top;
    target.SetBrush(statdata.FindBrush(Slot(kBlack)));
    target.FillRect(100, 0, width, height);
    target.SetBrush(statdata.FindBrush(Slot(kBody)));
    target.FillRect(100, 10, width - 10, height - 10);
    target.SetBrush(statdata.FindBrush(Slot(kDarkRed)));
    target.FillRect(65, 14, 82, kAreaBottom - 1);
    DrawPresetName();
    DrawStripArea();
    DrawLabels();
    target.SetPen(statdata.FindPen(Slot(kBlue)));
    target.DrawRect(0, 0, width, height);
  });
}

void SPluginPanel::Draw(const SRect&) {
  if (!drawing || !bufferDevice || !bufferBitmap) return;
  drawing->DrawMemory(bufferDevice, 0, 0, 0, 0, clientRect.right - clientRect.left,
                      clientRect.bottom - clientRect.top);
}
