#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/Text.h"
#include "scan/XolFiles.h"
#include "support/Fixture.h"

#ifndef _WIN32
#include "platform/hosted/HostedMachine.h"
#include "support/HostedSandbox.h"
#endif

namespace dustmere {
namespace {

using platform::FileTime;
using platform::TicksPerSecond;
using test::UtcTime;

TEST(SystemFolders, EndWithADelimiterAndExist) {
  for (const std::wstring& folder : {TempFolder(), WindowsFolder(), SpecialFolder(CSIDL_APPDATA),
                                     SpecialFolder(CSIDL_PROFILE), SpecialFolder(CSIDL_RECENT)}) {
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\') << ToUtf8(folder);
    EXPECT_TRUE(platform::DirectoryExists(folder)) << ToUtf8(folder);
  }
  EXPECT_EQ(SpecialFolderMask(CSIDL_RECENT), SpecialFolder(CSIDL_RECENT) + L"*");
}

TEST(Drives, TheSystemDriveIsFixedAndHasFreeSpace) {
  EXPECT_EQ(platform::DriveTypeOf(L"C:\\"), platform::DriveType::Fixed);
  const auto free = platform::FreeBytesAvailable(L"C:\\");
  ASSERT_TRUE(free);
  EXPECT_GT(*free, 0u);
  EXPECT_FALSE(platform::FreeBytesAvailable(L"Q:\\"));  // no such drive
  EXPECT_EQ(platform::DriveTypeOf(L"Q:\\"), platform::DriveType::NoRootDir);
}

TEST(FileLastAccessTime, IsLocalTimeInTwoSecondSteps) {
  test::TFixtureTree tree;
  tree.File(L"a.tmp");
  const FileTime utc = UtcTime(2021, 6, 15, 10, 0, 3) + TicksPerSecond / 2;  // 10:00:03.5
  tree.SetTimes(L"a.tmp", utc, std::nullopt);

  const FileTime local = FileLastAccessTime(tree.Path(L"a.tmp"));
  const FileTime expected = *platform::FileTimeToLocal(utc) - TicksPerSecond * 3 / 2;
  EXPECT_EQ(local, expected);  // the odd second and the fraction are dropped
}

std::wstring LastAccessError(const std::wstring& name) {
  try {
    FileLastAccessTime(name);
  } catch (const Exception& error) {
    return error.Message();
  }
  return L"(no error)";
}

TEST(FileLastAccessTime, RaisesForAMissingFileOrATimeAFatDateCannotHold) {
  test::TFixtureTree tree;
  const std::wstring missing = tree.Path(L"gone.tmp");
  EXPECT_EQ(LastAccessError(missing), L"Can't read file last access time.\r\n" + missing);

  tree.File(L"old.tmp");
  tree.SetTimes(L"old.tmp", UtcTime(1975, 1, 1, 12), std::nullopt);
  EXPECT_EQ(LastAccessError(tree.Path(L"old.tmp")),
            L"Can't read file last access time.\r\n" + tree.Path(L"old.tmp"));
}

TEST(FatTime, HoldsTheYears1980To2107) {
  FileTime t = UtcTime(1980, 1, 1);
  EXPECT_TRUE(TruncateToFatTime(t));
  t = UtcTime(1979, 12, 31, 23, 59, 59);
  EXPECT_FALSE(TruncateToFatTime(t));
  t = UtcTime(2107, 12, 31, 23, 59, 59);
  EXPECT_TRUE(TruncateToFatTime(t));
  EXPECT_EQ(t, UtcTime(2107, 12, 31, 23, 59, 58));
  t = UtcTime(2108, 1, 1);
  EXPECT_FALSE(TruncateToFatTime(t));
}

#ifdef _WIN32
TEST(ListDriveRoots, SeesOnlyTheSandboxDrive) {
  std::vector<std::wstring> roots{L"stale"};
  ListDriveRoots(roots, true);
  EXPECT_EQ(roots, std::vector<std::wstring>{L"C:\\"});
}
#else
TEST(ListDriveRoots, TakesFixedDrivesAndNetworkDrivesOnRequest) {
  using platform::DriveType;
  test::TFixtureTree tree;
  const auto host = [&](const wchar_t* folder) {
    return *platform::hosted::HostPath(tree.Dir(folder));
  };
  platform::hosted::MapDrive(L'D', host(L"d"), DriveType::CDRom);
  platform::hosted::MapDrive(L'E', host(L"e"), DriveType::Removable);
  platform::hosted::MapDrive(L'F', host(L"f"), DriveType::RamDisk);
  platform::hosted::AddUnreachableDrive(L'G', DriveType::Fixed);  // listed, but no root
  platform::hosted::MapDrive(L'Z', host(L"z"), DriveType::Remote);

  std::vector<std::wstring> roots{L"stale"};
  ListDriveRoots(roots, false);
  EXPECT_EQ(roots, std::vector<std::wstring>{L"C:\\"});
  ListDriveRoots(roots, true);
  EXPECT_EQ(roots, (std::vector<std::wstring>{L"C:\\", L"Z:\\"}));
  test::THostedSandbox::Reset();
}

TEST(SystemFolders, FollowWhatTheSystemReturns) {
  platform::hosted::SetTempPath(L"C:\\Temp");
  EXPECT_EQ(TempFolder(), L"C:\\Temp\\");
  platform::hosted::SetSpecialFolder(CSIDL_RECENT, std::nullopt);
  EXPECT_EQ(SpecialFolder(CSIDL_RECENT), L"");
  EXPECT_EQ(SpecialFolderMask(CSIDL_RECENT), L"\\*");
  platform::hosted::SetWindowsDirectory(std::nullopt);
  EXPECT_THROW(WindowsFolder(), Exception);
  test::THostedSandbox::Reset();
}
#endif

}  // namespace
}  // namespace dustmere
