#include "actions/FileMaskClasses.h"

#include "platform/Platform.h"
#include "platform/Text.h"
#include "scan/XolFiles.h"
#include "scan/XolMasks.h"
#include "scan/XolMiscellaneous.h"

namespace dustmere {

using platform::RegistryRoot;

std::wstring FolderMask(const std::wstring& Folder, const std::wstring& Tail) {
  return EscapeMaskText(IncludeTrailingPathDelimiter(Folder)) + Tail;
}

namespace {

// Keys of 32-bit programs live in the 32-bit view of HKEY_LOCAL_MACHINE, which a 64-bit program
// does not see by default.
bool MachineKeyExists(const std::wstring& Key) {
  return RegistryKeyExists(RegistryRoot::LocalMachine, Key, platform::RegistryView::Native) ||
         RegistryKeyExists(RegistryRoot::LocalMachine, Key, platform::RegistryView::Wow32);
}

std::wstring OutlookSecurityKey(int Version) {
  return L"\\Software\\Microsoft\\Office\\" + std::to_wstring(Version) + L".0\\Outlook\\Security";
}

}  // namespace

void TDeleteBackupFiles::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                          TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete backup files (*.bak, *.old, *.000)";
  Specification = BuildMaskList({L"*.bak", L"*.old", L"*.000"});
  SmartFileProtection = sfLastWeek;
}

void TClearWindowsRecentlyUsedDocuments::DescribeFileMask(std::wstring& Caption,
                                                          std::wstring& Specification,
                                                          TSmartFileProtection& SmartFileProtection) {
  Caption = L"Clear Windows recently used documents list";
  Specification = BuildMaskList({FolderMask(SpecialFolder(CSIDL_RECENT), L"*")});
  SmartFileProtection = sfLastWeek;
}

void TDeleteHelpRelatedFiles::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                               TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete auto created help-related files (*.gid, *.fts, *.ftg)";
  Specification = BuildMaskList({L"*.gid", L"*.fts", L"*.ftg"});
  SmartFileProtection = sfLastWeek;
}

void TDeleteScandiskLogFiles::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                               TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete Scandisk log files";
  Specification = BuildMaskList({L"?:\\Scandisk.log"});
  SmartFileProtection = sfWindowsSession;
}

void TDeleteScandiskSavedLostClusters::DescribeFileMask(std::wstring& Caption,
                                                        std::wstring& Specification,
                                                        TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete Scandisk saved lost clusters";
  Specification = BuildMaskList({L"?:\\File????.CHK"});
  SmartFileProtection = sfWindowsSession;
}

void TDeleteTemporaryFiles::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                             TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete temporary files (*.tmp, *.$$$, *.~mp)";
  Specification = BuildMaskList({L"*.tmp", L"*.$$$", L"*.~mp"});
  SmartFileProtection = sfWindowsSession;
}

void TDeleteTemporaryWordFiles::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                                 TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete temporary Word files";
  Specification = BuildMaskList({L"*\\~$*.doc"});
  SmartFileProtection = sfWindowsSession;
}

void TDeleteThumbnailsCacheFiles::DescribeFileMask(std::wstring& Caption,
                                                   std::wstring& Specification,
                                                   TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete thumbnails cache files (Thumbs.db)";
  Specification = BuildMaskList({L"*Thumbs.db"});
  SmartFileProtection = sfWindowsSession;
}

void TDeleteWindowsDebugMemoryDumpFiles::DescribeFileMask(std::wstring& Caption,
                                                          std::wstring& Specification,
                                                          TSmartFileProtection& SmartFileProtection) {
  const std::wstring w = WindowsFolder();
  Caption = L"Delete Windows debug memory dump files";
  Specification = BuildMaskList({FolderMask(w, L"Minidump\\*.dmp"), FolderMask(w, L"memory.dmp")});
  SmartFileProtection = sfWindowsSession;
}

