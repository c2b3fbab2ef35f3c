#pragma once
// The simulated Windows machine behind the hosted platform. Tests build it up before they run the
// portable code: drive letters mapped to host folders (fixture trees, never the host's own
// folders), the system folders, an in-memory registry, the clocks and a hook that runs whenever
// the portable code lets pending window messages run.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace dustmere::platform::hosted {

// Forgets everything: no drives, no folders, an empty registry, tick count 0, host clock,
// "." as decimal separator, no message hook.
void ResetMachine();

// Drive Letter ("C") shows HostFolder as its root. Paths below it are translated to host paths;
// ".." never leaves the mapped folder.
void MapDrive(wchar_t Letter, const std::filesystem::path& HostFolder,
              DriveType Type = DriveType::Fixed);
// A drive letter that exists but whose root cannot be reached (an empty optical drive, a
// disconnected network drive).
void AddUnreachableDrive(wchar_t Letter, DriveType Type);
void UnmapDrive(wchar_t Letter);
void SetFreeBytes(wchar_t Letter, std::optional<std::uint64_t> Bytes);

// The host path of a Windows path on a mapped drive; nullopt when it is on no mapped drive.
std::optional<std::filesystem::path> HostPath(const std::wstring& WindowsPath);

// System folders as the system would return them. An unset Windows directory makes
// WindowsDirectory() fail; an unset special folder is one the shell cannot name.
void SetWindowsDirectory(std::optional<std::wstring> Path);
void SetTempPath(std::wstring Path);
void SetSpecialFolder(int CSIDL, std::optional<std::wstring> Path);

// Clocks: the tick count is whatever the test sets; "now" is the host clock unless fixed, and
// local time is UTC plus a fixed offset.
void SetTickCount(std::uint32_t Milliseconds);
void SetSystemTimeNow(std::optional<FileTime> Utc);
void SetLocalTimeOffset(std::int64_t Seconds);

void SetDecimalSeparator(wchar_t Separator);

// Registry. Keys are case-insensitive paths without a leading "\"; creating one creates its
// parents. HKEY_LOCAL_MACHINE has a second view, the one 32-bit programs see; the current user's
// keys are the same in both. A key can exist and still refuse to open for reading or writing.
void CreateRegistryKey(RegistryRoot Root, const std::wstring& Key,
                       RegistryView View = RegistryView::Native);
void DeleteRegistryKey(RegistryRoot Root, const std::wstring& Key,
                       RegistryView View = RegistryView::Native);
void SetRegistryKeyAccess(RegistryRoot Root, const std::wstring& Key, bool Readable,
                          bool Writable);
// Values, in the order written; "" is the unnamed default value.
void SetRegistryString(RegistryRoot Root, const std::wstring& Key, const std::wstring& Name,
                       const std::wstring& Text);
void SetRegistryNumber(RegistryRoot Root, const std::wstring& Key, const std::wstring& Name);
void SetRegistryValueDeletable(RegistryRoot Root, const std::wstring& Key,
                               const std::wstring& Name, bool Deletable);
std::vector<std::wstring> RegistryValueNames(RegistryRoot Root, const std::wstring& Key);
bool RegistryKeyPresent(RegistryRoot Root, const std::wstring& Key);

// Runs inside every ProcessMessages call; a test uses it to stop a walk or count entries.
void SetProcessMessagesHook(std::function<void()> Hook);
std::uint64_t ProcessMessagesCalls();

// Conversions between host file times and Windows ticks (UTC).
FileTime TicksFromUnix(std::int64_t Seconds, std::int64_t Nanoseconds);

}  // namespace dustmere::platform::hosted
