// The dial: a small box that shows an integer (or a text standing for it) and changes it when the user
// drags vertically (up raises it), turns the wheel or clicks with the middle button. Fine drags step once
// per few pixels, right-button drags per more; each change is reported as a control event (type 5).
#pragma once

#include "data/datastring.h"
#include "gui/widgets/SControllable.h"

namespace tovo::gui {

using SDisplayText = tovo::data::datastring<8, char>;

// Texts shown instead of the number: entry i stands for the value i.
struct SDisplayTable {
  bool enabled = false;
  SDisplayText* texts = nullptr;
  // When set the dial frees the array (made with new[]) when it goes.
  bool owned = false;
};

struct SCountedDisplayTable : SDisplayTable {
  int count = 0;
};

template <typename T>
class SDial;

template <>
class SDial<int> : public SControllable<int, false> {
 public:
  // labelled: the label is drawn under the value; wholeZone: presses count anywhere on the dial. The
  // value is stored as given, the default clipped into [min, max].
  SDial(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y,
        int width, int height, bool labelled, bool wholeZone, int hostWindow, int value, int min, int max,
        int def);
  ~SDial() override;

  // The handle: its image, or a fill in the handle colour.
  virtual void DrawHandle();
  // The value's text (from the first enabled table that has an entry for it, else the number) in the
  // handle rectangle.
  virtual void DrawValue();
  // Stores v and redraws; never reports, whatever notify says. Whether the value changed.
  bool SetValue(int v, bool notify) override;
  virtual int Value2Index(int v);
  virtual int Index2Value(int index);

  void Draw(const SRect& rect) override;
  void DrawOutlines(const SRect& rect) override;
  void MouseStateChanged(bool* state, int index) override;
  void MousePosChanged(int dx, int dy) override;

  // Replaces a table; an owned one that is replaced is freed. Table A must cover every value of the
  // range; table B holds count entries.
  void SetDisplayTextsA(SDisplayText* texts, bool owned, bool enabled);
  void SetDisplayTextsB(SDisplayText* texts, int count, bool owned, bool enabled);
  const SDisplayTable& GetDisplayTextsA() const { return textsA; }
  const SCountedDisplayTable& GetDisplayTextsB() const { return textsB; }
  // max - min + 1; 1 for a range of one value.
  int GetValueCount() const { return valueMax > valueMin ? valueMax - valueMin + 1 : 1; }

  // Open to the owner: fine dragging of the left button, and the pixels per step of the fine drag and of
  // the right-button drag.
  bool fineDrag = true;
  int fineDragDistance = 5;
  int rightDragDistance = 12;

 private:
  // The table's text for the current value, or null when no enabled table has an entry for it.
  const char* DisplayText() const;
  // One step each time the pointer has gone more than distance pixels on from the last step.
  void DragStep(int dy, int y, int distance);
  static void Free(SDisplayTable& table);

  SDisplayTable textsA;
  SCountedDisplayTable textsB;
};

}  // namespace tovo::gui
