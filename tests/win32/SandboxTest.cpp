// The Wine sandbox must hide the host: no drive letter may lead outside the prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

bool CanList(const wchar_t* pattern) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

TEST(Sandbox, HasNoZDriveAndNoOtherDriveThanC) {
  const DWORD drives = GetLogicalDrives();
  EXPECT_EQ(drives & (1u << ('Z' - 'A')), 0u);
  EXPECT_EQ(drives, 1u << ('C' - 'A')) << "drives: " << std::hex << drives;
  EXPECT_FALSE(CanList(L"Z:\\*"));
  EXPECT_EQ(GetDriveTypeW(L"Z:\\"), DWORD(DRIVE_NO_ROOT_DIR));
}

bool CanOpen(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Wine names host files "\\?\unix\<host path>" too; in the sandbox that namespace must hold
// nothing of the host's own files. The test is given the host path of a file that exists.
TEST(Sandbox, TheUnixNamespaceShowsNoHostFiles) {
  wchar_t canary[4096] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"DUSTMERE_HOST_CANARY", canary, 4096), 0u);
  std::wstring unixPath = L"\\\\?\\unix";
  for (const wchar_t* p = canary; *p; ++p) unixPath += *p == L'/' ? L'\\' : *p;
  EXPECT_FALSE(CanOpen(unixPath)) << "the host file is visible from the sandbox";
  for (const wchar_t* folder : {L"\\\\?\\unix\\root\\*", L"\\\\?\\unix\\home\\*",
                                L"\\\\?\\unix\\mnt\\*", L"\\\\?\\unix\\srv\\*"})
    EXPECT_FALSE(CanList(folder));
}

TEST(Sandbox, HomeFoldersLieInsideThePrefix) {
  // The profile's folders resolve to C:, never to a host path outside it.
  wchar_t profile[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH), 0u);
  EXPECT_EQ(std::wstring(profile).substr(0, 3), L"C:\\");
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  EXPECT_EQ(std::wstring(temp).substr(0, 3), L"C:\\");
}

TEST(Sandbox, ThePrefixIsRealWindowsWithARegistry) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion",
                          0, KEY_READ, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

}  // namespace
