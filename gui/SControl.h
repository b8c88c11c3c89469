// The base of every visible element of the toolkit. A control owns one X window, its drawing context, its
// pointer and key state, its listener table and its timers; the event entry `eventProc` routes each X event
// to the control that owns the event's window and turns it into calls of the virtual operations below,
// which widgets override.
#pragma once

#include <atomic>
#include <vector>

#include "data/datastring.h"
#include "gui/SEvent.h"
#include "math/Point.h"
#include "math/Rectangle.h"

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace tovo::threading {
class STimer;
class STimerIdle;
}  // namespace tovo::threading

namespace tovo::gui {

class SGlobals;
class SToolTip;
class SToolTipData;
class SControl;

namespace context {
class SDrawing;
class SDrawDevice;
class SDrawRegion;
class SDrawBitmap;
class SInput;
}  // namespace context

using SPoint = tovo::math::geom::Point<int, 2>;
using SRect = tovo::math::geom::Rectangle<int, 2>;
using SLabelText = tovo::data::datastring<32, char>;

// The control that holds the mouse capture, null when none does.
extern SControl* capture;

// Style bits given at creation.
enum SControlStyle : int {
  kStyleHasChildren = 0x2,
  kStyleOutlineOnHover = 0x4,
  kStyleCaptureOnPress = 0x8,
  kStyleTopLevel = 0x100,
  kStyleApplication = 0x200,
  kStyleNoSizeHints = 0x400,
  kStyleOwnsMenu = 0x800,
  kStyleWheelToParentA = 0x2000,
  kStyleBordered = 0x20000,
  kStyleFramedOutline = 0x40000,
  kStyleFramedDraw = 0x80000,
  kStyleHasTimer = 0x100000,
  kStyleWheelToParentB = 0x200000,
  kStyleRootChild = 0x400000,
  kStyleFullInput = 0x800000,
};

// State bits.
enum SControlState : int {
  kStateEnabled = 0x1,
  kStateMapped = 0x4,
  kStateConstructed = 0x8,
  kStateTooltip = 0x20,
  kStateMaximized = 0x80,
  kStateFocus = 0x100,
};

// A shortcut: {0, key symbol, modifier bits}.
struct SShortcut {
  int reserved;
  int keysym;
  int modifiers;
};

class SIExtended {
 public:
  virtual ~SIExtended() = default;
};

class SControl : public SIExtended {
 public:
  SControl();
  SControl(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y,
           int width, int height, int hostWindow, bool flag);
  ~SControl() override;
  SControl(const SControl&) = delete;
  SControl& operator=(const SControl&) = delete;

  // Life
  virtual int Create(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y,
                     int width, int height, int hostWindow, bool flag);
  virtual void CreateContexts();
  virtual void CleanRessources();
  virtual void CleanUp();
  virtual void PrepareCleanUp();
  virtual void LoadControls() {}
  virtual void Reparent(int window);
  virtual void ReparentChildren() {}
  virtual void Inherit(int window);
  virtual void SetType(int) {}

  // Visibility
  virtual void Enable(bool on);
  virtual void EnableChildren(bool) {}
  virtual void Show();
  virtual void Hide();
  virtual void Reset() {}
  virtual void Toggle() {}

  // Position
  virtual void Move(int dx, int dy);
  virtual void Move(SPoint& delta);
  virtual void Move(const SPoint& delta);
  virtual void Center();
  virtual void Center(SPoint& point);
  virtual void Foreground(bool raise);

  // Window
  virtual void Minimized();
  virtual void WindowClose() {}
  virtual void WindowMinimize(bool) {}
  virtual void WindowMaximize(bool) {}
  virtual void CloseDialog() {}
  virtual void ClearState() {}
  virtual void CloseTip();

  // Focus
  virtual void Focussing(bool on);
  virtual void Focus(bool on);
  virtual void FocusTopParent();
  virtual void ActivateOwner();

  // Repaint requests: they only queue events to the control's own window, from any thread.
  virtual void Refresh();
  virtual void RefreshRectangle(const SRect& rect);
  virtual void RefreshOutlines();
  virtual void RefreshRegion(context::SDrawRegion* region);
  virtual void RefreshArea(unsigned area);
  virtual void RefreshControls(long) {}

  // Painting
  virtual void Draw(const SRect& rect);
  virtual void DrawRegion(context::SDrawRegion*) {}
  virtual void DrawArea(unsigned) {}
  virtual void DrawOutlines(const SRect& rect);
  virtual void DrawBorder(const SRect& rect);
  virtual void SetBitmaps(context::SDrawBitmap*, context::SDrawBitmap*) {}

