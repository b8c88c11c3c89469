// The product-neutral plug-in: owns the editor, the shared GUI resources and
// the instance mutex, answers the host's identity and capability questions
// and keeps the effect name and the directory the host loaded it from.
#pragma once

#include <atomic>
#include <memory>

#include "data/datastring.h"
#include "plugin/AudioEffectX.h"
#include "threading/SMutexOS.h"

typedef struct _XDisplay Display;

class SPluginEditor;
namespace tovo::gui {
class SGlobals;
}

class SPlugin : public AudioEffectX {
 public:
  using Text = tovo::data::datastring<32, char>;

  // status: the start-up status of the entry point; host detection may set it.
  SPlugin(vantorine::PluginHost& host, int& status);
  ~SPlugin() override;

  // The editor, as the host drives it from the one thread it drives it on: opened as a child of `parent`
  // (an X window) on `display`, the host's connection, or on the toolkit's own when null; idled; closed.
  void OpenEditor(void* parent, Display* display);
  void IdleEditor();
  void CloseEditor();

  void suspend() override;
  void resume() override;

  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override;
  VstInt32 canDo(char* text) override;

  // The display name of the host that host detection found.
  const char* PluginHostName() const;

  // The editor-closed flag the editor sets on open and close.
  void SetEditorClosed(bool closed);
  bool IsEditorClosed() const { return editorClosed.load(std::memory_order_acquire); }

  bool IsSuspended() const { return suspended.load(std::memory_order_acquire); }
  const Text* EffectName() const { return effectName.get(); }
  const Text* PluginDirectory() const { return pluginDirectory.get(); }
  ERect& EditorRect() { return editorRect; }
  SPluginEditor* PluginEditor() const { return pluginEditor; }
  tovo::gui::SGlobals* Globals() const { return globals; }

 protected:
  // Posts an update (all, or one index) unless the editor is closed; any thread.
  void NotifyEditor(int index = -1);

 private:
  // Written under the instance mutex; read without it so the audio thread never waits.
  std::atomic<bool> editorClosed{true};
  std::atomic<bool> suspended{true};
  SPluginEditor* pluginEditor = nullptr;
  ERect editorRect{0, 0, 462, 120};
  tovo::gui::SGlobals* globals = nullptr;
  std::unique_ptr<Text> effectName;
  std::unique_ptr<Text> pluginDirectory;
  tovo::threading::SMutexOS instanceMutex;
};
