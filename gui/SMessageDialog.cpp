// Interim message box: the title and message on standard error.
#include "gui/SMessageDialog.h"

#include <cstdio>

namespace tovo::gui {

void SInfo(const char* message, const char* title) {
  std::fprintf(stderr, "[%s] %s\n", title ? title : "", message ? message : "");
  std::fflush(stderr);
}

}  // namespace tovo::gui
