// Where MIDNAM files are looked for. The folders users already have come first to mind: Ardour's (its
// package installs a few hundred device files) and a folder of our own for files a user adds.
#pragma once

#include <string>
#include <vector>

namespace vantorine::names {

// The folders searched, in order. When VANTORINE_MIDNAM_PATH is set, its colon-separated folders and no
// others, so that one variable pins what is read (set but empty: no files at all, General MIDI only), as
// LV2_PATH does for LV2 hosts. Otherwise $XDG_DATA_HOME/vantorine/midnam (~/.local/share/vantorine/midnam),
// then Ardour's patch folders of every major version, newest first: the user's
// ($XDG_CONFIG_HOME/ardourN/patchfiles, ~/.config by default), then /usr/share/ardourN/patchfiles and
// /usr/local/share/ardourN/patchfiles. Folders that do not exist are left out.
std::vector<std::string> DefaultMidnamFolders();

// The *.midnam files of the folders, folder by folder in order and by name within each.
std::vector<std::string> MidnamFilesIn(const std::vector<std::string>& folders);

}  // namespace vantorine::names
