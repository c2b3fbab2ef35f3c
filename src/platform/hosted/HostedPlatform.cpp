// The platform operations on the simulated machine of HostedMachine.h.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include "platform/Exception.h"
#include "platform/Text.h"
#include "platform/hosted/HostedMachine.h"

namespace dustmere::platform {

namespace {

// Windows error codes the simulation reports.
constexpr std::uint32_t ErrorFileNotFound = 2;
constexpr std::uint32_t ErrorPathNotFound = 3;
constexpr std::uint32_t ErrorAccessDenied = 5;

struct Drive {
  std::optional<std::filesystem::path> HostRoot;  // nullopt: the drive has no reachable root
  DriveType Type = DriveType::Fixed;
  std::optional<std::uint64_t> FreeBytes;
};

struct RegistryValueData {
  std::wstring Name;  // as written; looked up without regard to ASCII case
  bool IsString = true;
  std::wstring Text;
  bool Deletable = true;
};

struct RegistryKeyData {
  bool Readable = true;
  bool Writable = true;
  std::vector<RegistryValueData> Values;  // in the order written, as the registry lists them
};

struct Machine {
  std::map<wchar_t, Drive> Drives;
  std::optional<std::wstring> WindowsDirectory;
  std::wstring TempPath;
  std::map<int, std::wstring> SpecialFolders;
  std::uint32_t TickCount = 0;
  std::optional<FileTime> Now;
  std::int64_t LocalOffsetSeconds = 0;
  wchar_t DecimalSeparator = L'.';
  // HKEY_CURRENT_USER, and HKEY_LOCAL_MACHINE as 64-bit and as 32-bit programs see it.
  std::map<std::wstring, RegistryKeyData> Registry[3];
  std::function<void()> ProcessMessagesHook;
  std::uint64_t ProcessMessagesCalls = 0;
};

Machine& TheMachine() {
  static Machine machine;
  return machine;
}

thread_local std::uint32_t LastError = 0;

void SetLastErrorFromErrno(int error) {
  LastError = error == ENOENT    ? ErrorFileNotFound
              : error == ENOTDIR ? ErrorPathNotFound
              : error == EACCES || error == EPERM ? ErrorAccessDenied
                                                  : 0x1F /* ERROR_GEN_FAILURE */;
}

constexpr std::int64_t UnixEpochInTicksSeconds = 11644473600;

// The current user's keys are the same in both views; the machine's differ.
std::map<std::wstring, RegistryKeyData>& RegistryOf(RegistryRoot root,
                                                    RegistryView view = RegistryView::Native) {
  if (root == RegistryRoot::CurrentUser) return TheMachine().Registry[0];
  return TheMachine().Registry[view == RegistryView::Native ? 1 : 2];
}

RegistryKeyData* FindRegistryKey(RegistryRoot root, const std::wstring& key, RegistryView view) {
  auto& registry = RegistryOf(root, view);
  const auto found = registry.find(UpperAscii(key));
  return found == registry.end() ? nullptr : &found->second;
}

// A key path as the registry accepts it: components joined by "\", no leading delimiter and no
// empty component (a single trailing delimiter is tolerated).
std::optional<std::wstring> NormalRegistryPath(std::wstring key) {
  if (!key.empty() && key.back() == PathDelim) key.pop_back();
  if (key.empty() || key.front() == PathDelim) return std::nullopt;
  if (key.find(L"\\\\") != std::wstring::npos) return std::nullopt;
  return key;
}

void FillEntry(const struct stat& link, const struct stat* target, const char* name,
               DirEntry& entry) {
  entry.Name = FromUtf8(name);
  std::uint32_t attributes = 0;
  if (S_ISLNK(link.st_mode)) {
    attributes |= AttrReparsePoint;
    if (target && S_ISDIR(target->st_mode)) attributes |= AttrDirectory;
  } else if (S_ISDIR(link.st_mode)) {
    attributes |= AttrDirectory;
  } else {
    attributes |= AttrArchive;
  }
  if (!(link.st_mode & S_IWUSR)) attributes |= AttrReadOnly;
  entry.Attributes = attributes;
  entry.LastAccessTime = hosted::TicksFromUnix(link.st_atim.tv_sec, link.st_atim.tv_nsec);
  entry.LastWriteTime = hosted::TicksFromUnix(link.st_mtim.tv_sec, link.st_mtim.tv_nsec);
  entry.CreationTime = hosted::TicksFromUnix(link.st_ctim.tv_sec, link.st_ctim.tv_nsec);
  entry.Size = S_ISREG(link.st_mode) ? std::uint64_t(link.st_size) : 0;
}

// Windows wildcard matching of a listing pattern's last component ("*.*" is everything).
bool PatternMatches(std::wstring_view pattern, std::wstring_view name) {
  if (pattern == L"*" || pattern == L"*.*") return true;
  size_t p = 0, n = 0, star = std::wstring_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || UpCaseAscii(pattern[p]) == UpCaseAscii(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      mark = n;
    } else if (star != std::wstring_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

bool HasWildcard(std::wstring_view s) {
  return s.find_first_of(L"*?") != std::wstring_view::npos;
}

}  // namespace

// The simulated machine's set-up

namespace hosted {

void ResetMachine() {
  auto& m = TheMachine();
  m = Machine{};
}

void MapDrive(wchar_t Letter, const std::filesystem::path& HostFolder, DriveType Type) {
  auto& drive = TheMachine().Drives[UpCaseAscii(Letter)];
  drive.HostRoot = HostFolder;
  drive.Type = Type;
}

void AddUnreachableDrive(wchar_t Letter, DriveType Type) {
  auto& drive = TheMachine().Drives[UpCaseAscii(Letter)];
  drive.HostRoot.reset();
  drive.Type = Type;
}

void UnmapDrive(wchar_t Letter) { TheMachine().Drives.erase(UpCaseAscii(Letter)); }

void SetFreeBytes(wchar_t Letter, std::optional<std::uint64_t> Bytes) {
  TheMachine().Drives[UpCaseAscii(Letter)].FreeBytes = Bytes;
}

std::optional<std::filesystem::path> HostPath(const std::wstring& WindowsPath) {
  std::wstring_view path = WindowsPath;
  wchar_t letter = L'C';  // "\dir" names a folder on the current drive, which is C: here
  if (path.size() >= 2 && path[1] == L':') {
    letter = UpCaseAscii(path[0]);
    path.remove_prefix(2);
  } else if (path.empty() || path[0] != PathDelim) {
    return std::nullopt;  // relative paths are not part of the simulation
  }
  if (path.size() >= 2 && path[0] == PathDelim && path[1] == PathDelim) return std::nullopt;
  const auto drive = TheMachine().Drives.find(letter);
  if (drive == TheMachine().Drives.end() || !drive->second.HostRoot) return std::nullopt;

  // Resolve "." and ".." lexically, as Windows does, and never above the drive root.
  std::vector<std::wstring_view> parts;
  while (!path.empty()) {
    const size_t start = path.find_first_not_of(PathDelim);
    if (start == std::wstring_view::npos) break;
    path.remove_prefix(start);
    const size_t end = path.find(PathDelim);
    const std::wstring_view part = path.substr(0, end);
    path.remove_prefix(end == std::wstring_view::npos ? path.size() : end);
    if (part == L".") continue;
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::filesystem::path host = *drive->second.HostRoot;
  for (const auto part : parts) host /= ToUtf8(part);
  return host;
}

void SetWindowsDirectory(std::optional<std::wstring> Path) {
  TheMachine().WindowsDirectory = std::move(Path);
}

void SetTempPath(std::wstring Path) { TheMachine().TempPath = std::move(Path); }

void SetSpecialFolder(int CSIDL, std::optional<std::wstring> Path) {
  if (Path)
    TheMachine().SpecialFolders[CSIDL] = *Path;
  else
    TheMachine().SpecialFolders.erase(CSIDL);
}

void SetTickCount(std::uint32_t Milliseconds) { TheMachine().TickCount = Milliseconds; }
void SetSystemTimeNow(std::optional<FileTime> Utc) { TheMachine().Now = Utc; }
void SetLocalTimeOffset(std::int64_t Seconds) { TheMachine().LocalOffsetSeconds = Seconds; }
void SetDecimalSeparator(wchar_t Separator) { TheMachine().DecimalSeparator = Separator; }

void CreateRegistryKey(RegistryRoot Root, const std::wstring& Key, RegistryView View) {
  auto& registry = RegistryOf(Root, View);
  std::wstring upper = UpperAscii(Key);
  for (size_t pos = 0;;) {
    const size_t next = upper.find(PathDelim, pos);
    registry.try_emplace(upper.substr(0, next));
    if (next == std::wstring::npos) break;
    pos = next + 1;
  }
}

void DeleteRegistryKey(RegistryRoot Root, const std::wstring& Key, RegistryView View) {
  auto& registry = RegistryOf(Root, View);
  const std::wstring upper = UpperAscii(Key);
  const std::wstring below = upper + PathDelim;
  for (auto it = registry.begin(); it != registry.end();) {
    if (it->first == upper || it->first.compare(0, below.size(), below) == 0)
      it = registry.erase(it);
    else
      ++it;
  }
}

void SetRegistryKeyAccess(RegistryRoot Root, const std::wstring& Key, bool Readable,
                          bool Writable) {
  CreateRegistryKey(Root, Key, RegistryView::Native);
  auto& data = RegistryOf(Root)[UpperAscii(Key)];
  data.Readable = Readable;
  data.Writable = Writable;
}

namespace {

RegistryValueData& ValueSlot(RegistryRoot Root, const std::wstring& Key, const std::wstring& Name) {
  CreateRegistryKey(Root, Key, RegistryView::Native);
  auto& values = RegistryOf(Root)[UpperAscii(Key)].Values;
  for (auto& value : values)
    if (SameTextAscii(value.Name, Name)) return value;
  values.push_back({Name, true, L"", true});
  return values.back();
}

}  // namespace

void SetRegistryString(RegistryRoot Root, const std::wstring& Key, const std::wstring& Name,
                       const std::wstring& Text) {
  auto& value = ValueSlot(Root, Key, Name);
  value.IsString = true;
  value.Text = Text;
}

void SetRegistryNumber(RegistryRoot Root, const std::wstring& Key, const std::wstring& Name) {
  auto& value = ValueSlot(Root, Key, Name);
  value.IsString = false;
  value.Text.clear();
}

void SetRegistryValueDeletable(RegistryRoot Root, const std::wstring& Key,
                               const std::wstring& Name, bool Deletable) {
  ValueSlot(Root, Key, Name).Deletable = Deletable;
}

std::vector<std::wstring> RegistryValueNames(RegistryRoot Root, const std::wstring& Key) {
  std::vector<std::wstring> names;
  if (const auto* data = FindRegistryKey(Root, Key, RegistryView::Native))
    for (const auto& value : data->Values) names.push_back(value.Name);
  return names;
}

bool RegistryKeyPresent(RegistryRoot Root, const std::wstring& Key) {
  return FindRegistryKey(Root, Key, RegistryView::Native) != nullptr;
}

void SetProcessMessagesHook(std::function<void()> Hook) {
  TheMachine().ProcessMessagesHook = std::move(Hook);
}

std::uint64_t ProcessMessagesCalls() { return TheMachine().ProcessMessagesCalls; }

FileTime TicksFromUnix(std::int64_t Seconds, std::int64_t Nanoseconds) {
  return (Seconds + UnixEpochInTicksSeconds) * TicksPerSecond + Nanoseconds / 100;
}

}  // namespace hosted

// DirListing

class DirListing::Impl {
public:
  DIR* Dir = nullptr;
  std::wstring Pattern;      // last component of the listing pattern
  int DotsPending = 0;       // "." and ".." are reported first, except at a drive root
  ~Impl() {
    if (Dir) closedir(Dir);
  }
};

DirListing::DirListing(const std::wstring& Pattern) : FImpl(std::make_unique<Impl>()) {
  const size_t slash = Pattern.rfind(PathDelim);
  if (slash == std::wstring::npos) return;
  const std::wstring folder = Pattern.substr(0, slash + 1);
  FImpl->Pattern = Pattern.substr(slash + 1);
  const auto host = hosted::HostPath(folder);
  if (!host) {
    LastError = ErrorPathNotFound;
    return;
  }
  FImpl->Dir = opendir(host->c_str());
  if (!FImpl->Dir) {
    SetLastErrorFromErrno(errno);
    return;
  }
  const bool atDriveRoot = folder.size() == 3 && folder[1] == L':';
  FImpl->DotsPending = atDriveRoot ? 0 : 2;
}

DirListing::~DirListing() = default;

bool DirListing::IsOpen() const noexcept { return FImpl->Dir != nullptr; }

bool DirListing::Next(DirEntry& Entry) {
  if (!FImpl->Dir) return false;
  const int fd = dirfd(FImpl->Dir);
  for (;;) {
    const char* name;
    if (FImpl->DotsPending > 0) {
      name = FImpl->DotsPending-- == 2 ? "." : "..";
    } else {
      const dirent* d = readdir(FImpl->Dir);
      if (!d) return false;
      name = d->d_name;
      if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    }
    struct stat link;
    if (fstatat(fd, name, &link, AT_SYMLINK_NOFOLLOW) != 0) continue;  // vanished meanwhile
    struct stat target;
    const bool haveTarget = S_ISLNK(link.st_mode) && fstatat(fd, name, &target, 0) == 0;
    FillEntry(link, haveTarget ? &target : nullptr, name, Entry);
    if (!HasWildcard(FImpl->Pattern) ? SameTextAscii(FImpl->Pattern, Entry.Name)
                                     : PatternMatches(FImpl->Pattern, Entry.Name))
      return true;
  }
}

void DirListing::Close() noexcept {
  if (FImpl->Dir) closedir(FImpl->Dir);
  FImpl->Dir = nullptr;
}

std::optional<DirEntry> FindFile(const std::wstring& FileName) {
  const size_t slash = FileName.rfind(PathDelim);
  if (slash == std::wstring::npos) return std::nullopt;
  const std::wstring name = FileName.substr(slash + 1);
  if (name.empty()) return std::nullopt;
  if (HasWildcard(name)) {
    DirListing listing(FileName);
    DirEntry entry;
    while (listing.Next(entry))
      if (entry.Name != L"." && entry.Name != L"..") return entry;
    return std::nullopt;
  }
  const auto host = hosted::HostPath(FileName);
  struct stat link;
  if (!host || lstat(host->c_str(), &link) != 0) {
    LastError = ErrorFileNotFound;
    return std::nullopt;
  }
  struct stat target;
  const bool haveTarget = S_ISLNK(link.st_mode) && stat(host->c_str(), &target) == 0;
  DirEntry entry;
  FillEntry(link, haveTarget ? &target : nullptr, host->filename().c_str(), entry);
  return entry;
}

std::optional<std::uint32_t> FileAttributes(const std::wstring& Path) {
  const auto host = hosted::HostPath(Path);
  if (!host) {
    LastError = ErrorPathNotFound;
    return std::nullopt;
  }
  struct stat link;
  if (lstat(host->c_str(), &link) != 0) {
    SetLastErrorFromErrno(errno);
    return std::nullopt;
  }
  struct stat target;
  const bool haveTarget = S_ISLNK(link.st_mode) && stat(host->c_str(), &target) == 0;
  DirEntry entry;
  FillEntry(link, haveTarget ? &target : nullptr, "", entry);
  return entry.Attributes;
}

// Drives

std::uint32_t LogicalDrives() {
  std::uint32_t mask = 0;
  for (const auto& [letter, drive] : TheMachine().Drives)
    if (letter >= L'A' && letter <= L'Z') mask |= 1u << (letter - L'A');
  return mask;
}

DriveType DriveTypeOf(const std::wstring& Root) {
  if (Root.size() != 3 || Root[1] != L':' || Root[2] != PathDelim) return DriveType::NoRootDir;
  const auto drive = TheMachine().Drives.find(UpCaseAscii(Root[0]));
  return drive == TheMachine().Drives.end() ? DriveType::NoRootDir : drive->second.Type;
}

std::optional<std::uint64_t> FreeBytesAvailable(const std::wstring& Root) {
  if (Root.size() < 2 || Root[1] != L':') return std::nullopt;
  const auto drive = TheMachine().Drives.find(UpCaseAscii(Root[0]));
  if (drive == TheMachine().Drives.end() || !drive->second.HostRoot) return std::nullopt;
  return drive->second.FreeBytes;
}

// Folders

std::wstring WindowsDirectory() {
  const auto& folder = TheMachine().WindowsDirectory;
  if (!folder) throw Exception(SystemErrorMessage(ErrorPathNotFound));
  return *folder;
}

std::wstring TempPath() { return TheMachine().TempPath; }

std::optional<std::wstring> SpecialFolderPath(int CSIDL) {
  const auto found = TheMachine().SpecialFolders.find(CSIDL);
  if (found == TheMachine().SpecialFolders.end()) return std::nullopt;
  return found->second;
}

// Clocks

std::uint32_t TickCount() { return TheMachine().TickCount; }

FileTime SystemTimeNow() {
  if (TheMachine().Now) return *TheMachine().Now;
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(since).count();
  return hosted::TicksFromUnix(ns / 1'000'000'000, ns % 1'000'000'000);
}

FileTime LocalTimeNow() { return *FileTimeToLocal(SystemTimeNow()); }

std::optional<FileTime> FileTimeToLocal(FileTime Utc) {
  return Utc + TheMachine().LocalOffsetSeconds * TicksPerSecond;
}

wchar_t DecimalSeparator() { return TheMachine().DecimalSeparator; }

// Registry

class RegistryKey::Impl {
public:
  RegistryRoot Root;
  std::wstring Key;
  RegistryView View;
  bool Writable;

  RegistryKeyData* Data() const { return FindRegistryKey(Root, Key, View); }
};

RegistryKey::RegistryKey(std::unique_ptr<Impl> impl) : FImpl(std::move(impl)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::Open(RegistryRoot Root, const std::wstring& Key,
                                             RegistryAccess Access, RegistryView View) {
  const auto path = NormalRegistryPath(Key);
  if (!path) return std::nullopt;
  const RegistryKeyData* data = FindRegistryKey(Root, *path, View);
  if (!data || !data->Readable) return std::nullopt;
  if (Access == RegistryAccess::AllAccess && !data->Writable) return std::nullopt;
  return RegistryKey(std::unique_ptr<Impl>(
      new Impl{Root, *path, View, Access == RegistryAccess::AllAccess}));
}

std::vector<std::wstring> RegistryKey::ValueNames() const {
  std::vector<std::wstring> names;
  if (const auto* data = FImpl->Data())
    for (const auto& value : data->Values) names.push_back(value.Name);
  return names;
}

bool RegistryKey::DeleteValue(const std::wstring& Name) const {
  auto* data = FImpl->Data();
  if (!data || !FImpl->Writable) return false;
  for (auto it = data->Values.begin(); it != data->Values.end(); ++it) {
    if (!SameTextAscii(it->Name, Name)) continue;
    if (!it->Deletable) return false;
    data->Values.erase(it);
    return true;
  }
  return false;
}

std::optional<std::wstring> RegistryKey::ReadString(const std::wstring& Name) const {
  if (const auto* data = FImpl->Data())
    for (const auto& value : data->Values)
      if (SameTextAscii(value.Name, Name)) {
        if (!value.IsString) return std::nullopt;
        return value.Text;
      }
  return std::nullopt;
}

// Whole files

std::string ReadWholeFile(const std::wstring& FileName) {
  const auto host = hosted::HostPath(FileName);
  if (!host) throw Exception(SystemErrorMessage(ErrorPathNotFound));
  const int fd = open(host->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    throw Exception(SystemErrorMessage(LastError));
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      SetLastErrorFromErrno(errno);
      close(fd);
      throw Exception(SystemErrorMessage(LastError));
    }
    if (got == 0) break;
    bytes.append(buffer, size_t(got));
  }
  close(fd);
  return bytes;
}

void WriteFileReplacing(const std::wstring& FileName, std::string_view Bytes) {
  const auto host = hosted::HostPath(FileName);
  if (!host) throw Exception(SystemErrorMessage(ErrorPathNotFound));
  std::filesystem::path temporary = *host;
  temporary += ".saving";
  const auto fail = [&](int error) {
    SetLastErrorFromErrno(error);
    unlink(temporary.c_str());
    throw Exception(SystemErrorMessage(LastError));
  };
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) fail(errno);
  size_t done = 0;
  while (done < Bytes.size()) {
    const ssize_t written = write(fd, Bytes.data() + done, Bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      fail(error);
    }
    done += size_t(written);
  }
  if (fsync(fd) != 0) {
    const int error = errno;
    close(fd);
    fail(error);
  }
  close(fd);
  if (rename(temporary.c_str(), host->c_str()) != 0) fail(errno);
}

// Folders and times

bool CreateFolder(const std::wstring& Path) {
  const auto host = hosted::HostPath(Path);
  return host && mkdir(host->c_str(), 0755) == 0;
}

bool RemoveEmptyFolder(const std::wstring& Path) {
  const auto host = hosted::HostPath(Path);
  return host && rmdir(host->c_str()) == 0;
}

namespace {

// The host path of Path when no part of it below the drive root is a symbolic link, and the
// object at its end is of the kind expected; the simulation's version of "the final path of the
// handle is the collected path and it is no reparse point".
std::optional<std::filesystem::path> HostPathWithoutLinks(const std::wstring& Path,
                                                          bool directory) {
  if (Path.size() < 3 || Path[1] != L':' || Path[2] != PathDelim) return std::nullopt;
  const auto host = hosted::HostPath(Path);
  const auto root = hosted::HostPath(Path.substr(0, 3));
  if (!host || !root) return std::nullopt;
  // Walk down from the drive root: every folder on the way must be a real folder.
  std::filesystem::path walked = *root;
  const auto relative = host->lexically_relative(*root);
  for (auto part = relative.begin(); part != relative.end(); ++part) {
    walked /= *part;
    struct stat info;
    if (lstat(walked.c_str(), &info) != 0 || S_ISLNK(info.st_mode)) return std::nullopt;
    const bool last = std::next(part) == relative.end();
    if (!last && !S_ISDIR(info.st_mode)) return std::nullopt;
    if (last && (directory ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode)))
      return std::nullopt;
  }
  return walked;
}

}  // namespace

bool DeleteCollectedFile(const std::wstring& Path) {
  const auto host = HostPathWithoutLinks(Path, false);
  return host && unlink(host->c_str()) == 0;
}

bool RemoveCollectedFolder(const std::wstring& Path) {
  const auto host = HostPathWithoutLinks(Path, true);
  return host && rmdir(host->c_str()) == 0;
}

bool SetFileTimes(const std::wstring& Path, std::optional<FileTime> LastAccessUtc,
                  std::optional<FileTime> LastWriteUtc) {
  const auto host = hosted::HostPath(Path);
  if (!host) return false;
  const auto toSpec = [](std::optional<FileTime> t) {
    timespec when{};
    if (!t) {
      when.tv_nsec = UTIME_OMIT;
      return when;
    }
    const std::int64_t sinceUnix = *t - UnixEpochInTicksSeconds * TicksPerSecond;
    std::int64_t seconds = sinceUnix / TicksPerSecond;
    std::int64_t rest = sinceUnix % TicksPerSecond;
    if (rest < 0) {
      rest += TicksPerSecond;
      --seconds;
    }
    when.tv_sec = time_t(seconds);
    when.tv_nsec = long(rest * 100);
    return when;
  };
  const timespec times[2] = {toSpec(LastAccessUtc), toSpec(LastWriteUtc)};
  return utimensat(AT_FDCWD, host->c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// Messages

// Every call counts here, whatever its pace: the tests see each point where messages may run.
void ProcessMessages(MessagePace) {
  auto& m = TheMachine();
  ++m.ProcessMessagesCalls;
  if (!m.ProcessMessagesHook) return;
  const auto hook = m.ProcessMessagesHook;  // the hook may replace itself
  hook();
}

// Errors

std::wstring SystemErrorMessage(std::uint32_t Code) {
  switch (Code) {
    case ErrorFileNotFound: return L"The system cannot find the file specified.";
    case ErrorPathNotFound: return L"The system cannot find the path specified.";
    case ErrorAccessDenied: return L"Access is denied.";
    default: return L"System error " + std::to_wstring(Code);
  }
}

std::uint32_t LastErrorCode() { return LastError; }

}  // namespace dustmere::platform
