#include "scan/XolFiles.h"

#include "platform/Exception.h"
#include "platform/Text.h"

namespace dustmere {

namespace {

// Days from 1601-01-01 (the Windows time origin) to the first day of Year.
constexpr std::int64_t DaysToYear(std::int64_t year) {
  const std::int64_t y = year - 1;
  const std::int64_t base = 1600;
  auto leapsBefore = [](std::int64_t n) { return n / 4 - n / 100 + n / 400; };
  return (year - 1601) * 365 + (leapsBefore(y) - leapsBefore(base));
}

constexpr platform::FileTime TicksPerDay = 86400 * platform::TicksPerSecond;
constexpr platform::FileTime FatFirst = DaysToYear(1980) * TicksPerDay;
constexpr platform::FileTime FatEnd = DaysToYear(2108) * TicksPerDay;

}  // namespace

void ListDriveRoots(std::vector<std::wstring>& List, bool IncludeNetwork) {
  List.clear();
  const std::uint32_t drives = platform::LogicalDrives();
  std::wstring root = L"A:\\";
  for (int bit = 0; bit < 32; ++bit, ++root[0]) {
    if (!(drives & (1u << bit))) continue;
    const platform::DriveType type = platform::DriveTypeOf(root);
    const bool wanted = type == platform::DriveType::Fixed ||
                        (type == platform::DriveType::Remote && IncludeNetwork);
    if (wanted && platform::DirectoryExists(root)) List.push_back(root);
  }
}

std::wstring TempFolder() { return IncludeTrailingPathDelimiter(platform::TempPath()); }

std::wstring WindowsFolder() { return IncludeTrailingPathDelimiter(platform::WindowsDirectory()); }

std::wstring SpecialFolder(int CSIDL) {
  const auto folder = platform::SpecialFolderPath(CSIDL);
  if (!folder) return {};
  return IncludeTrailingPathDelimiter(*folder);
}

std::wstring SpecialFolderMask(int CSIDL) {
  return IncludeTrailingPathDelimiter(SpecialFolder(CSIDL)) + L"*";
}

bool TruncateToFatTime(platform::FileTime& LocalTime) {
  if (LocalTime < FatFirst || LocalTime >= FatEnd) return false;
  LocalTime -= LocalTime % (2 * platform::TicksPerSecond);
  return true;
}

std::optional<platform::FileTime> LocalFatTime(platform::FileTime Utc) {
  auto local = platform::FileTimeToLocal(Utc);
  if (!local || !TruncateToFatTime(*local)) return std::nullopt;
  return local;
}

platform::FileTime FileLastAccessTime(const std::wstring& FileName) {
  const auto entry = platform::FindFile(FileName);
  const auto local = entry ? LocalFatTime(entry->LastAccessTime) : std::nullopt;
  if (!local) throw Exception(L"Can't read file last access time.\r\n" + FileName);
  return *local;
}

}  // namespace dustmere
