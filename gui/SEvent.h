// The messages that controls send one another (value changes, clicks, timer ticks, shortcuts) and the
// listener table every control keeps: thirteen rows, one per message type, each a list of listeners.
#pragma once

#include <vector>

namespace tovo::threading {
class SMutexID;
}

namespace tovo::gui {

class SControl;

// Rows of the listener table that this system uses.
enum SEventType : int {
  kEventValueChanged = 3,
  kEventControlChanged = 5,
  kEventTimer = 9,
  kEventTextKey = 10,
  kEventShortcut = 11,
  kEventDialogResult = 12,
};

// What the payload of an event is.
enum SEventKind : int { kKindValue = 1, kKindRecord = 4 };

struct SEvent {
  SEvent();

  int time;
  int type;
  int kind;
  int value;
  float fvalue;
  SControl* sender;
  tovo::threading::SMutexID* lock;
  void* data;
};

// One row of the listener table.
class SEventHandler {
 public:
  explicit SEventHandler(int rowType) : type(rowType) {}

  // Appends unless listed; returns the listener's index.
  int Add(SControl* listener);
  void Remove(SControl* listener);
  const std::vector<SControl*>& Listeners() const { return listeners; }
  int Type() const { return type; }
  bool Enabled() const { return enabled; }
  void SetEnabled(bool on) { enabled = on; }

 private:
  std::vector<SControl*> listeners;
  int type;
  bool enabled = false;
};

class SEventManager {
 public:
  static constexpr int kRows = 13;

  SEventManager();

  // -1 for a null listener or a type outside the table.
  int EnableListener(SControl* listener, int type);
  void DisableListener(SControl* listener, int type);
  // Null outside 0-12.
  SEventHandler* GetEventHandler(int type);
  const SEventHandler* GetEventHandler(int type) const;

 private:
  std::vector<SEventHandler> rows;
};

}  // namespace tovo::gui
