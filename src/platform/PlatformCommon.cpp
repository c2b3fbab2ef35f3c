// The platform operations that both implementations build from the others.

#include "platform/Platform.h"

namespace dustmere::platform {

bool DirectoryExists(const std::wstring& Path) {
  const auto attributes = FileAttributes(Path);
  return attributes && (*attributes & AttrDirectory);
}

bool FileExists(const std::wstring& Path) {
  const auto attributes = FileAttributes(Path);
  return attributes && !(*attributes & AttrDirectory);
}

bool RegistryKeyOpens(RegistryRoot Root, const std::wstring& Key, RegistryAccess Access,
                      RegistryView View) {
  return RegistryKey::Open(Root, Key, Access, View).has_value();
}

}  // namespace dustmere::platform
