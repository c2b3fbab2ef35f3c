#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "actions/CleanupActionRegistration.h"
#include "actions/FileMaskClasses.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "scan/XolDirectoryReader.h"
#include "scan/XolFiles.h"
#include "support/Fixture.h"

#ifndef _WIN32
#include <filesystem>

#include "platform/hosted/HostedMachine.h"
#include "support/HostedSandbox.h"
#endif

namespace dustmere {
namespace {

using platform::RegistryRoot;

struct CatalogueRow {
  TCleanupCustomItemClass Class;
  std::wstring Caption;
  std::vector<std::wstring> Masks;
  TSmartFileProtection Smart;
};

// The catalogue as the system's description gives it, with this machine's folders filled in.
std::vector<CatalogueRow> Catalogue() {
  const std::wstring W = WindowsFolder(), T = TempFolder(), R = SpecialFolder(CSIDL_RECENT),
                     A = SpecialFolder(CSIDL_APPDATA), P = SpecialFolder(CSIDL_PROFILE);
  std::vector<std::wstring> logs;
  for (const wchar_t* tail :
       {L"system32\\wbem\\Logs\\*.log", L"system32\\wbem\\Logs\\*.lo_", L"KB??????.log",
        L"Q??????.log", L"setuplog.txt", L"comsetup.log", L"DirectX.log", L"FaxSetup.log",
        L"iis6.log", L"msmqinst.log", L"ntdtcsetup.log", L"ocgen.log", L"setupact.log",
        L"setupapi.log", L"svcpack.log", L"tsoc.log", L"Windows Update.log",
        L"WindowsUpdate.log", L"wmsetup.log", L"ntbtlog.txt", L"Debug\\*.log",
        L"Debug\\UserMode\\*.log"})
    logs.push_back(W + tail);
  logs.push_back(L"*\\Application Data\\Microsoft\\Dr Watson\\*.log");
  logs.push_back(L"*\\Application Data\\Microsoft\\Dr Watson\\*.dmp");
  std::vector<std::wstring> updates;
  std::vector<std::wstring> roots;
  ListDriveRoots(roots, false);
  for (const auto& d : roots) {
    updates.push_back(d + L"WUTemp\\*");
    updates.push_back(d + L"msdownld.tmp\\*");
  }
  updates.push_back(W + L"msdownld.tmp\\*");
  updates.push_back(W + L"Windows Update Setup Files\\*");

  return {
      {DUSTMERE_CLASS(TDeleteBackupFiles), L"Delete backup files (*.bak, *.old, *.000)",
       {L"*.bak", L"*.old", L"*.000"}, sfLastWeek},
      {DUSTMERE_CLASS(TClearWindowsRecentlyUsedDocuments),
       L"Clear Windows recently used documents list", {R + L"*"}, sfLastWeek},
      {DUSTMERE_CLASS(TDeleteHelpRelatedFiles),
       L"Delete auto created help-related files (*.gid, *.fts, *.ftg)",
       {L"*.gid", L"*.fts", L"*.ftg"}, sfLastWeek},
      {DUSTMERE_CLASS(TDeleteScandiskLogFiles), L"Delete Scandisk log files",
       {L"?:\\Scandisk.log"}, sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteScandiskSavedLostClusters), L"Delete Scandisk saved lost clusters",
       {L"?:\\File????.CHK"}, sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteTemporaryFiles), L"Delete temporary files (*.tmp, *.$$$, *.~mp)",
       {L"*.tmp", L"*.$$$", L"*.~mp"}, sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteTemporaryWordFiles), L"Delete temporary Word files",
       {L"*\\~$*.doc"}, sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteThumbnailsCacheFiles), L"Delete thumbnails cache files (Thumbs.db)",
       {L"*Thumbs.db"}, sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteWindowsDebugMemoryDumpFiles),
       L"Delete Windows debug memory dump files", {W + L"Minidump\\*.dmp", W + L"memory.dmp"},
       sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteWindowsLogFiles), L"Delete Windows log files", logs, sfLastWeek},
      {DUSTMERE_CLASS(TDeleteWindowsUpdateTemporaryFiles), L"Delete Windows Update temporary files",
       updates, sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteWindowsUpdateUninstallInformation),
       L"Delete Windows Update uninstall information",
       {W + L"$Nt*\\*", W + L"$hf_mig$\\*", W + L"$MSI*\\*"}, sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteOracleClientLogFiles), L"Delete Oracle client log files (sqlnet.log)",
       {L"*\\sqlnet.log"}, sfLastWeek},
      {DUSTMERE_CLASS(TDeleteTemporaryBDSFiles), L"Delete temporary Borland Developer Studio files",
       {L"*.bdsproj.local", L"*.bdsgroup.local", L"*.identcache"}, sfWindowsSession},
      {DUSTMERE_CLASS(TDeleteTemporaryVisualStudioFiles),
       L"Delete temporary Microsoft Visual Studio files (BETA!)",
       {L"*.csproj.user", L"*.vbproj.user", L"*.csproj.webinfo", L"*.vbproj.webinfo"},
       sfLastWeek},
      {DUSTMERE_CLASS(TEmptyJavaCache), L"Empty Java runtime cache",
       {P + L".jpi_cache\\*", A + L"Sun\\Java\\Deployment\\cache\\*"}, sfWindowsSession},
      {DUSTMERE_CLASS(TEmptyPrefetchAppCache), L"Empty prefetch applications cache",
       {W + L"Prefetch\\*"}, sfLastWeek},
      {DUSTMERE_CLASS(TEmptyUserTemporaryDirectory), L"Empty user temporary directory",
       {T + L"*"}, sfWindowsSession},
      {DUSTMERE_CLASS(TEmptyWindowsTemporaryDirectory), L"Empty Windows temporary directory",
       {W + L"Temp\\*"}, sfWindowsSession},
      {DUSTMERE_CLASS(TClearRealOnePlayerHistory), L"Clear RealOne Player history",
       {L"*\\Application Data\\Real\\RealOne Player\\History\\*"}, sfLastWeek},
      {DUSTMERE_CLASS(TEmptyOutlookSecureTempDirectory),
       L"Empty Outlook Secure Temporary File folder", {}, sfWindowsSession},
  };
}

