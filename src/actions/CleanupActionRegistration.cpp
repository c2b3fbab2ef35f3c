#include "actions/CleanupActionRegistration.h"

#include "actions/FileMaskClasses.h"

namespace dustmere {

namespace {

TRegistrationRow Special(const char* name, bool checked) { return {name, checked, std::nullopt}; }

}  // namespace

const std::vector<TRegistrationRow>& RegistrationTable() {
#define FILE_MASK(T, checked) TRegistrationRow{#T, checked, DUSTMERE_CLASS(T)}
  static const std::vector<TRegistrationRow> table = {
      Special("TClearBDSHistory", false),
      Special("TClearIECache", true),
      Special("TClearIECookies", false),
      Special("TClearIEHistory", false),
      Special("TClearMacromediaDreamweaverHistory", false),
      Special("TClearMozillaFirefoxCache", true),
      Special("TClearMozillaFirefoxCookies", false),
      Special("TClearMozillaFirefoxHistory", false),
      Special("TClearNethood", false),
      Special("TClearNeroBurningRomHistory", true),
      Special("TClearOfficeRecentFileLists", true),
      FILE_MASK(TClearRealOnePlayerHistory, true),
      Special("TClearWindowsAccessoriesRecentFileLists", true),
      Special("TClearWindowsMediaPlayerHistory", true),
      FILE_MASK(TClearWindowsRecentlyUsedDocuments, true),
      Special("TClearWindowsRunMRU", false),
      Special("TClearWinRarHistory", true),
      Special("TClearWinZipHistory", true),
      FILE_MASK(TDeleteBackupFiles, true),
      FILE_MASK(TDeleteHelpRelatedFiles, true),
      FILE_MASK(TDeleteOracleClientLogFiles, true),
      FILE_MASK(TDeleteScandiskLogFiles, true),
      FILE_MASK(TDeleteScandiskSavedLostClusters, true),
      FILE_MASK(TDeleteTemporaryBDSFiles, true),
      FILE_MASK(TDeleteTemporaryVisualStudioFiles, false),
      FILE_MASK(TDeleteTemporaryFiles, true),
      FILE_MASK(TDeleteTemporaryWordFiles, true),
      FILE_MASK(TDeleteThumbnailsCacheFiles, true),
      FILE_MASK(TDeleteWindowsDebugMemoryDumpFiles, true),
      FILE_MASK(TDeleteWindowsLogFiles, false),
      FILE_MASK(TDeleteWindowsUpdateTemporaryFiles, true),
      FILE_MASK(TDeleteWindowsUpdateUninstallInformation, true),
      FILE_MASK(TEmptyJavaCache, true),
      FILE_MASK(TEmptyPrefetchAppCache, true),
      FILE_MASK(TEmptyUserTemporaryDirectory, true),
      Special("TEmptyEventLog", false),
      Special("TEmptyOutlookDeletedItemsFolder", false),
      FILE_MASK(TEmptyOutlookSecureTempDirectory, true),
      Special("TEmptyRecycleBin", true),
      FILE_MASK(TEmptyWindowsTemporaryDirectory, true),
      Special("TExecuteDiskCleanup", false),
  };
#undef FILE_MASK
  return table;
}

bool AddCleanupActionEntry(TCleanupList& List, const TCleanupCustomItemClass& ActionClass,
                           bool DefaultEnabled) {
  if (!ActionClass.IsAvailable()) return false;
  List.AddCleanupAction(ActionClass, DefaultEnabled);
  return true;
}

void RegisterCleanupActions(TCleanupList& List) {
  for (const auto& row : RegistrationTable())
    if (row.Class) AddCleanupActionEntry(List, *row.Class, row.DefaultChecked);
}

}  // namespace dustmere