  // Pointer and keys
  virtual void MousePosition(int x, int y);
  virtual bool* MouseState();
  virtual void MouseStateChanged(bool*, int) {}
  virtual void MousePosChanged(int, int) {}
  virtual void MouseTracker(bool) {}
  virtual bool MouseTracking();
  virtual void Modifiers(int mask);
  virtual void KeyStateChanged(int, bool, int, int) {}
  virtual void UpdateModifiers(int mask, bool apply);
  virtual bool Key(int, bool) { return true; }
  virtual void MouseSetCapture();
  virtual void MouseReleaseCapture();
  virtual void MousePointer(int x, int y);

  // Colours
  virtual void SetDrawingMode(bool highlighted);
  virtual void SetBackgroundMode(bool transparent);
  virtual void SetBackground(int colour, bool highlighted);
  virtual void SetBackgroundColour(bool highlighted);
  virtual void SetBackgroundColour(int colour);
  virtual int GetBackgroundColour();
  virtual int GetForegroundColour();
  virtual void SetColours(int background, int highlightBackground, int parentBackground, int foreground,
                          int highlightForeground, int text, int highlightText);
  virtual void SetTextColour(int colour);
  virtual void SetTitleColour(bool) {}
  virtual void SetTitleText(const char* text);
  virtual int GetFrameColour(bool enabled, bool highlighted);
  virtual void SetFrameColour(int enabled, int highlighted, int disabled);

  // Text
  virtual const SLabelText& GetLabel();
  virtual void SetAlignment(int) {}
  virtual void SetOffset(SPoint) {}
  virtual void SetLabelOffset(SPoint&) {}
  virtual void SetTextSize(int) {}
  virtual void Highlight(bool, int, int, int) {}

  // Timers
  virtual void CreateTimer(int interval, bool start);
  virtual void CreateIdleTimer(int interval, bool flag);
  virtual void CreateIdleFunction(void (**function)(void*), void* argument);
  virtual void DestroyIdleTimer();
  virtual void DestroyIdleFunction();
  virtual void StartTimer(int interval);
  virtual void StopTimer(bool destroy);
  // The timer made here belongs to the caller.
  virtual tovo::threading::STimer* AddTimer(int interval, bool start);
  virtual void TimerProc(int) {}
  virtual void IdleProc() {}

  // Loop and events
  virtual void Run() {}
  virtual void Stop() {}
  virtual void ParseEvent(SEvent*) {}
  virtual void EnableHandlers() {}

  // Menus
  virtual void MenuProcess(short) {}
  virtual void ChangeMenu() {}
  virtual void ShowMenu(const SPoint&) {}
  virtual void CloseMenu() {}

  // Tooltips. The text forms replace the control's data with new data holding the text; all forms
  // register the control with the tooltip window.
  virtual void SetTooltip(SToolTip* tooltip, const char* text, int placement);
  virtual void SetTooltip(SToolTip* tooltip, const SLabelText& text, int placement);
  virtual void SetTooltip(SToolTip* tooltip, SToolTipData* data, int placement);
  virtual void ShowTooltip(const SPoint& point);
  virtual void HideTooltip();
  virtual void EnableTooltip(bool on);

  // Size and shape
  virtual void SetSize(int width, int height);
  virtual bool IsSubcontrol(unsigned id);
  virtual void SetRoundShape(bool round);

  // The X event entry published on every control's window; 1 when the event was consumed. Holds the toolkit
  // lock while it works in a control.
  static int eventProc(XEvent* event);
  // The first 32-bit item of a window property; 0 when absent, on error or unless exactly one item.
  static int getProperty(unsigned long window, unsigned long atom);
  // How a window's size hints hold it at its size.
  enum class SizeLimits {
    // Smallest, largest and base size: window managers and embedding hosts neither stretch nor shrink it.
    kFixed,
    // Largest and base size, no smallest: embedding hosts do not stretch it, and can follow it when it asks
    // for a larger size (hosts that embed through suil pin their size request to the smallest size hint).
    kNoSmallest,
  };
  static void SetSizeHints(Display* display, unsigned long window, int width, int height, SizeLimits limits);
  // Set by the X error handler; the handler is installed only around the toolkit's property reads.
  static std::atomic<unsigned char> xerror;

  // Accessors shared with the drawing layer.
  unsigned long GetWindow() const { return window; }
  SGlobals* GetGlobals() const { return globals; }
  SRect GetClientRect() const { return clientRect; }
  bool IsCleaningUp() const { return cleaning.load(std::memory_order_acquire); }

