#include "BenchSupport.h"

#include <algorithm>
#include <stdexcept>

#include "platform/Platform.h"
#include "platform/Text.h"

#ifdef _WIN32
#include <windows.h>

#include "scan/XolFiles.h"
#else
#include <fcntl.h>
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

#ifdef _WIN32
void MakeFolder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }
void MakeEmptyFile(const std::wstring& path) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a bench file");
  CloseHandle(h);
}
#else
std::filesystem::path Host(const std::wstring& path) { return *platform::hosted::HostPath(path); }
void MakeFolder(const std::wstring& path) { std::filesystem::create_directory(Host(path)); }
void MakeEmptyFile(const std::wstring& path) {
  const int fd = open(Host(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create a bench file");
  close(fd);
}
std::filesystem::path HostScratch;
#endif

}  // namespace

std::wstring MakeScratchFolder() {
#ifdef _WIN32
  const std::wstring folder = TempFolder() + L"dustmere-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  MakeFolder(ExcludeTrailingPathDelimiter(folder));
  return folder;
#else
  std::string pattern = (std::filesystem::temp_directory_path() / "dustmere-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create the scratch folder");
  HostScratch = pattern;
  platform::hosted::ResetMachine();
  platform::hosted::MapDrive(L'C', HostScratch, platform::DriveType::Fixed);
  platform::hosted::SetWindowsDirectory(L"C:\\Windows");
  platform::hosted::SetTempPath(L"C:\\Temp\\");
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

std::int64_t GenerateTree(const std::wstring& Folder, const TreeShape& Shape, int JunkEvery) {
  std::int64_t files = 0;
  for (int t = 0; t < Shape.Top; ++t) {
    const std::wstring top = Folder + L"Top" + std::to_wstring(t) + L"\\";
    MakeFolder(ExcludeTrailingPathDelimiter(top));
    for (int m = 0; m < Shape.Middle; ++m) {
      const std::wstring middle = top + L"Program Files " + std::to_wstring(m) + L"\\";
      MakeFolder(ExcludeTrailingPathDelimiter(middle));
      for (int l = 0; l < Shape.Leaves; ++l) {
        const std::wstring leaf = middle + L"Component" + std::to_wstring(l) + L"\\";
        MakeFolder(ExcludeTrailingPathDelimiter(leaf));
        for (int f = 0; f < Shape.FilesPerLeaf; ++f, ++files) {
          const bool junk = JunkEvery > 0 && files % JunkEvery == 0;
          MakeEmptyFile(leaf + FileName(int(files), junk));
        }
      }
    }
  }
  return files;
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
