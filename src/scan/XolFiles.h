#pragma once
// File and folder queries shared by disk reading and the cleanup actions: drive roots, system
// and special folders, and a file's last access time. Folders come back with a trailing "\".

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace dustmere {

// Shell special folders the system uses.
constexpr int CSIDL_RECENT = 8;
constexpr int CSIDL_NETHOOD = 19;
constexpr int CSIDL_APPDATA = 26;
constexpr int CSIDL_PROFILE = 40;

// The roots ("C:\") of the fixed drives, and of the network drives too when IncludeNetwork is
// set, in letter order; only roots that exist.
void ListDriveRoots(std::vector<std::wstring>& List, bool IncludeNetwork);

std::wstring TempFolder();
// Raises the system's message when the system gives no Windows folder.
std::wstring WindowsFolder();
// The empty text when the shell cannot name a file-system folder for CSIDL.
std::wstring SpecialFolder(int CSIDL);
// The special folder followed by "*": every file in it and below it.
std::wstring SpecialFolderMask(int CSIDL);

// The file's last access time in local time with the two-second resolution of a FAT date and
// time. Raises "Can't read file last access time.\r\n<name>" when the file cannot be looked up
// or its time cannot be held in a FAT date and time (before 1980, after 2107).
platform::FileTime FileLastAccessTime(const std::wstring& FileName);

// A UTC file time as FileLastAccessTime gives it: local time in two-second steps; nullopt when it
// cannot be converted or held.
std::optional<platform::FileTime> LocalFatTime(platform::FileTime Utc);

// A local time cut to the two-second steps of a FAT date and time; false when it lies outside
// the years 1980 to 2107 that such a date can hold.
bool TruncateToFatTime(platform::FileTime& LocalTime);

}  // namespace dustmere
