// Finding sounds in a device, by what a strip sends and by name: the rules NameCatalog's lookups follow.
#pragma once

#include <optional>
#include <string_view>

#include "names/Device.h"

namespace vantorine::names {

// See NameCatalog::soundAt.
std::optional<SelectedSound> SoundSelectedBy(const Device& device, int channel, int program, BankSelect bank);
// See NameCatalog::findSound.
SoundSearch SoundsNamed(const Device& device, std::string_view name, int channel);

}  // namespace vantorine::names