TEST(FileMaskCatalogue, CaptionsMasksAndProtections) {
  const auto catalogue = Catalogue();
  ASSERT_EQ(catalogue.size(), 21u);
  for (const auto& row : catalogue) {
    SCOPED_TRACE(row.Class.ClassName);
    const auto action = row.Class.Create();
    const auto& fileMask = dynamic_cast<const TCleanupFileMaskItem&>(*action);
    EXPECT_EQ(fileMask.Caption(), row.Caption);
    EXPECT_EQ(ReadMaskList(fileMask.Specification()), row.Masks);
    EXPECT_EQ(fileMask.SmartFileProtection(), row.Smart);
    EXPECT_EQ(fileMask.FileProtection(), L"");
    EXPECT_TRUE(fileMask.Filelist().empty());
    EXPECT_FALSE(fileMask.Enabled());
  }
}

TEST(FileMaskCatalogue, MasksCollectWhatTheirDescriptionsPromise) {
  const struct {
    TCleanupCustomItemClass Class;
    std::wstring File;
    bool Collected;
  } cases[] = {
      {DUSTMERE_CLASS(TDeleteTemporaryWordFiles), L"C:\\Docs\\~$report.doc", true},
      {DUSTMERE_CLASS(TDeleteTemporaryWordFiles), L"C:\\~$report.doc", true},
      {DUSTMERE_CLASS(TDeleteScandiskSavedLostClusters), L"C:\\FILE0001.CHK", true},
      {DUSTMERE_CLASS(TDeleteScandiskSavedLostClusters), L"C:\\Found.000\\FILE0001.CHK", false},
      {DUSTMERE_CLASS(TDeleteThumbnailsCacheFiles), L"D:\\Pictures\\OldThumbs.db", true},
      {DUSTMERE_CLASS(TDeleteBackupFiles), L"D:\\a\\b\\c.BAK", true},
      {DUSTMERE_CLASS(TDeleteWindowsLogFiles), WindowsFolder() + L"KB123456.LOG", true},
      {DUSTMERE_CLASS(TDeleteWindowsLogFiles), WindowsFolder() + L"KB12345.LOG", false},
      {DUSTMERE_CLASS(TDeleteWindowsLogFiles),
       WindowsFolder() + L"Debug\\UserMode\\x.log", true},
      {DUSTMERE_CLASS(TEmptyUserTemporaryDirectory), TempFolder() + L"x\\y.dat", true},
  };
  for (const auto& c : cases) {
    const auto action = c.Class.Create();
    auto& fileMask = dynamic_cast<TCleanupFileMaskItem&>(*action);
    EXPECT_EQ(fileMask.CheckFile(c.File, L"None"), c.Collected)
        << c.Class.ClassName << " " << ToUtf8(c.File);
  }
}

