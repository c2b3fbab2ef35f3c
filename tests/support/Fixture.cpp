#include "support/Fixture.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cwchar>
#include <random>
#include <stdexcept>

#include "platform/Text.h"
#include "scan/XolFiles.h"

#ifdef _WIN32
#include <windows.h>
#else

#include <filesystem>

#include "platform/hosted/HostedMachine.h"
#endif

namespace dustmere::test {

namespace {

std::atomic<int> FixtureCounter{0};

// Test programs run side by side, each under Wine with a server of its own that hands out the
// same process ids, so the process id alone does not keep their fixtures apart.
std::wstring UniqueName(const wchar_t* prefix) {
  static const std::uint64_t run = [] {
    std::random_device device;
    return (std::uint64_t(device()) << 32) ^ std::uint64_t(device()) ^
           std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
  }();
  wchar_t hex[17];
  std::swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(run));
  return std::wstring(prefix) + hex + L"-" + std::to_wstring(++FixtureCounter);
}

#ifdef _WIN32
// Removes a fixture folder and everything in it without following links out of it.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      const bool directory = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
      const bool link = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (directory && !link)
        RemoveTree(path + L"\\");
      else if (directory)
        RemoveDirectoryW(path.c_str());
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(ExcludeTrailingPathDelimiter(folder).c_str());
}
#endif

}  // namespace

TFixtureTree::TFixtureTree() : FRoot(TempFolder() + UniqueName(L"dustmere-test-") + L"\\") {
  if (!platform::CreateFolder(ExcludeTrailingPathDelimiter(FRoot)))
    throw std::runtime_error("cannot create the fixture folder " + ToUtf8(FRoot));
}

TFixtureTree::~TFixtureTree() {
#ifdef _WIN32
  RemoveTree(FRoot);
#else
  if (const auto host = platform::hosted::HostPath(FRoot)) {
    std::error_code ignored;
    std::filesystem::remove_all(*host, ignored);  // removes links, never what they point at
  }
#endif
}

std::wstring TFixtureTree::Dir(const std::wstring& Relative) {
  std::wstring path = FRoot;
  for (size_t pos = 0; pos <= Relative.size();) {
    size_t next = Relative.find(L'\\', pos);
    if (next == std::wstring::npos) next = Relative.size();
    if (next > pos) {
      path += Relative.substr(pos, next - pos);
      if (!platform::DirectoryExists(path) && !platform::CreateFolder(path))
        throw std::runtime_error("cannot create " + ToUtf8(path));
      path += L'\\';
    }
    pos = next + 1;
  }
  return path;
}

std::wstring TFixtureTree::File(const std::wstring& Relative, const std::string& Content) {
  const size_t slash = Relative.rfind(L'\\');
  if (slash != std::wstring::npos) Dir(Relative.substr(0, slash));
  const std::wstring path = FRoot + Relative;
  platform::WriteFileReplacing(path, Content);
  return path;
}

void TFixtureTree::SetTimes(const std::wstring& Relative,
                            std::optional<platform::FileTime> LastAccessUtc,
                            std::optional<platform::FileTime> LastWriteUtc) {
  if (!platform::SetFileTimes(FRoot + Relative, LastAccessUtc, LastWriteUtc))
    throw std::runtime_error("cannot set the times of " + ToUtf8(FRoot + Relative));
}

void TFixtureTree::MakeReadOnly(const std::wstring& Relative) {
#ifdef _WIN32
  if (!SetFileAttributesW((FRoot + Relative).c_str(), FILE_ATTRIBUTE_READONLY))
#else
  std::error_code error;
  std::filesystem::permissions(*platform::hosted::HostPath(FRoot + Relative),
                               std::filesystem::perms::owner_read, error);
  if (error)
#endif
    throw std::runtime_error("cannot make " + ToUtf8(FRoot + Relative) + " read-only");
}

bool TFixtureTree::DirectoryLink(const std::wstring& Relative, const std::wstring& Target) {
#ifdef _WIN32
  const DWORD flags = SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* ALLOW_UNPRIVILEGED_CREATE */;
  const std::wstring link = FRoot + Relative;
  // Some systems report success and create nothing, so look for the link afterwards.
  return CreateSymbolicLinkW(link.c_str(), (FRoot + Target).c_str(), flags) &&
         GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  const auto link = platform::hosted::HostPath(FRoot + Relative);
  const auto target = platform::hosted::HostPath(FRoot + Target);
  std::error_code error;
  std::filesystem::create_directory_symlink(*target, *link, error);
  return !error;
#endif
}



