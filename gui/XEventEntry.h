// The address published in every control's "_XEventProc" property. Hosts read that property as one
// format-32 item, and Xlib keeps only the low 32 bits of it and hands them back sign-extended. On a 64-bit
// build our code lives far above 2^31, so the published address is a small jump placed in a page mapped
// below 2^31 that leads to SControl::eventProc; on a 32-bit build it is eventProc itself.
#pragma once

namespace tovo::gui {

// The address to publish; made on first use, once per process. 0 when no low page could be mapped.
unsigned long EventEntryAddress();
// Unmaps the jump page (library unload); a later EventEntryAddress makes a new one.
void ReleaseEventEntry();

}  // namespace tovo::gui
