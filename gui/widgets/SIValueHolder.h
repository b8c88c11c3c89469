// A current and a default value, the common ground of buttons and value controls. The holder itself only
// stores; the widgets built on it redraw and report changes in their own SetValue.
#pragma once

namespace tovo::gui {

template <typename T>
class SIValueHolder;

template <>
class SIValueHolder<int> {
 public:
  virtual ~SIValueHolder() = default;

  // False, and nothing changes, when v is the value already; notify is for the widgets built on this.
  virtual bool SetValue(int v, bool notify);
  virtual int GetValue();
  virtual int GetValueDef();
  // Back to the default through SetValue, so the widget's own reaction follows.
  virtual bool ResetValue();
  virtual void SetValueDef(int d);

 protected:
  int value = 0;
  int valueDef = 0;
};

}  // namespace tovo::gui
