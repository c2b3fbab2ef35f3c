#pragma once
// Small system queries: uptime, the size text of a byte count, the registry key test.

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace dustmere {

// Whole seconds since the system started (the millisecond tick counter, unsigned, / 1000).
int SystemUptimeSeconds();

// "0 bytes", "1023 bytes", "1.5 KB", "1024 KB", "5120 GB": one decimal at most, halves rounded to
// the even neighbour after the unit is chosen, the user's decimal separator.
std::wstring SizeText(double Bytes);

// A key path as the catalogues write it ("\Software\..."), as the registry takes it: a leading
// "\" is dropped, the path is always taken from the root.
std::wstring RegistryKeyPath(std::wstring_view Key);

// Whether the key opens for reading under Root, in the given view. A leading "\" is dropped.
bool RegistryKeyExists(platform::RegistryRoot Root, const std::wstring& Key,
                       platform::RegistryView View = platform::RegistryView::Native);

}  // namespace dustmere
