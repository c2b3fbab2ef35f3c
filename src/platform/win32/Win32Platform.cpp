// The platform operations on the real Windows API, almost one to one.

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/win32/Handles.h"

namespace dustmere::platform {

namespace {

FileTime ToTicks(const FILETIME& ft) noexcept {
  return FileTime((std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

FILETIME ToFiletime(FileTime ticks) noexcept {
  FILETIME ft;
  ft.dwLowDateTime = DWORD(std::uint64_t(ticks) & 0xFFFFFFFFu);
  ft.dwHighDateTime = DWORD(std::uint64_t(ticks) >> 32);
  return ft;
}

void CopyEntry(const WIN32_FIND_DATAW& data, DirEntry& entry) {
  entry.Name.assign(data.cFileName);
  entry.Attributes = data.dwFileAttributes;
  entry.CreationTime = ToTicks(data.ftCreationTime);
  entry.LastAccessTime = ToTicks(data.ftLastAccessTime);
  entry.LastWriteTime = ToTicks(data.ftLastWriteTime);
  entry.Size = (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

[[noreturn]] void RaiseLastError() {
  throw Exception(SystemErrorMessage(GetLastError()));
}

}  // namespace

// DirListing

class DirListing::Impl {
public:
  win32::FindHandle Handle;
  WIN32_FIND_DATAW Data{};
  bool HavePending = false;
};

DirListing::DirListing(const std::wstring& Pattern) : FImpl(std::make_unique<Impl>()) {
  // The basic information level skips the short 8.3 name, and the large fetch asks the file
  // system for bigger batches: both make a whole-disk walk cheaper without changing what is seen.
  FImpl->Handle.reset(FindFirstFileExW(Pattern.c_str(), FindExInfoBasic, &FImpl->Data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  FImpl->HavePending = FImpl->Handle.valid();
}

DirListing::~DirListing() = default;

bool DirListing::IsOpen() const noexcept { return FImpl->Handle.valid(); }

bool DirListing::Next(DirEntry& Entry) {
  if (!FImpl->Handle.valid()) return false;
  if (!FImpl->HavePending) {
    if (!FindNextFileW(FImpl->Handle.get(), &FImpl->Data)) return false;
  }
  FImpl->HavePending = false;
  CopyEntry(FImpl->Data, Entry);
  return true;
}

void DirListing::Close() noexcept { FImpl->Handle.reset(); }

std::optional<DirEntry> FindFile(const std::wstring& FileName) {
  WIN32_FIND_DATAW data{};
  win32::FindHandle handle(FindFirstFileW(FileName.c_str(), &data));
  if (!handle.valid()) return std::nullopt;
  DirEntry entry;
  CopyEntry(data, entry);
  return entry;
}

std::optional<std::uint32_t> FileAttributes(const std::wstring& Path) {
  const DWORD attributes = GetFileAttributesW(Path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

// Drives

std::uint32_t LogicalDrives() { return GetLogicalDrives(); }

DriveType DriveTypeOf(const std::wstring& Root) {
  return static_cast<DriveType>(GetDriveTypeW(Root.c_str()));
}

std::optional<std::uint64_t> FreeBytesAvailable(const std::wstring& Root) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(Root.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

// Folders

std::wstring WindowsDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
  if (length == 0) RaiseLastError();
  if (length > MAX_PATH) {
    // A longer path than the classic buffer: ask again with room for it rather than cut it.
    std::wstring path(length, L'\0');
    const UINT again = GetWindowsDirectoryW(path.data(), length);
    if (again == 0 || again >= length) RaiseLastError();
    path.resize(again);
    return path;
  }
  return std::wstring(buffer, length);
}

std::wstring TempPath() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH, buffer);
  if (length > MAX_PATH) {
    std::wstring path(length, L'\0');
    const DWORD again = GetTempPathW(length, path.data());
    path.resize(again < length ? again : 0);
    return path;
  }
  return std::wstring(buffer, length);
}

std::optional<std::wstring> SpecialFolderPath(int CSIDL) {
  PIDLIST_ABSOLUTE raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL, &raw)) || raw == nullptr)
    return std::nullopt;
  win32::CoTaskMemPtr<ITEMIDLIST> idList(raw);
  wchar_t buffer[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListW(idList.get(), buffer)) return std::nullopt;
  return std::wstring(buffer);
}

// Clocks

std::uint32_t TickCount() { return GetTickCount(); }

FileTime SystemTimeNow() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return ToTicks(ft);
}

FileTime LocalTimeNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  return ToTicks(ft);
}

std::optional<FileTime> FileTimeToLocal(FileTime Utc) {
  const FILETIME utc = ToFiletime(Utc);
  FILETIME local;
  if (!FileTimeToLocalFileTime(&utc, &local)) return std::nullopt;
  return ToTicks(local);
}

// Locale

wchar_t DecimalSeparator() {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) < 2) return L'.';
  return buffer[0];
}

// Registry

namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

REGSAM AccessMask(RegistryAccess access, RegistryView view) {
  REGSAM sam = access == RegistryAccess::Read
                   ? (STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS)
                   : KEY_ALL_ACCESS;
  if (view == RegistryView::Wow32) sam |= KEY_WOW64_32KEY;
  return sam;
}

}  // namespace

