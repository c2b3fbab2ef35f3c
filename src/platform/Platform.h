#pragma once
// The operating-system facilities Dustmere uses, behind one small interface. The portable code
// (scan, model, settings, actions) calls nothing else. Two implementations exist: win32/ forwards
// each operation to the Windows API, hosted/ runs it on a simulated machine that tests set up.
//
// Paths are Windows paths ("C:\dir\file") in both. Operations that the system treats as quiet
// failures return std::optional or false; operations whose failure is an error raise
// dustmere::Exception with the system's message.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dustmere::platform {

// A point in time as Windows keeps it: 100-nanosecond ticks since 1601-01-01. Whether the value
// is UTC or local time is said wherever one is passed.
using FileTime = std::int64_t;
constexpr FileTime TicksPerSecond = 10'000'000;
constexpr FileTime TicksPerMillisecond = 10'000;

// File attribute bits with their Windows values.
enum FileAttribute : std::uint32_t {
  AttrReadOnly = 0x1,
  AttrHidden = 0x2,
  AttrSystem = 0x4,
  AttrDirectory = 0x10,
  AttrArchive = 0x20,
  AttrNormal = 0x80,
  AttrReparsePoint = 0x400,
};

// One entry of a directory listing, with the times as the listing reports them (UTC).
struct DirEntry {
  std::wstring Name;
  std::uint32_t Attributes = 0;
  FileTime CreationTime = 0;
  FileTime LastAccessTime = 0;
  FileTime LastWriteTime = 0;
  std::uint64_t Size = 0;

  bool IsDirectory() const noexcept { return (Attributes & AttrDirectory) != 0; }
  bool IsReparsePoint() const noexcept { return (Attributes & AttrReparsePoint) != 0; }
};

// An open directory listing (FindFirstFile / FindNextFile / FindClose). Every kind of entry is
// listed: hidden, system, read-only and directories alike, "." and ".." included where the file
// system reports them.
class DirListing {
public:
  class Impl;

  // Opens a listing of Pattern (a folder followed by a wildcard, "C:\dir\*.*").
  explicit DirListing(const std::wstring& Pattern);
  ~DirListing();
  DirListing(const DirListing&) = delete;
  DirListing& operator=(const DirListing&) = delete;

  // False when the listing could not be opened (missing folder, no access).
  bool IsOpen() const noexcept;
  // Fills Entry with the next entry; false when there is none left.
  bool Next(DirEntry& Entry);
  void Close() noexcept;

private:
  std::unique_ptr<Impl> FImpl;
};

// Looks one file or folder up by name (FindFirstFile, closed at once).
std::optional<DirEntry> FindFile(const std::wstring& FileName);

// GetFileAttributesW; nullopt when the path does not exist or cannot be asked.
std::optional<std::uint32_t> FileAttributes(const std::wstring& Path);
bool DirectoryExists(const std::wstring& Path);
bool FileExists(const std::wstring& Path);

// Drives.
enum class DriveType : unsigned {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CDRom = 5,
  RamDisk = 6,
};
std::uint32_t LogicalDrives();                      // bit 0 = A:, bit 1 = B:, ...
DriveType DriveTypeOf(const std::wstring& Root);    // "C:\"
std::optional<std::uint64_t> FreeBytesAvailable(const std::wstring& Root);

// System folders, as the system returns them (no delimiter added).
std::wstring WindowsDirectory();  // raises with the system's message when none is given
std::wstring TempPath();
// A shell special folder by CSIDL; nullopt when the shell cannot name a file-system folder.
std::optional<std::wstring> SpecialFolderPath(int CSIDL);

// Clocks.
std::uint32_t TickCount();         // milliseconds since the system started, wrapping
FileTime SystemTimeNow();          // UTC
FileTime LocalTimeNow();           // local time
// UTC -> local time; nullopt when the conversion fails.
std::optional<FileTime> FileTimeToLocal(FileTime Utc);

// Locale.
wchar_t DecimalSeparator();

// Registry.
enum class RegistryRoot { CurrentUser, LocalMachine };
enum class RegistryAccess { Read, AllAccess };
// Which registry a 64-bit program sees: its own, or the one of 32-bit programs (where they keep
// their keys under HKEY_LOCAL_MACHINE\Software).
enum class RegistryView { Native, Wow32 };
// Whether the key opens under Root with the asked access. The path never starts with "\".
bool RegistryKeyOpens(RegistryRoot Root, const std::wstring& Key, RegistryAccess Access,
                      RegistryView View = RegistryView::Native);

// An open registry key (RegOpenKeyEx ... RegCloseKey). Never creates a key.
class RegistryKey {
public:
  class Impl;

  // nullopt when the key does not exist or does not open with the asked access.
  static std::optional<RegistryKey> Open(RegistryRoot Root, const std::wstring& Key,
                                         RegistryAccess Access,
                                         RegistryView View = RegistryView::Native);
  RegistryKey(RegistryKey&&) noexcept;
  RegistryKey& operator=(RegistryKey&&) noexcept;
  ~RegistryKey();

  // The names of all values, the unnamed default value ("") among them when it holds data.
  std::vector<std::wstring> ValueNames() const;
  bool DeleteValue(const std::wstring& Name) const;
  // A string value (REG_SZ or REG_EXPAND_SZ, unexpanded); nullopt when it is missing or not text.
  std::optional<std::wstring> ReadString(const std::wstring& Name) const;

private:
  explicit RegistryKey(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> FImpl;
};

// Files as whole documents (the settings file).
// Reads the whole file; raises with the system's message when it cannot be read.
std::string ReadWholeFile(const std::wstring& FileName);
// Writes Bytes to FileName, replacing it atomically: a temporary file beside it is written and
// flushed first and then moved over the old one, so that a failure leaves the old file whole.
// Raises with the system's message on failure.
void WriteFileReplacing(const std::wstring& FileName, std::string_view Bytes);

// Folders and file times (fixtures, and the folder operations of the cleanup actions).
bool CreateFolder(const std::wstring& Path);
bool RemoveEmptyFolder(const std::wstring& Path);

// Deleting what a disk reading collected, permanently and silently. The file (or empty folder)
// is opened without following a link at its end, and deleted through that handle only when it
// is not a link or junction itself and the system's final path of the handle is Path: a link
// planted on the way after the reading (a folder replaced by a junction, say) makes the final
// path differ, and nothing is deleted. Read-only files are deleted too. False when nothing was
// deleted, for whatever reason.
bool DeleteCollectedFile(const std::wstring& Path);
bool RemoveCollectedFolder(const std::wstring& Path);
bool SetFileTimes(const std::wstring& Path, std::optional<FileTime> LastAccessUtc,
                  std::optional<FileTime> LastWriteUtc);

// Lets every pending window message of this thread run (PeekMessage / Translate / Dispatch).
// A caller that asks after every single step of a long walk says Frequent: then a call that comes
// less than a millisecond after the last check may return at once, because asking the system for
// messages costs far more than a directory entry (tens of microseconds under Wine). Messages still
// run within a millisecond, which no user can tell from "after every entry".
enum class MessagePace { Now, Frequent };
void ProcessMessages(MessagePace Pace = MessagePace::Now);

// The system's text for an error code, and the calling thread's last error code.
std::wstring SystemErrorMessage(std::uint32_t Code);
std::uint32_t LastErrorCode();

}  // namespace dustmere::platform
