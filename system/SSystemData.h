// What the plug-in knows about the machine, gathered once at load time, and
// the requirements check made before every instance is created.
// Interim form: every machine qualifies until the real probes exist.
#pragma once

namespace tovo::system {

class SSystemData {
 public:
  void Gather() {}
  bool Qualifies(bool /*needSSE*/, bool /*needSSE2*/) const { return true; }
  void FeatureMessage() const {}
  void ErrorMessage(bool /*needSSE*/, bool /*needSSE2*/) const {}
};

extern SSystemData sd;

}  // namespace tovo::system