void TDeleteWindowsLogFiles::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                              TSmartFileProtection& SmartFileProtection) {
  static const wchar_t* const InWindowsFolder[] = {
      L"system32\\wbem\\Logs\\*.log", L"system32\\wbem\\Logs\\*.lo_", L"KB??????.log",
      L"Q??????.log", L"setuplog.txt", L"comsetup.log", L"DirectX.log", L"FaxSetup.log",
      L"iis6.log", L"msmqinst.log", L"ntdtcsetup.log", L"ocgen.log", L"setupact.log",
      L"setupapi.log", L"svcpack.log", L"tsoc.log", L"Windows Update.log", L"WindowsUpdate.log",
      L"wmsetup.log", L"ntbtlog.txt", L"Debug\\*.log", L"Debug\\UserMode\\*.log"};
  const std::wstring w = WindowsFolder();
  std::vector<std::wstring> masks;
  for (const wchar_t* tail : InWindowsFolder) masks.push_back(FolderMask(w, tail));
  masks.push_back(L"*\\Application Data\\Microsoft\\Dr Watson\\*.log");
  masks.push_back(L"*\\Application Data\\Microsoft\\Dr Watson\\*.dmp");
  Caption = L"Delete Windows log files";
  Specification = BuildMaskList(masks);
  SmartFileProtection = sfLastWeek;
}

void TDeleteWindowsUpdateTemporaryFiles::DescribeFileMask(
    std::wstring& Caption, std::wstring& Specification,
    TSmartFileProtection& SmartFileProtection) {
  SmartFileProtection = sfWindowsSession;
  FWinUpdateTempDirs.clear();
  std::vector<std::wstring> masks;
  const auto gather = [&](const std::wstring& folder) {
    FWinUpdateTempDirs.push_back(folder);
    masks.push_back(FolderMask(folder, L"*"));
  };
  std::vector<std::wstring> roots;
  ListDriveRoots(roots, false);
  for (const auto& root : roots) {
    gather(root + L"WUTemp");
    gather(root + L"msdownld.tmp");
  }
  const std::wstring w = WindowsFolder();
  gather(w + L"msdownld.tmp");
  gather(w + L"Windows Update Setup Files");
  Caption = L"Delete Windows Update temporary files";
  Specification = BuildMaskList(masks);
}

void TDeleteWindowsUpdateTemporaryFiles::ExecuteCleanup() {
  TCleanupFileMaskItem::ExecuteCleanup();
  // Last to first: the Windows folder's two first, then per drive msdownld.tmp before WUTemp.
  // Only empty folders go; every failure is passed over.
  for (auto folder = FWinUpdateTempDirs.rbegin(); folder != FWinUpdateTempDirs.rend(); ++folder)
    platform::RemoveCollectedFolder(*folder);
}

void TDeleteWindowsUpdateUninstallInformation::DescribeFileMask(
    std::wstring& Caption, std::wstring& Specification,
    TSmartFileProtection& SmartFileProtection) {
  const std::wstring w = WindowsFolder();
  Caption = L"Delete Windows Update uninstall information";
  Specification = BuildMaskList(
      {FolderMask(w, L"$Nt*\\*"), FolderMask(w, L"$hf_mig$\\*"), FolderMask(w, L"$MSI*\\*")});
  SmartFileProtection = sfWindowsSession;
}

bool TDeleteOracleClientLogFiles::IsAvailable() { return MachineKeyExists(L"\\Software\\Oracle"); }

void TDeleteOracleClientLogFiles::DescribeFileMask(std::wstring& Caption,
                                                   std::wstring& Specification,
                                                   TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete Oracle client log files (sqlnet.log)";
  Specification = BuildMaskList({L"*\\sqlnet.log"});
  SmartFileProtection = sfLastWeek;
}

bool TDeleteTemporaryBDSFiles::IsAvailable() {
  return RegistryKeyExists(RegistryRoot::CurrentUser, L"\\Software\\Borland\\BDS");
}

void TDeleteTemporaryBDSFiles::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                                TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete temporary Borland Developer Studio files";
  Specification = BuildMaskList({L"*.bdsproj.local", L"*.bdsgroup.local", L"*.identcache"});
  SmartFileProtection = sfWindowsSession;
}

bool TDeleteTemporaryVisualStudioFiles::IsAvailable() { return false; }

