// The plug-in's own editor inside a CLAP host's window: X11 only, embedded (never floating), opened into
// the parent the host gives and driven by a timer of the host's on its main thread, since the editor reads
// its own X connection in its idle passes. Every call here is on the host's main thread.
#pragma once

#include "plugin/Engine.h"
#include "clap/ClapHeaders.h"

namespace vantorine::clap {

class ClapEditor {
 public:
  ClapEditor(Engine& engine, const clap_host_t& host);
  ~ClapEditor();
  ClapEditor(const ClapEditor&) = delete;
  ClapEditor& operator=(const ClapEditor&) = delete;

  // The host's interfaces, once it has them ready (after the plug-in's init).
  void FindHostInterfaces();

  bool IsApiSupported(const char* api, bool floating) const;
  bool Create(const char* api, bool floating);
  void Destroy();
  bool Size(uint32_t& width, uint32_t& height) const;
  bool SetParent(const clap_window_t& window);
  void OnTimer(clap_id timer);
  // The editor asks for a new size.
  bool RequestResize(int width, int height);

 private:
  static constexpr uint32_t kIdlePeriodMs = 30;

  Engine& engine;
  const clap_host_t& host;
  const clap_host_gui_t* hostGui = nullptr;
  const clap_host_timer_support_t* hostTimer = nullptr;
  bool created = false;
  clap_id idleTimer = CLAP_INVALID_ID;
};

}  // namespace vantorine::clap