class RegistryKey::Impl {
public:
  win32::RegKeyHandle Key;
};

RegistryKey::RegistryKey(std::unique_ptr<Impl> impl) : FImpl(std::move(impl)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::Open(RegistryRoot Root, const std::wstring& Key,
                                             RegistryAccess Access, RegistryView View) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(RootKey(Root), Key.c_str(), 0, AccessMask(Access, View), &raw) !=
      ERROR_SUCCESS)
    return std::nullopt;
  auto impl = std::make_unique<Impl>();
  impl->Key.reset(raw);
  return RegistryKey(std::move(impl));
}

std::vector<std::wstring> RegistryKey::ValueNames() const {
  std::vector<std::wstring> names;
  DWORD longest = 0;
  if (RegQueryInfoKeyW(FImpl->Key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::vector<wchar_t> buffer(longest + 2);
  for (DWORD index = 0;; ++index) {
    DWORD length = DWORD(buffer.size());
    const LONG result = RegEnumValueW(FImpl->Key.get(), index, buffer.data(), &length, nullptr,
                                      nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) {
      buffer.resize(buffer.size() * 2);
      --index;
      continue;
    }
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(buffer.data(), length);
  }
  return names;
}

bool RegistryKey::DeleteValue(const std::wstring& Name) const {
  return RegDeleteValueW(FImpl->Key.get(), Name.c_str()) == ERROR_SUCCESS;
}

std::optional<std::wstring> RegistryKey::ReadString(const std::wstring& Name) const {
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(FImpl->Key.get(), Name.c_str(), nullptr, &type, nullptr, &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = DWORD(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(FImpl->Key.get(), Name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  text.resize(bytes / sizeof(wchar_t));
  // Stored strings may or may not carry their terminating NUL.
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

// Whole files

std::string ReadWholeFile(const std::wstring& FileName) {
  win32::FileHandle file(CreateFileW(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) RaiseLastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) RaiseLastError();
  std::string bytes(size_t(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) RaiseLastError();
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

void WriteFileReplacing(const std::wstring& FileName, std::string_view Bytes) {
  const std::wstring temporary = FileName + L".saving";
  {
    win32::FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) RaiseLastError();
    size_t done = 0;
    while (done < Bytes.size()) {
      DWORD written = 0;
      const DWORD want = DWORD(std::min<size_t>(Bytes.size() - done, 1u << 30));
      if (!WriteFile(file.get(), Bytes.data() + done, want, &written, nullptr) || written == 0) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(temporary.c_str());
        throw Exception(SystemErrorMessage(error));
      }
      done += written;
    }
    if (!FlushFileBuffers(file.get())) {
      const DWORD error = GetLastError();
      file.reset();
      DeleteFileW(temporary.c_str());
      throw Exception(SystemErrorMessage(error));
    }
  }
  if (!MoveFileExW(temporary.c_str(), FileName.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    throw Exception(SystemErrorMessage(error));
  }
}

// Folders and times

bool CreateFolder(const std::wstring& Path) { return CreateDirectoryW(Path.c_str(), nullptr); }

bool RemoveEmptyFolder(const std::wstring& Path) { return RemoveDirectoryW(Path.c_str()); }

namespace {

// "\\?\C:\dir\file" -> "C:\dir\file"; "\\?\UNC\server\share" -> "\\server\share".
std::wstring DosPathOfFinalPath(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + path.substr(7);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

bool SameFinalPath(HANDLE handle, const std::wstring& expected) {
  std::wstring buffer(MAX_PATH + 1, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()),
                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  }
  if (length == 0 || length >= buffer.size()) return false;
  buffer.resize(length);
  // Letter case does not tell two paths apart on Windows; a link on the way does.
  const std::wstring final = DosPathOfFinalPath(buffer);
  return CompareStringOrdinal(final.c_str(), int(final.size()), expected.c_str(),
                              int(expected.size()), TRUE) == CSTR_EQUAL;
}

// Opens Path itself (a link at its end is opened as the link) for deletion, checks it and marks
// it for deletion on the handle. Directory must say what is expected there.
bool DeleteThroughHandle(const std::wstring& Path, bool Directory) {
  win32::FileHandle handle(CreateFileW(
      Path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
      FILE_FLAG_OPEN_REPARSE_POINT | (Directory ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr));
  if (!handle.valid()) return false;
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic))
    return false;
  if (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
  if (bool(basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != Directory) return false;
  if (!SameFinalPath(handle.get(), Path)) return false;
  if (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) {
    // A read-only file cannot be marked for deletion; the shell would delete it all the same.
    FILE_BASIC_INFO writable = basic;
    writable.FileAttributes &= ~DWORD(FILE_ATTRIBUTE_READONLY);
    if (writable.FileAttributes == 0) writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(handle.get(), FileBasicInfo, &writable, sizeof writable))
      return false;
  }
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  if (!SetFileInformationByHandle(handle.get(), FileDispositionInfo, &disposition,
                                  sizeof disposition)) {
    if (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)
      SetFileInformationByHandle(handle.get(), FileBasicInfo, &basic, sizeof basic);
    return false;
  }
  return true;  // the file goes when the handle closes
}

}  // namespace

bool DeleteCollectedFile(const std::wstring& Path) { return DeleteThroughHandle(Path, false); }

bool RemoveCollectedFolder(const std::wstring& Path) { return DeleteThroughHandle(Path, true); }

bool SetFileTimes(const std::wstring& Path, std::optional<FileTime> LastAccessUtc,
                  std::optional<FileTime> LastWriteUtc) {
  // FILE_FLAG_BACKUP_SEMANTICS lets the same call set the times of a folder.
  win32::FileHandle file(CreateFileW(Path.c_str(), FILE_WRITE_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                     nullptr));
  if (!file.valid()) return false;
  FILETIME access{}, write{};
  if (LastAccessUtc) access = ToFiletime(*LastAccessUtc);
  if (LastWriteUtc) write = ToFiletime(*LastWriteUtc);
  return SetFileTime(file.get(), nullptr, LastAccessUtc ? &access : nullptr,
                     LastWriteUtc ? &write : nullptr);
}

// Messages

void ProcessMessages(MessagePace Pace) {
  static const LONGLONG CountsPerMillisecond = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart / 1000;
  }();
  static LONGLONG lastCheck = 0;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  if (Pace == MessagePace::Frequent && now.QuadPart - lastCheck < CountsPerMillisecond) return;
  lastCheck = now.QuadPart;

  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit request for the main loop, which ends the program with it.
      PostQuitMessage(int(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Errors

std::wstring SystemErrorMessage(std::uint32_t Code) {
  wchar_t* raw = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
  win32::LocalPtr<wchar_t> owned(raw);
  std::wstring text = length ? std::wstring(raw, length) : std::wstring();
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  if (text.empty()) text = L"System error " + std::to_wstring(Code);
  return text;
}

std::uint32_t LastErrorCode() { return GetLastError(); }

}  // namespace dustmere::platform