namespace {

std::wstring Joined(const std::wstring& base, const std::wstring& relative) {
  return relative.empty() ? base : base + L"\\" + relative;
}

#ifdef _WIN32
HKEY RootKey(platform::RegistryRoot root) {
  return root == platform::RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}
REGSAM ViewFlag(platform::RegistryView view) {
  return view == platform::RegistryView::Wow32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}
#endif

bool CreateKeyAt(platform::RegistryRoot root, const std::wstring& path,
                 platform::RegistryView view) {
#ifdef _WIN32
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | ViewFlag(view),
                      nullptr, &key, &disposition) != ERROR_SUCCESS)
    throw std::runtime_error("cannot create the registry key " + ToUtf8(path));
  RegCloseKey(key);
  return disposition == REG_CREATED_NEW_KEY;
#else
  const bool existed = platform::RegistryKeyOpens(root, path, platform::RegistryAccess::Read, view);
  platform::hosted::CreateRegistryKey(root, path, view);
  return !existed;
#endif
}

void SetStringAt(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name,
                 const std::wstring& text, platform::RegistryView view) {
#ifdef _WIN32
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_SET_VALUE | ViewFlag(view), &key) !=
      ERROR_SUCCESS)
    throw std::runtime_error("cannot open the registry key " + ToUtf8(path));
  RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 DWORD((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
#else
  (void)view;
  platform::hosted::SetRegistryString(root, path, name, text);
#endif
}

void DeleteTree(platform::RegistryRoot root, const std::wstring& path,
                platform::RegistryView view) {
#ifdef _WIN32
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS | ViewFlag(view), &key) ==
      ERROR_SUCCESS) {
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
  }
  RegDeleteKeyExW(RootKey(root), path.c_str(), ViewFlag(view), 0);
#else
  platform::hosted::DeleteRegistryKey(root, path, view);
#endif
}

}  // namespace

void TRegistryFixture::SetString(const std::wstring& Relative, const std::wstring& Name,
                                 const std::wstring& Text) {
  CreateKey(Relative);
  SetStringAt(FRoot, Joined(FBase, Relative), Name, Text, platform::RegistryView::Native);
}

std::vector<std::wstring> TRegistryFixture::ValueNames(const std::wstring& Relative) const {
  const auto key = platform::RegistryKey::Open(FRoot, Joined(FBase, Relative),
                                               platform::RegistryAccess::Read);
  return key ? key->ValueNames() : std::vector<std::wstring>{};
}

bool TRegistryFixture::KeyExists(const std::wstring& Relative) const {
  return platform::RegistryKeyOpens(FRoot, Joined(FBase, Relative), platform::RegistryAccess::Read);
}

TFixedRegistryKey::TFixedRegistryKey(platform::RegistryRoot Root, std::wstring Key,
                                     platform::RegistryView View)
    : FRoot(Root), FKey(std::move(Key)), FView(View) {
  FCreated = CreateKeyAt(FRoot, FKey, FView);
}

TFixedRegistryKey::~TFixedRegistryKey() {
  if (FCreated) DeleteTree(FRoot, FKey, FView);
}

void TFixedRegistryKey::SetString(const std::wstring& Name, const std::wstring& Text) {
  SetStringAt(FRoot, FKey, Name, Text, FView);
}

TRegistryFixture::TRegistryFixture(platform::RegistryRoot Root)
    : FRoot(Root), FBase(L"Software\\DustmereTest\\" + UniqueName(L"run-")) {
  CreateKey(L"");
}

void TRegistryFixture::CreateKey(const std::wstring& Relative) {
  CreateKeyAt(FRoot, Joined(FBase, Relative), platform::RegistryView::Native);
}

TRegistryFixture::~TRegistryFixture() {
  DeleteTree(FRoot, FBase, platform::RegistryView::Native);
#ifdef _WIN32
  // The shared parent goes only once no other run uses it: deleting a key with subkeys fails.
  RegDeleteKeyW(RootKey(FRoot), L"Software\\DustmereTest");
#endif
}

platform::FileTime UtcTime(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  // Days from civil (proleptic Gregorian), counted from 1601-01-01.
  const int y = Year - (Month <= 2);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t daysSince1970 = std::int64_t(era) * 146097 + doe - 719468;
  const std::int64_t days = daysSince1970 + 134774;  // 1601-01-01 .. 1970-01-01
  return ((days * 24 + Hour) * 60 + Minute) * 60 * platform::TicksPerSecond +
         std::int64_t(Second) * platform::TicksPerSecond;
}

}  // namespace dustmere::test
