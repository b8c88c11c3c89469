// toml++ as this project includes it; every file that uses the library includes it through here, so that
// all of them see the same configuration.
#pragma once

// The project keeps assert() on in every build. toml++'s internal checks would then abort on some malformed
// text (a table header without a name) before its own error handling reports it, so they are left out, as
// in the library's release builds.
#define TOML_ASSERT(expr) static_cast<void>(0)
#include <toml++/toml.h>