TEST(FileMaskCatalogue, OutlookReadsTheSecureFolderOfFiveVersions) {
  test::TFixtureTree tree;
  const std::wstring eight = tree.Dir(L"outlook8"), twelve = tree.Dir(L"outlook12");
  const auto security = [](int version) {
    return L"Software\\Microsoft\\Office\\" + std::to_wstring(version) + L".0\\Outlook\\Security";
  };
  std::vector<std::unique_ptr<test::TFixedRegistryKey>> keys;
  const auto key = [&](int version) -> test::TFixedRegistryKey& {
    keys.push_back(std::make_unique<test::TFixedRegistryKey>(RegistryRoot::CurrentUser,
                                                             security(version)));
    return *keys.back();
  };
  key(8).SetString(L"OutlookSecureTempFolder", ExcludeTrailingPathDelimiter(eight));
  key(12).SetString(L"OutlookSecureTempFolder", twelve);
  // Only 8.0 and 12.0 exist: the action is not available, though it would find both folders.
  EXPECT_FALSE(TEmptyOutlookSecureTempDirectory::IsAvailable());
  key(10).SetString(L"OutlookSecureTempFolder", tree.Path(L"missing"));
  key(11);  // no value: the bare delimiter, the root of the current drive
  EXPECT_TRUE(TEmptyOutlookSecureTempDirectory::IsAvailable());

  const auto action = CreateCleanupAction<TEmptyOutlookSecureTempDirectory>();
  EXPECT_EQ(ReadMaskList(action->Specification()),
            (std::vector<std::wstring>{eight + L"*", L"\\*", twelve + L"*"}));
}

// Each own availability test, with what makes it say yes: keys and folders that the test makes
// and takes away again. 32-bit programs keep their machine keys in the 32-bit registry view.
TEST(FileMaskCatalogue, AvailabilityFollowsTheMachine) {
  using platform::RegistryView;
  const std::wstring P = SpecialFolder(CSIDL_PROFILE), W = WindowsFolder();
  const struct {
    const char* Class;
    bool (*IsAvailable)();
    RegistryRoot Root;
    const wchar_t* Key;  // nullptr: a folder instead
    RegistryView View;
    std::wstring Folder;
  } cases[] = {
      {"TDeleteTemporaryBDSFiles", &TDeleteTemporaryBDSFiles::IsAvailable, RegistryRoot::CurrentUser,
       L"Software\\Borland\\BDS", RegistryView::Native, L""},
      {"TDeleteOracleClientLogFiles", &TDeleteOracleClientLogFiles::IsAvailable,
       RegistryRoot::LocalMachine, L"Software\\Oracle", RegistryView::Wow32, L""},
      {"TDeleteOracleClientLogFiles", &TDeleteOracleClientLogFiles::IsAvailable,
       RegistryRoot::LocalMachine, L"Software\\Oracle", RegistryView::Native, L""},
      {"TClearRealOnePlayerHistory", &TClearRealOnePlayerHistory::IsAvailable,
       RegistryRoot::LocalMachine, L"SOFTWARE\\RealNetworks\\RealPlayer", RegistryView::Wow32, L""},
      {"TEmptyJavaCache", &TEmptyJavaCache::IsAvailable, RegistryRoot::CurrentUser, nullptr,
       RegistryView::Native, P + L".jpi_cache"},
      {"TEmptyJavaCache", &TEmptyJavaCache::IsAvailable, RegistryRoot::CurrentUser, nullptr,
       RegistryView::Native, P + L"Sun"},
      {"TEmptyPrefetchAppCache", &TEmptyPrefetchAppCache::IsAvailable, RegistryRoot::CurrentUser,
       nullptr, RegistryView::Native, W + L"Prefetch"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Class);
    if (c.IsAvailable()) continue;  // this machine has it already: nothing to show
    if (c.Key) {
      test::TFixedRegistryKey key(c.Root, c.Key, c.View);
      EXPECT_TRUE(c.IsAvailable());
    } else {
      // The folder and, for the second Java folder, the ones below it that the test looks for.
      std::vector<std::wstring> made{c.Folder};
      if (c.Folder == P + L"Sun")
        for (const wchar_t* below :
             {L"\\Java", L"\\Java\\Deployment", L"\\Java\\Deployment\\cache"})
          made.push_back(c.Folder + below);
      for (const auto& folder : made) ASSERT_TRUE(platform::CreateFolder(folder));
      EXPECT_TRUE(c.IsAvailable());
      for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
        platform::RemoveEmptyFolder(*folder);
    }
    EXPECT_FALSE(c.IsAvailable());
  }
  EXPECT_FALSE(TDeleteTemporaryVisualStudioFiles::IsAvailable());
}