void TDeleteTemporaryVisualStudioFiles::DescribeFileMask(std::wstring& Caption,
                                                         std::wstring& Specification,
                                                         TSmartFileProtection& SmartFileProtection) {
  Caption = L"Delete temporary Microsoft Visual Studio files (BETA!)";
  Specification = BuildMaskList(
      {L"*.csproj.user", L"*.vbproj.user", L"*.csproj.webinfo", L"*.vbproj.webinfo"});
  SmartFileProtection = sfLastWeek;
}

bool TEmptyJavaCache::IsAvailable() {
  // Both tests look in the profile folder, although the second mask uses the application data
  // folder.
  const std::wstring p = SpecialFolder(CSIDL_PROFILE);
  return platform::DirectoryExists(p + L".jpi_cache") ||
         platform::DirectoryExists(p + L"Sun\\Java\\Deployment\\cache");
}

void TEmptyJavaCache::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                       TSmartFileProtection& SmartFileProtection) {
  Caption = L"Empty Java runtime cache";
  Specification = BuildMaskList({FolderMask(SpecialFolder(CSIDL_PROFILE), L".jpi_cache\\*"),
                                 FolderMask(SpecialFolder(CSIDL_APPDATA),
                                            L"Sun\\Java\\Deployment\\cache\\*")});
  SmartFileProtection = sfWindowsSession;
}

bool TEmptyPrefetchAppCache::IsAvailable() {
  return platform::DirectoryExists(WindowsFolder() + L"Prefetch");
}

void TEmptyPrefetchAppCache::DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                              TSmartFileProtection& SmartFileProtection) {
  Caption = L"Empty prefetch applications cache";
  Specification = BuildMaskList({FolderMask(WindowsFolder(), L"Prefetch\\*")});
  SmartFileProtection = sfLastWeek;
}

void TEmptyUserTemporaryDirectory::DescribeFileMask(std::wstring& Caption,
                                                    std::wstring& Specification,
                                                    TSmartFileProtection& SmartFileProtection) {
  Caption = L"Empty user temporary directory";
  Specification = BuildMaskList({FolderMask(TempFolder(), L"*")});
  SmartFileProtection = sfWindowsSession;
}

void TEmptyWindowsTemporaryDirectory::DescribeFileMask(std::wstring& Caption,
                                                       std::wstring& Specification,
                                                       TSmartFileProtection& SmartFileProtection) {
  Caption = L"Empty Windows temporary directory";
  Specification = BuildMaskList({FolderMask(WindowsFolder(), L"Temp\\*")});
  SmartFileProtection = sfWindowsSession;
}

bool TClearRealOnePlayerHistory::IsAvailable() {
  return MachineKeyExists(L"\\SOFTWARE\\RealNetworks\\RealPlayer");
}

void TClearRealOnePlayerHistory::DescribeFileMask(std::wstring& Caption,
                                                  std::wstring& Specification,
                                                  TSmartFileProtection& SmartFileProtection) {
  Caption = L"Clear RealOne Player history";
  Specification = BuildMaskList({L"*\\Application Data\\Real\\RealOne Player\\History\\*"});
  SmartFileProtection = sfLastWeek;
}

bool TEmptyOutlookSecureTempDirectory::IsAvailable() {
  for (const int version : {9, 10, 11})
    if (RegistryKeyExists(RegistryRoot::CurrentUser, OutlookSecurityKey(version))) return true;
  return false;
}

void TEmptyOutlookSecureTempDirectory::DescribeFileMask(std::wstring& Caption,
                                                        std::wstring& Specification,
                                                        TSmartFileProtection& SmartFileProtection) {
  SmartFileProtection = sfWindowsSession;
  Caption = L"Empty Outlook Secure Temporary File folder";
  std::vector<std::wstring> masks;
  for (const int version : {8, 9, 10, 11, 12}) {
    const auto key = platform::RegistryKey::Open(RegistryRoot::CurrentUser,
                                                 RegistryKeyPath(OutlookSecurityKey(version)),
                                                 platform::RegistryAccess::AllAccess);
    if (!key) continue;
    // A value that is missing, or is not text, names no folder: it reads as the empty text.
    const std::wstring folder = IncludeTrailingPathDelimiter(
        key->ReadString(L"OutlookSecureTempFolder").value_or(L""));
    if (platform::DirectoryExists(folder)) masks.push_back(FolderMask(folder, L"*"));
  }
  Specification = WriteMaskList(masks);
}

}  // namespace dustmere
