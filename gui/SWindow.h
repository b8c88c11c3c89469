// A control that holds other controls: the base of dialogs, menus, labels, text boxes and the plug-in's
// panel. It keeps its children (and deletes them with itself), shows its popup menu, forwards enabling and
// modifiers to its children, and runs the event loop of a window that lives on its own.
#pragma once

#include <atomic>
#include <vector>

#include "gui/SControl.h"

namespace tovo::gui {

class SWindow : public SControl {
 public:
  struct Child {
    SControl* control;
    unsigned id;
  };

  SWindow() = default;
  SWindow(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y, int width,
          int height, int hostWindow, bool flag);
  // Deletes the children, last first, before the window itself goes.
  ~SWindow() override;

  // Takes ownership; 0 for a null control, else the highest child id.
  virtual int Add(SControl* control);
  // Removes the first child with the control's id, deleting it with destroy; returns the children left.
  virtual int Remove(SControl* control, bool destroy);
  // True for this window's X window or one held by any child's window tree.
  virtual bool IsSubcontrol(int xWindow);
  // Hands every event of the connection to eventProc until Stop; a top-level window then returns 0.
  virtual int Loop();
  virtual SControl* GetMenu();
  virtual void SetMenu(SControl* menu);
  virtual void TooltipEnable(bool on);

  void CleanRessources() override;
  void EnableChildren(bool on) override;
  void Minimized() override;
  void WindowClose() override;
  void WindowMinimize(bool restore) override;
  void WindowMaximize(bool maximize) override;
  void UpdateModifiers(int mask, bool apply) override;
  void Run() override;
  void Stop() override;
  void ShowMenu(const SPoint& point) override;
  void CloseMenu() override;
  bool IsSubcontrol(unsigned controlId) override;

  const std::vector<Child>& Children() const { return children; }
  int LowestId() const { return lowestId; }
  int HighestId() const { return highestId; }
  bool MenuShown() const { return menuShown; }
  bool Looping() const { return running.load(std::memory_order_acquire); }

 private:
  void DeleteChildren();

  std::vector<Child> children;
  int lowestId = -1;
  int highestId = -1;
  SControl* menu = nullptr;
  bool menuShown = false;
  bool further = false;
  std::atomic<bool> running{false};
};

}  // namespace tovo::gui
