#include "scan/XolDirectoryReader.h"

#include <cstdlib>

#include "platform/Exception.h"
#include "platform/Text.h"

namespace dustmere {

namespace {

// Whole seconds between two times, truncated, whatever their order.
std::int64_t DistanceInSeconds(platform::FileTime a, platform::FileTime b) noexcept {
  const std::int64_t ticks = a > b ? a - b : b - a;
  return ticks / platform::TicksPerSecond;
}

// A FAT date and time keeps the last write time in two-second steps.
platform::FileTime TwoSecondSteps(platform::FileTime t) noexcept {
  return t - t % (2 * platform::TicksPerSecond);
}

}  // namespace

std::wstring_view ExtractFileExt(std::wstring_view FileName) noexcept {
  const size_t dot = FileName.find_last_of(L".\\:");
  if (dot == std::wstring_view::npos || FileName[dot] != L'.') return {};
  return FileName.substr(dot);
}

void TDirReader::SetDirectory(const std::wstring& Value) {
  std::wstring directory = IncludeTrailingPathDelimiter(Value);
  if (FActive) throw Exception(L"Can not change directory when active");
  if (Value.empty() || !platform::DirectoryExists(directory))
    throw Exception(L"Directory not exists");
  FDirectory = std::move(directory);
}

void TDirReader::SetDelayTimeStamp(int Seconds) noexcept {
  FDelayTimeStamp = Seconds < 0 ? -Seconds : Seconds;
}

void TDirReader::SetDelayLastAccess(int Seconds) noexcept {
  FDelayLastAccess = Seconds < 0 ? -Seconds : Seconds;
}

void TDirReader::SetActive(bool Value) {
  if (Value == FActive) return;
  if (!Value) {
    // A stop request never fails: the walk's own folder may have vanished meanwhile, and the
    // user still wants the walk to end.
    FActive = false;
    return;
  }
  if (FDirectory.empty() || !platform::DirectoryExists(FDirectory))
    throw Exception(L"Directory not exists");
  Walk();
}

void TDirReader::Walk() {
  FActive = true;
  FAnyFile = FFileMask == L"*.*";
  FMaskExtension = UpperAscii(ExtractFileExt(FFileMask));
  try {
    std::wstring path = FDirectory;
    WalkDirectory(path);
  } catch (...) {
    FActive = false;
    if (OnReady) OnReady(*this);
    throw;
  }
  FActive = false;
  if (OnReady) OnReady(*this);
}

bool TDirReader::IsExcluded(const std::wstring& path) const noexcept {
  // Each entry with a trailing delimiter added against the path, which always ends with one;
  // both folded in ASCII letters only.
  const std::wstring_view folder = std::wstring_view(path).substr(0, path.size() - 1);
  for (std::wstring_view entry : FExcludeDirs) {
    if (!entry.empty() && entry.back() == PathDelim) entry.remove_suffix(1);
    if (SameTextAscii(entry, folder)) return true;
  }
  return false;
}

bool TDirReader::FilePasses(const platform::DirEntry& entry) const {
  if (!FAnyFile) {
    const std::wstring_view extension = ExtractFileExt(entry.Name);
    if (!SameTextAscii(extension, FMaskExtension)) return false;
  }
  if (FDelayTimeStamp != 0 || FDelayLastAccess != 0) {
    const platform::FileTime now = platform::SystemTimeNow();
    if (FDelayTimeStamp != 0 &&
        DistanceInSeconds(now, TwoSecondSteps(entry.LastWriteTime)) < FDelayTimeStamp)
      return false;
    if (FDelayLastAccess != 0 && DistanceInSeconds(now, entry.LastAccessTime) < FDelayLastAccess)
      return false;
  }
  return true;
}

// path ends with a delimiter; it is extended for each entry and restored before returning, so
// the whole walk works in one buffer.
void TDirReader::WalkDirectory(std::wstring& path) {
  if (IsExcluded(path)) return;
  if (OnDirectoryFound) OnDirectoryFound(*this, path);

  const size_t base = path.size();
  path += L"*.*";
  platform::DirListing listing(path);
  path.resize(base);
  if (!listing.IsOpen()) return;

  platform::DirEntry& entry = FCurrentEntry;
  try {
    while (FActive && listing.Next(entry)) {
      const std::wstring& name = entry.Name;
      const bool dots = name == L"." || name == L"..";
      if (dots) {
        // skipped
      } else if (entry.IsDirectory()) {
        // A junction or symbolic link is not entered: it can lead back up the tree, or out of
        // the folders being cleaned into folders that nobody asked to clean.
        if (FRecursive && !entry.IsReparsePoint()) {
          path += name;
          path += PathDelim;
          WalkDirectory(path);
          path.resize(base);
        }
      } else if (FilePasses(entry)) {
        path += name;
        if (OnFileFound) OnFileFound(*this, path);
        path.resize(base);
      }
      platform::ProcessMessages(platform::MessagePace::Frequent);
    }
  } catch (...) {
    path.resize(base);
    listing.Close();
    platform::ProcessMessages(platform::MessagePace::Frequent);
    throw;
  }
  listing.Close();
  platform::ProcessMessages(platform::MessagePace::Frequent);
}

}  // namespace dustmere
