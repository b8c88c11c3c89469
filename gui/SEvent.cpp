// Message records and the listener table.
#include "gui/SEvent.h"

#include <algorithm>
#include <ctime>

namespace tovo::gui {

SEvent::SEvent()
    : time(static_cast<int>(std::clock())),
      type(-1),
      kind(0),
      value(0),
      fvalue(0.0f),
      sender(nullptr),
      lock(nullptr),
      data(nullptr) {}

int SEventHandler::Add(SControl* listener) {
  auto found = std::find(listeners.begin(), listeners.end(), listener);
  if (found != listeners.end()) return static_cast<int>(found - listeners.begin());
  listeners.push_back(listener);
  return static_cast<int>(listeners.size()) - 1;
}

void SEventHandler::Remove(SControl* listener) {
  auto found = std::find(listeners.begin(), listeners.end(), listener);
  if (found != listeners.end()) listeners.erase(found);
}

SEventManager::SEventManager() {
  rows.reserve(kRows);
  for (int type = 0; type < kRows; ++type) rows.emplace_back(type);
}

int SEventManager::EnableListener(SControl* listener, int type) {
  SEventHandler* row = GetEventHandler(type);
  if (!listener || !row) return -1;
  return row->Add(listener);
}

void SEventManager::DisableListener(SControl* listener, int type) {
  if (SEventHandler* row = GetEventHandler(type)) row->Remove(listener);
}

SEventHandler* SEventManager::GetEventHandler(int type) {
  return type >= 0 && type < kRows ? &rows[type] : nullptr;
}

const SEventHandler* SEventManager::GetEventHandler(int type) const {
  return type >= 0 && type < kRows ? &rows[type] : nullptr;
}

}  // namespace tovo::gui
