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