  SControl* GetParent() const { return parent; }
  unsigned GetId() const { return id; }
  int GetStyle() const { return style; }
  int GetState() const { return state; }
  SRect GetWindowRect() const { return windowRect; }
  context::SDrawing* GetDrawing() const { return drawing; }
  context::SInput* GetInput() const { return input; }
  tovo::threading::STimer* GetTimer() const { return timer; }
  tovo::threading::STimerIdle* GetIdleTimer() const { return idleTimer; }
  int GetTimerId() const { return timerId; }
  SToolTipData* GetTooltipData() const { return tooltipData; }
  bool IsMapped() const { return (state & kStateMapped) != 0; }
  bool IsCleanedUp() const { return cleanedUp; }
  bool IsAlwaysActive() const { return alwaysActive; }
  void SetAlwaysActive(bool on) { alwaysActive = on; }

  bool Enabled() const;
  void SetPosition(int x, int y);
  void Resized(bool refresh);
  void Destroy();
  void GetClient2Screen(SPoint& point);
  void GetClient2Screen(int* x, int* y);
  void GetScreen2Client(SPoint& point);
  void GetScreen2Client(int* x, int* y);
  // Where the pointer is, in this control's client coordinates: asked of the server, for the presses
  // that are handed on before the toolkit records where they happened. False without a display.
  bool PointerInClient(SPoint& point);
  // Where the press or motion being handled happened, in client coordinates; outside one (or for an
  // event of another window), where the pointer is now, as PointerInClient.
  bool PointerAtEvent(SPoint& point);
  SPoint GetTopPosition();
  SPoint GetScreenPosition();
  context::SDrawDevice* GetDevice();

  // Listener table and outgoing messages.
  int AddEventListener(SControl* listener, int type);
  void RemoveEventListener(SControl* listener, int type);
  void EnableEventHandler(int type);
  void DisableEventHandler(int type);
  bool EventHandled(int type) const;
  SEventManager& GetEventManager() { return listeners; }
  unsigned SendEvent(int type, int kind, int value, float fvalue, void* data, SControl* sender,
                     tovo::threading::SMutexID* lock);
  unsigned SendEvent(SEvent* event);
  static void PrepareEvent(SEvent& event, int type, int kind, int value, float fvalue, void* data,
                           SControl* sender, tovo::threading::SMutexID* lock);

  // Shortcuts: entries searched on every key press.
  void AddShortcut(int keysym, int modifiers);
  const std::vector<SShortcut>& Shortcuts() const { return shortcuts; }

  int KeyStateGet() const;
  void KeyStateSet(int mask);
  bool KeyPressed(int) const { return false; }
  bool KeyToggled(int) const { return false; }

  // Drag and drop and data hooks the toolkit never fills.
  void DragDropEnable() {}
  void DragDropDisable() {}
  void* GetDropData() { return nullptr; }
  void SetDropData(void*) {}
  void StartFileDrop() {}
  void PathReceive(const char*) {}
  int GetDataID() const { return 0; }
  void SetDataID(int) {}

 protected:
  void SetStateBit(int bit, bool on) { state = on ? (state | bit) : (state & ~bit); }
  void SetStyleBit(int bit, bool on) { style = on ? (style | bit) : (style & ~bit); }
  void DestroyWindow();
  // Deletes the drawing context and the input record.
  void ReleaseContexts();
  // The live control that owns the window; null for windows that are not ours (a lookup in the process,
  // never a server round trip).
  static SControl* FindControl(Display* display, unsigned long window);
  void ApplySharedCursor();
  void ReleaseSharedCursor();
  bool PointerInside();
  // Where the tip goes on the screen when the pointer enters: beside the control, as its data asks.
  SPoint TooltipPosition();
  void ReleaseTooltip();

  SGlobals* globals = nullptr;
  SControl* parent = nullptr;
  int reserved0 = 0;
  unsigned id = 0;
  int timerId = 0;
  SLabelText label;
  SRect windowRect{};
  SRect clientRect{};
  int reserved1[4] = {0, 0, 0, 0};
  int style = 0;
  int state = kStateEnabled | kStateConstructed;
  int further = 7;
  SEventManager listeners;
  SEvent outgoing;
  context::SDrawing* drawing = nullptr;
  context::SInput* input = nullptr;
  tovo::threading::STimer* timer = nullptr;
  tovo::threading::STimerIdle* idleTimer = nullptr;
  SToolTipData* tooltipData = nullptr;
  std::vector<SShortcut> shortcuts;
  unsigned char modeA = 0;
  unsigned char modeB = 1;
  std::atomic<bool> cleaning{false};
  bool cleanedUp = false;
  bool alwaysActive = false;
  unsigned long window = 0;
  unsigned long parentWindow = 0;
  unsigned long previousFocus = 0;
  int reserved2[2] = {0, 0};
  unsigned long deleteAtom = 0;
  int reserved3 = 0;
  // Controls a subclass keeps aside; a modal dialog lists the ancestors it disabled here.
  std::vector<SControl*> spare;

  friend class SEventDispatch;
};

}  // namespace tovo::gui