TEST(FileMaskCatalogue, WindowsUpdateFoldersAreRemovedOnlyWhenEmptied) {
  const auto action = CreateCleanupAction<TDeleteWindowsUpdateTemporaryFiles>();
  std::vector<std::wstring> roots;
  ListDriveRoots(roots, false);
  std::vector<std::wstring> expected;
  for (const auto& d : roots) {
    expected.push_back(d + L"WUTemp");
    expected.push_back(d + L"msdownld.tmp");
  }
  expected.push_back(WindowsFolder() + L"msdownld.tmp");
  expected.push_back(WindowsFolder() + L"Windows Update Setup Files");
  EXPECT_EQ(action->WinUpdateTempDirs(), expected);

  // C:\WUTemp empties; C:\msdownld.tmp keeps a subfolder; the Windows folder's msdownld.tmp keeps
  // a file that the protection rule kept; the last folder does not exist.
  const std::wstring c = roots.at(0);
  const std::wstring wutemp = c + L"WUTemp", msdownld = c + L"msdownld.tmp";
  const std::wstring windowsDownloads = WindowsFolder() + L"msdownld.tmp";
  // (A run that ended half way may have left them behind.)
  for (const auto& folder : {wutemp, msdownld, msdownld + L"\\sub", windowsDownloads})
    ASSERT_TRUE(platform::CreateFolder(folder) || platform::DirectoryExists(folder));
  platform::WriteFileReplacing(wutemp + L"\\update.cab", "x");
  platform::WriteFileReplacing(windowsDownloads + L"\\kept.cab", "x");

  TCleanupList list;
  list.AddCleanupAction(DUSTMERE_CLASS(TDeleteWindowsUpdateTemporaryFiles), true);
  EXPECT_TRUE(list.CheckFile(wutemp + L"\\update.cab", L"None"));
  list.SetEnabled(0, true);
  list.Cleanup();

  EXPECT_FALSE(platform::DirectoryExists(wutemp));
  EXPECT_TRUE(platform::DirectoryExists(msdownld + L"\\sub"));
  EXPECT_TRUE(platform::FileExists(windowsDownloads + L"\\kept.cab"));
  // These folders lie outside any fixture tree: take them away again.
  platform::DeleteCollectedFile(windowsDownloads + L"\\kept.cab");
  for (const auto& folder : {msdownld + L"\\sub", msdownld, windowsDownloads})
    platform::RemoveCollectedFolder(folder);
}

