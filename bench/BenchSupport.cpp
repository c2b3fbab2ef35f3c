#include "BenchSupport.h"

#include <algorithm>
#include <stdexcept>

#include "platform/Platform.h"
#include "platform/Text.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>

#include "scan/XolFiles.h"
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/hosted/HostedMachine.h"
#endif

namespace dustmere::bench {

namespace {

const wchar_t* const JunkNames[] = {L"~tmp%d.tmp", L"report%d.bak", L"setup%d.log",
                                    L"Thumbs.db",  L"old%d.old",   L"dump%d.dmp"};
const wchar_t* const PlainNames[] = {L"document%d.docx", L"image%d.png", L"library%d.dll",
                                     L"program%d.exe",   L"notes%d.txt", L"data%d.dat"};

std::wstring FileName(int index, bool junk) {
  const wchar_t* pattern = junk ? JunkNames[index % 6] : PlainNames[index % 6];
  std::wstring name;
  for (const wchar_t* p = pattern; *p; ++p) {
    if (p[0] == L'%' && p[1] == L'd') {
      name += std::to_wstring(index);
      ++p;
    } else {
      name += *p;
    }
  }
  return name;
}

const wchar_t* const TopFolders[] = {
    L"Windows", L"Program Files", L"Program Files (x86)", L"Users\\anna\\Documents",
    L"Users\\anna\\AppData\\Local", L"Users\\anna\\AppData\\Roaming", L"ProgramData",
    L"Games", L"Projects", L"Users\\anna\\Pictures"};

#ifdef _WIN32
// Creates the folder and every missing parent.
void MakeFolder(const std::wstring& path) {
  for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
       slash = path.find(L'\\', slash + 1))
    CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
}
void MakeEmptyFile(const std::wstring& path, std::int64_t ageSeconds) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a bench file");
  if (ageSeconds > 0) {
    const platform::FileTime t = platform::SystemTimeNow() - ageSeconds * platform::TicksPerSecond;
    FILETIME ft{DWORD(std::uint64_t(t) & 0xFFFFFFFFu), DWORD(std::uint64_t(t) >> 32)};
    SetFileTime(h, nullptr, &ft, &ft);
  }
  CloseHandle(h);
}
#else
std::filesystem::path Host(const std::wstring& path) { return *platform::hosted::HostPath(path); }
void MakeFolder(const std::wstring& path) { std::filesystem::create_directories(Host(path)); }
void MakeEmptyFile(const std::wstring& path, std::int64_t ageSeconds) {
  const int fd = open(Host(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create a bench file");
  if (ageSeconds > 0) {
    timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= ageSeconds;
    times[1] = times[0];
    futimens(fd, times);
  }
  close(fd);
}
std::filesystem::path HostScratch;
#endif

}  // namespace

std::wstring MakeScratchFolder() {
#ifdef _WIN32
  // At the drive root, not in the temporary folder, whose every file some actions collect.
  const std::wstring folder =
      L"C:\\dustmere-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  MakeFolder(ExcludeTrailingPathDelimiter(folder));
  return folder;
#else
  std::string pattern = (std::filesystem::temp_directory_path() / "dustmere-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create the scratch folder");
  HostScratch = pattern;
  platform::hosted::ResetMachine();
  platform::hosted::MapDrive(L'C', HostScratch, platform::DriveType::Fixed);
  // The folders of the generated tree's Windows-like top folders.
  platform::hosted::SetWindowsDirectory(L"C:\\Windows");
  platform::hosted::SetTempPath(L"C:\\Users\\anna\\AppData\\Local\\Temp\\");
  platform::hosted::SetSpecialFolder(8, L"C:\\Users\\anna\\AppData\\Roaming\\Microsoft\\Windows\\Recent");
  platform::hosted::SetSpecialFolder(26, L"C:\\Users\\anna\\AppData\\Roaming");
  platform::hosted::SetSpecialFolder(40, L"C:\\Users\\anna");
  platform::hosted::SetTickCount(3'600'000);
  return L"C:\\";
#endif
}

void RemoveScratchFolder(const std::wstring& Folder) {
#ifdef _WIN32
  // Only what GenerateTree made: files and folders, no links.
  std::function<void(const std::wstring&)> remove = [&](const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          remove(folder + name + L"\\");
        else
          DeleteFileW((folder + name).c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(ExcludeTrailingPathDelimiter(folder).c_str());
  };
  remove(Folder);
#else
  (void)Folder;
  std::error_code ignored;
  std::filesystem::remove_all(HostScratch, ignored);
#endif
}

std::int64_t GenerateTree(const std::wstring& Folder, const TreeShape& Shape,
                          const TreeContent& Content) {
  std::int64_t files = 0;
  for (int t = 0; t < Shape.Top; ++t) {
    std::wstring top = Folder + TopFolders[t % 10];
    if (t >= 10) top += L" " + std::to_wstring(t / 10);
    MakeFolder(top);
    top += L"\\";
    for (int m = 0; m < Shape.Middle; ++m) {
      const std::wstring middle = top + L"Vendor " + std::to_wstring(m) + L"\\";
      MakeFolder(ExcludeTrailingPathDelimiter(middle));
      for (int l = 0; l < Shape.Leaves; ++l) {
        const std::wstring leaf = middle + L"Component" + std::to_wstring(l) + L"\\";
        MakeFolder(ExcludeTrailingPathDelimiter(leaf));
        for (int f = 0; f < Shape.FilesPerLeaf; ++f, ++files) {
          const bool junk = Content.JunkEvery > 0 && files % Content.JunkEvery == 0;
          const std::wstring name = Content.AllTemporary
                                        ? L"~cache" + std::to_wstring(files) + L".tmp"
                                        : FileName(int(files), junk);
          MakeEmptyFile(leaf + name, Content.AgeSeconds);
        }
      }
    }
  }
  return files;
}

std::uint64_t PeakMemoryBytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return std::uint64_t(usage.ru_maxrss) * 1024;
#endif
}

namespace {

void WalkBelow(std::wstring& path, std::int64_t& entries,
               const std::function<void(const std::wstring&, const platform::DirEntry&)>& onFile) {
  const size_t base = path.size();
  path += L"*.*";
  platform::DirListing listing(path);
  path.resize(base);
  platform::DirEntry entry;
  while (listing.Next(entry)) {
    if (entry.Name == L"." || entry.Name == L"..") continue;
    ++entries;
    path += entry.Name;
    if (entry.IsDirectory()) {
      path += L'\\';
      WalkBelow(path, entries, onFile);
    } else if (onFile) {
      onFile(path, entry);
    }
    path.resize(base);
  }
}

}  // namespace

std::int64_t BareWalk(
    const std::wstring& Folder,
    const std::function<void(const std::wstring&, const platform::DirEntry&)>& OnFile) {
  std::int64_t entries = 0;
  std::wstring path = Folder;
  WalkBelow(path, entries, OnFile);
  return entries;
}

double BestSeconds(int Repeats, const std::function<void()>& Run) {
  double best = 1e300;
  for (int i = 0; i < Repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

const char* PlatformName() {
#ifdef _WIN32
  return "wine";
#else
  return "native";
#endif
}

}  // namespace dustmere::bench
