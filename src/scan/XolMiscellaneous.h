#pragma once
// Small system queries: uptime, the size text of a byte count, the registry key test.

#include <string>

#include "platform/Platform.h"

namespace dustmere {

// Whole seconds since the system started (the millisecond tick counter, unsigned, / 1000).
int SystemUptimeSeconds();

// "0 bytes", "1023 bytes", "1.5 KB", "1024 KB", "5120 GB": one decimal at most, halves rounded to
// the even neighbour after the unit is chosen, the user's decimal separator.
std::wstring SizeText(double Bytes);

// Whether the key opens for reading under Root. A leading "\" in Key is dropped.
bool RegistryKeyExists(platform::RegistryRoot Root, const std::wstring& Key);

}  // namespace dustmere