// A real reading and cleanup: the reader walks a fixture tree, the list collects what the
// catalogue wants under the "Week" rule, and the run deletes exactly that.
TEST(FileMaskCatalogue, CollectsProtectsAndDeletesRealFiles) {
  test::TFixtureTree tree;
  const platform::FileTime now = platform::SystemTimeNow();
  const platform::FileTime month = 30LL * 86400 * platform::TicksPerSecond;
  const auto file = [&](const wchar_t* name, platform::FileTime usedAgo) {
    const std::wstring path = tree.File(name);
    tree.SetTimes(name, now - usedAgo, now - usedAgo);
    return path;
  };
  const std::wstring oldBackup = file(L"docs\\report.bak", month);
  const std::wstring oldTemp = file(L"work\\~x.tmp", month);
  const std::wstring freshBackup = file(L"docs\\today.bak", 0);
  const std::wstring document = file(L"docs\\report.doc", month);
  const std::wstring ignored = file(L"docs\\INSTALL.LOG", month);

  TCleanupList list;
  auto& backups = list.AddCleanupAction(DUSTMERE_CLASS(TDeleteBackupFiles), true);
  list.AddCleanupAction(DUSTMERE_CLASS(TDeleteTemporaryFiles), true);
  list.AddCleanupAction(DUSTMERE_CLASS(TDeleteWindowsLogFiles), false);
  TDirReader reader;
  reader.SetRecursive(true);
  reader.SetFilemask(L"*.*");
  reader.SetDirectory(tree.Root());
  reader.OnFileFound = [&](TDirReader&, const std::wstring& f) { list.CheckFile(f, L"Week"); };
  reader.Start();

  EXPECT_EQ(backups.FirstInfoLine(), L"One file found.");
  for (int i = 0; i < list.Count(); ++i) list.SetEnabled(i, true);
  list.Cleanup();
  EXPECT_FALSE(platform::FileExists(oldBackup));
  EXPECT_FALSE(platform::FileExists(oldTemp));
  EXPECT_TRUE(platform::FileExists(freshBackup));
  EXPECT_TRUE(platform::FileExists(document));
  EXPECT_TRUE(platform::FileExists(ignored));
}

#ifndef _WIN32
using test::THostedSandbox;

TEST(FileMaskCatalogue, FolderNamesWithBracketsStayFolderNames) {
  test::TFixtureTree tree;
  for (const wchar_t* profile : {L"x[1]", L"y[2"}) {
    const std::wstring recent = tree.Dir(std::wstring(profile) + L"\\Recent");
    platform::hosted::SetSpecialFolder(CSIDL_RECENT, recent);
    const auto action = CreateCleanupAction<TClearWindowsRecentlyUsedDocuments>();
    EXPECT_TRUE(action->CheckFile(recent + L"a.lnk", L"None")) << ToUtf8(profile);
    EXPECT_FALSE(action->CheckFile(tree.Path(L"x1\\Recent\\a.lnk"), L"None"));
  }
  THostedSandbox::Reset();
}

TEST(FileMaskCatalogue, EveryFixedDriveGetsItsUpdateFolders) {
  test::TFixtureTree tree;
  platform::hosted::MapDrive(L'D', *platform::hosted::HostPath(tree.Dir(L"d")));
  platform::hosted::MapDrive(L'E', *platform::hosted::HostPath(tree.Dir(L"e")),
                             platform::DriveType::Remote);
  const auto action = CreateCleanupAction<TDeleteWindowsUpdateTemporaryFiles>();
  EXPECT_EQ(action->WinUpdateTempDirs(),
            (std::vector<std::wstring>{L"C:\\WUTemp", L"C:\\msdownld.tmp", L"D:\\WUTemp",
                                       L"D:\\msdownld.tmp", L"C:\\Windows\\msdownld.tmp",
                                       L"C:\\Windows\\Windows Update Setup Files"}));
  THostedSandbox::Reset();
}

std::vector<std::string> RegisteredClasses() {
  TCleanupList list;
  RegisterCleanupActions(list);
  std::vector<std::string> captions;
  for (int i = 0; i < list.Count(); ++i) captions.push_back(ToUtf8(list[i].Caption()));
  return captions;
}

