// Messages for the user that must not wait for an answer: start-up refusals
// and stored-state warnings. Until the toolkit's message box exists the text
// goes to standard error, where a host's log keeps it.
#pragma once

namespace tovo::gui {

void SInfo(const char* message, const char* title);

}  // namespace tovo::gui
