// Graphics contexts on windows and off-screen pixmaps.
#include "gui/context/SDrawDevice.h"

#include <X11/Xlib.h>

#include "gui/XDisplay.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawBrush.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawPen.h"

namespace tovo::gui::context {

SDrawDevice::SDrawDevice(unsigned long on) : display(CurrentDisplay()) { MakeGC(on); }

SDrawDevice::~SDrawDevice() { FreeGC(); }

void SDrawDevice::MakeGC(unsigned long on) {
  drawable = on;
  if (display && on) gc = XCreateGC(display, on, 0, nullptr);
}

void SDrawDevice::FreeGC() {
  if (!gc) return;
  XFlush(display);
  XFreeGC(display, gc);
  gc = nullptr;
}

GC SDrawDevice::Get() { return gc; }

unsigned long SDrawDevice::GetDrawable() { return drawable; }

void SDrawDevice::SetPen(const SDrawPen* pen) {
  if (!gc || !pen) return;
  XSetLineAttributes(display, gc, static_cast<unsigned>(pen->Width()), pen->Dashed() ? LineOnOffDash : LineSolid,
                     CapNotLast, JoinRound);
  XSetForeground(display, gc, static_cast<unsigned long>(static_cast<unsigned>(pen->Colour())));
}

void SDrawDevice::SetBrush(const SDrawBrush* brush) {
  if (!gc || !brush) return;
  XSetForeground(display, gc, static_cast<unsigned long>(static_cast<unsigned>(brush->EffectiveColour())));
}

void SDrawDevice::SetFont(const SDrawFont* font) {
  if (!gc || !font || !font->IsLoaded()) return;
  XSetFont(display, gc, font->FontId());
}

SDrawMemoryDevice::SDrawMemoryDevice(SDrawDevice* compatibleDevice, SDrawBitmap* selected)
    : SDrawDevice(selected ? selected->GetPixmap() : 0), compatible(compatibleDevice), bitmap(selected) {}

void SDrawMemoryDevice::Select(SDrawBitmap* next) {
  if (!next) return;
  FreeGC();
  bitmap = next;
  MakeGC(next->GetPixmap());
}

}  // namespace tovo::gui::context