TEST(Registration, ListsTheAvailableFileMaskActionsInTableOrder) {
  // A machine with none of the optional programs and folders.
  EXPECT_EQ(RegisteredClasses(),
            (std::vector<std::string>{
                "Clear Windows recently used documents list",
                "Delete backup files (*.bak, *.old, *.000)",
                "Delete auto created help-related files (*.gid, *.fts, *.ftg)",
                "Delete Scandisk log files", "Delete Scandisk saved lost clusters",
                "Delete temporary files (*.tmp, *.$$$, *.~mp)", "Delete temporary Word files",
                "Delete thumbnails cache files (Thumbs.db)",
                "Delete Windows debug memory dump files", "Delete Windows log files",
                "Delete Windows Update temporary files",
                "Delete Windows Update uninstall information", "Empty user temporary directory",
                "Empty Windows temporary directory"}));

  // Each own test on its own: what makes the class available.
  const struct {
    const char* Class;
    std::function<void()> Provide;
  } cases[] = {
      {"TDeleteTemporaryBDSFiles",
       [] { platform::hosted::CreateRegistryKey(RegistryRoot::CurrentUser, L"Software\\Borland\\BDS"); }},
      {"TDeleteOracleClientLogFiles",
       [] {
         platform::hosted::CreateRegistryKey(RegistryRoot::LocalMachine, L"Software\\Oracle",
                                             platform::RegistryView::Wow32);
       }},
      {"TClearRealOnePlayerHistory",
       [] {
         platform::hosted::CreateRegistryKey(RegistryRoot::LocalMachine,
                                             L"SOFTWARE\\RealNetworks\\RealPlayer");
       }},
      {"TEmptyJavaCache", [] { platform::CreateFolder(SpecialFolder(CSIDL_PROFILE) + L".jpi_cache"); }},
      {"TEmptyJavaCache",
       [] {
         std::filesystem::create_directories(*platform::hosted::HostPath(
             SpecialFolder(CSIDL_PROFILE) + L"Sun\\Java\\Deployment\\cache"));
       }},
      {"TEmptyPrefetchAppCache", [] { platform::CreateFolder(WindowsFolder() + L"Prefetch"); }},
      {"TEmptyOutlookSecureTempDirectory",
       [] {
         platform::hosted::CreateRegistryKey(RegistryRoot::CurrentUser,
                                             L"Software\\Microsoft\\Office\\10.0\\Outlook\\Security");
       }},
  };
  const auto& table = RegistrationTable();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Class);
    c.Provide();
    const auto row = std::find_if(table.begin(), table.end(), [&](const TRegistrationRow& r) {
      return std::string(r.ClassName) == c.Class;
    });
    ASSERT_NE(row, table.end());
    ASSERT_TRUE(row->Class);
    EXPECT_TRUE(row->Class->IsAvailable());
    // It joins the others, in its table position.
    TCleanupList list;
    RegisterCleanupActions(list);
    const std::wstring caption = row->Class->Create()->Caption();
    int before = 0;
    for (auto r = table.begin(); r != row; ++r) before += r->Class && r->Class->IsAvailable();
    EXPECT_EQ(list.Count(), 15);
    EXPECT_EQ(list[before].Caption(), caption);
    EXPECT_EQ(list[before].DefaultEnabled(), row->DefaultChecked);
    THostedSandbox::Reset();
    for (const std::wstring& folder : {SpecialFolder(CSIDL_PROFILE) + L".jpi_cache",
                                      SpecialFolder(CSIDL_PROFILE) + L"Sun",
                                      WindowsFolder() + L"Prefetch"}) {
      std::error_code ignored;
      std::filesystem::remove_all(*platform::hosted::HostPath(folder), ignored);
    }
  }
  EXPECT_FALSE(TDeleteTemporaryVisualStudioFiles::IsAvailable());
}

TEST(DeleteCollectedFile, DoesNotFollowALinkPlantedAfterTheReading) {
  test::TFixtureTree tree;
  const std::wstring collected = tree.File(L"temp\\cache\\junk.tmp");
  const std::wstring precious = tree.File(L"documents\\junk.tmp");
  // After the reading, the cache folder is swapped for a link to the documents.
  std::filesystem::rename(*platform::hosted::HostPath(tree.Path(L"temp\\cache")),
                          *platform::hosted::HostPath(tree.Path(L"temp\\moved")));
  ASSERT_TRUE(tree.DirectoryLink(L"temp\\cache", L"documents"));
  EXPECT_FALSE(platform::DeleteCollectedFile(collected));
  EXPECT_TRUE(platform::FileExists(precious));
  EXPECT_FALSE(platform::RemoveCollectedFolder(tree.Path(L"temp\\cache")));
  EXPECT_TRUE(platform::DirectoryExists(tree.Path(L"documents")));
}
#endif

}  // namespace
}  // namespace dustmere
