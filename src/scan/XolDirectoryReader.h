#pragma once
// TDirReader walks one directory tree on the calling thread and reports every directory and file
// it meets, skipping excluded directories and, on request, files written or accessed too recently.
// Pending window messages run after every directory entry, so a window stays responsive and a
// stop request takes effect at the next entry.

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace dustmere {

class TDirReader;

using TFileFoundEvent = std::function<void(TDirReader& Sender, const std::wstring& FileName)>;
using TDirectoryFoundEvent =
    std::function<void(TDirReader& Sender, const std::wstring& Directory)>;
using TReadyEvent = std::function<void(TDirReader& Sender)>;

class TDirReader {
public:
  TDirReader() = default;
  TDirReader(const TDirReader&) = delete;
  TDirReader& operator=(const TDirReader&) = delete;

  bool Active() const noexcept { return FActive; }
  // true runs the whole walk before returning; false makes a running walk end at its next entry.
  void SetActive(bool Value);
  void Start() { SetActive(true); }
  void Stop() { SetActive(false); }

  bool Recursive() const noexcept { return FRecursive; }
  void SetRecursive(bool Value) noexcept { FRecursive = Value; }

  const std::wstring& Directory() const noexcept { return FDirectory; }
  // Raises "Can not change directory when active" during a walk, and "Directory not exists" for
  // the empty text or a folder that does not exist.
  void SetDirectory(const std::wstring& Value);

  const std::wstring& Filemask() const noexcept { return FFileMask; }
  void SetFilemask(const std::wstring& Value) { FFileMask = Value; }

  int DelayTimeStamp() const noexcept { return FDelayTimeStamp; }
  void SetDelayTimeStamp(int Seconds) noexcept;
  int DelayLastAccess() const noexcept { return FDelayLastAccess; }
  void SetDelayLastAccess(int Seconds) noexcept;

  // Directories the walk does not enter; callers change the contents.
  std::vector<std::wstring>& ExcludeDirs() noexcept { return FExcludeDirs; }

  // While OnFileFound runs: the listing's entry of the reported file, with its attributes and
  // times, so that a receiver need not look the file up again.
  const platform::DirEntry& CurrentEntry() const noexcept { return FCurrentEntry; }

  TFileFoundEvent OnFileFound;
  TDirectoryFoundEvent OnDirectoryFound;
  TReadyEvent OnReady;

private:
  void Walk();
  void WalkDirectory(std::wstring& path);
  bool IsExcluded(const std::wstring& path) const noexcept;
  bool FilePasses(const platform::DirEntry& entry) const;

  std::wstring FDirectory;
  std::wstring FFileMask;
  bool FActive = false;
  bool FRecursive = false;
  int FDelayTimeStamp = 0;
  int FDelayLastAccess = 0;
  std::vector<std::wstring> FExcludeDirs;

  platform::DirEntry FCurrentEntry;

  // Fixed for the length of one walk.
  bool FAnyFile = true;
  std::wstring FMaskExtension;
};

// The extension of a file name: from its last ".", the dot included; empty when there is none.
std::wstring_view ExtractFileExt(std::wstring_view FileName) noexcept;

}  // namespace dustmere
