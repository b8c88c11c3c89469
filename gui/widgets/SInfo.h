// Messages for the user that must not wait for an answer: start-up refusals and stored-state warnings,
// shown from any thread, also while no editor is open. One message box serves the whole process; it lives on
// the toolkit's own connection and closes itself on its button.
#pragma once

namespace tovo::gui {

// Shows (or re-lays out and raises) the message box and returns at once. The message also goes to
// standard error, which is all there is without an X connection.
void SInfo(const char* message, const char* title);

// Whether the message box is on screen.
bool SInfoShown();

class SMessageDialog;
// The message box, for tests and diagnostics; null before the first SInfo with a connection.
SMessageDialog* SInfoBox();

}  // namespace tovo::gui
