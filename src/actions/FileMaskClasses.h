#pragma once
// The 21 file-mask cleanup actions: each says only what it collects (caption, masks, and the
// protection it wants under the "Smart" rule) and, for seven of them, whether it applies to this
// machine. Matching, protecting, counting and deleting are the file-mask branch's work.

#include <string>
#include <vector>

#include "model/DustmereClasses.h"

namespace dustmere {

// Declares a catalogue class whose only own part is its describe step.
#define DUSTMERE_FILE_MASK_CLASS(Name, ...)                                                  \
  class Name : public TCleanupFileMaskItem {                                                 \
  public:                                                                                    \
    __VA_ARGS__                                                                              \
  protected:                                                                                 \
    void DescribeFileMask(std::wstring& Caption, std::wstring& Specification,                \
                          TSmartFileProtection& SmartFileProtection) override;               \
  };

DUSTMERE_FILE_MASK_CLASS(TDeleteBackupFiles)
DUSTMERE_FILE_MASK_CLASS(TClearWindowsRecentlyUsedDocuments)
DUSTMERE_FILE_MASK_CLASS(TDeleteHelpRelatedFiles)
DUSTMERE_FILE_MASK_CLASS(TDeleteScandiskLogFiles)
DUSTMERE_FILE_MASK_CLASS(TDeleteScandiskSavedLostClusters)
DUSTMERE_FILE_MASK_CLASS(TDeleteTemporaryFiles)
DUSTMERE_FILE_MASK_CLASS(TDeleteTemporaryWordFiles)
DUSTMERE_FILE_MASK_CLASS(TDeleteThumbnailsCacheFiles)
DUSTMERE_FILE_MASK_CLASS(TDeleteWindowsDebugMemoryDumpFiles)
DUSTMERE_FILE_MASK_CLASS(TDeleteWindowsLogFiles)
DUSTMERE_FILE_MASK_CLASS(TDeleteWindowsUpdateUninstallInformation)
DUSTMERE_FILE_MASK_CLASS(TDeleteOracleClientLogFiles, static bool IsAvailable();)
DUSTMERE_FILE_MASK_CLASS(TDeleteTemporaryBDSFiles, static bool IsAvailable();)
DUSTMERE_FILE_MASK_CLASS(TDeleteTemporaryVisualStudioFiles, static bool IsAvailable();)
DUSTMERE_FILE_MASK_CLASS(TEmptyJavaCache, static bool IsAvailable();)
DUSTMERE_FILE_MASK_CLASS(TEmptyPrefetchAppCache, static bool IsAvailable();)
DUSTMERE_FILE_MASK_CLASS(TEmptyUserTemporaryDirectory)
DUSTMERE_FILE_MASK_CLASS(TEmptyWindowsTemporaryDirectory)
DUSTMERE_FILE_MASK_CLASS(TClearRealOnePlayerHistory, static bool IsAvailable();)
DUSTMERE_FILE_MASK_CLASS(TEmptyOutlookSecureTempDirectory, static bool IsAvailable();)

#undef DUSTMERE_FILE_MASK_CLASS

// Also removes the Windows Update temporary folders it emptied.
class TDeleteWindowsUpdateTemporaryFiles : public TCleanupFileMaskItem {
public:
  // The folders looked for, in the order gathered, without a trailing delimiter.
  const std::vector<std::wstring>& WinUpdateTempDirs() const noexcept { return FWinUpdateTempDirs; }

protected:
  void DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                        TSmartFileProtection& SmartFileProtection) override;
  void ExecuteCleanup() override;

private:
  std::vector<std::wstring> FWinUpdateTempDirs;
};

// A folder followed by mask text: the folder (with a trailing delimiter) matches literally.
std::wstring FolderMask(const std::wstring& Folder, const std::wstring& Tail);

}  // namespace dustmere
