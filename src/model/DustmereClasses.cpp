#include "model/DustmereClasses.h"

#include <cmath>

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "scan/XolFiles.h"
#include "scan/XolMiscellaneous.h"

namespace dustmere {

// TCleanupCustomItem

void TCleanupCustomItem::NotifyStatus(const std::wstring& aStatus) {
  if (OnUpdateStatus) OnUpdateStatus(*this, aStatus);
}

void TCleanupCustomItem::Cleanup() {
  NotifyStatus(FProcessingText);
  ExecuteCleanup();
  NotifyStatus(L"");
}

// TCleanupSpecialActionItem

void TCleanupSpecialActionItem::Describe() {
  DescribeAction(FCaption, FProcessingText, FFirstInfoLine, FSecondInfoLine);
}

void TCleanupSpecialActionItem::ExecuteCleanup() {
  for (const auto& list : CurrentUserMRULists) {
    const auto key = platform::RegistryKey::Open(platform::RegistryRoot::CurrentUser,
                                                 RegistryKeyPath(list),
                                                 platform::RegistryAccess::AllAccess);
    if (!key) continue;
    for (const auto& name : key->ValueNames()) key->DeleteValue(name);
  }
}

// TCleanupFileMaskItem

void TCleanupFileMaskItem::Describe() {
  DescribeFileMask(FCaption, FSpecification, FSmartFileProtection);
  SetFileProtection(L"");
  FMasks = TMaskList(UpperAscii(FSpecification));
}

bool TCleanupFileMaskItem::CheckFile(const std::wstring& Filename,
                                     const std::wstring& FileProtection,
                                     std::optional<platform::FileTime> LastAccessUtc) {
  return CheckUpperCasedFile(Filename, UpperAscii(Filename), FileProtection, LastAccessUtc);
}

bool TCleanupFileMaskItem::CheckUpperCasedFile(const std::wstring& Filename,
                                               std::wstring_view UpperFilename,
                                               const std::wstring& FileProtection,
                                               std::optional<platform::FileTime> LastAccessUtc) {
  if (!FMasks.MatchesUpperCased(UpperFilename)) return false;
  if (!ProtectionLetsGo(Filename, FileProtection, LastAccessUtc)) return false;
  FFilelist.push_back(Filename);
  return true;
}

bool TCleanupFileMaskItem::ProtectionLetsGo(const std::wstring& Filename,
                                            const std::wstring& FileProtection,
                                            std::optional<platform::FileTime> LastAccessUtc) const {
  // "None" keeps every file and a text that names no rule keeps none, whatever the file's last
  // access: only the three time rules need to look the file up.
  const bool session = FileProtection == L"Uptime" ||
                       (FileProtection == L"Smart" && FSmartFileProtection == sfWindowsSession);
  const bool week = FileProtection == L"Week" ||
                    (FileProtection == L"Smart" && FSmartFileProtection == sfLastWeek);
  if (!session && !week) return FileProtection == L"None";

  // The time the listing reported is the one a lookup would find, in the same form.
  std::optional<platform::FileTime> known;
  if (LastAccessUtc) {
    known = LocalFatTime(*LastAccessUtc);
  } else {
    try {
      known = FileLastAccessTime(Filename);
    } catch (const Exception&) {
    }
  }
  const platform::FileTime lastAccess =
      known ? *known : platform::LocalTimeNow();  // unknown: as if it had just been used
  const auto distance = [&] {
    const platform::FileTime now = platform::LocalTimeNow();
    return now > lastAccess ? now - lastAccess : lastAccess - now;
  };

  if (session) return distance() / platform::TicksPerSecond >= SystemUptimeSeconds();
  return distance() / platform::TicksPerMillisecond / 604800000 >= 1;
}

std::wstring TCleanupFileMaskItem::QueryFirstInfoLine() const {
  if (FFilelist.empty()) return L"No files found.";
  if (FFilelist.size() == 1) return L"One file found.";
  return std::to_wstring(FFilelist.size()) + L" files found.";
}

std::wstring TCleanupFileMaskItem::GetSecondInfoLine() const {
  const std::wstring& rule = FileProtection();
  if (rule.empty())
    throw Exception(L"TCleanupFileMaskItem.GetSecondInfoLine -> FileProtection not set!");
  if (rule == L"None") return L"File protection: None";
  if (rule == L"Uptime") return L"File protection: Windows session";
  if (rule == L"Week") return L"File protection: Last week";
  if (rule == L"Smart")
    return FSmartFileProtection == sfWindowsSession ? L"File protection: Windows session (smart)"
                                                    : L"File protection: Last week (smart)";
  // Not a rule the program writes; a rule it does not know lets no file go (see
  // ProtectionLetsGo), so name it as it stands.
  return L"File protection: " + rule;
}

TCleanupNeeded TCleanupFileMaskItem::QueryCleanupNeeded() const {
  return FFilelist.empty() ? cnNo : cnYes;
}

void TCleanupFileMaskItem::ExecuteCleanup() {
  const size_t n = FFilelist.size();
  for (size_t i = 1; i <= n; ++i) {
    // nearbyint rounds halves to the even neighbour.
    const long percent = long(std::nearbyint(double(i) / double(n) * 100));
    NotifyStatus(Caption() + L"  " + std::to_wstring(percent) + L"%");
    platform::DeleteCollectedFile(FFilelist[i - 1]);
  }
  FFilelist.clear();
}

// TCleanupList

namespace {

const std::vector<std::wstring> IgnoredFiles = {
    L"*\\microsoft\\office\\data\\opa*.bak", L"*\\microsoft\\office\\data\\data.bak",
    L"*\\INSTALL.LOG"};

// The recycle bin of Windows before Vista, and the one since.
constexpr std::wstring_view RecycleBinFolders[] = {L":\\RECYCLER", L":\\$RECYCLE.BIN"};

}  // namespace

TCleanupList::TCleanupList()
    : FItemsByEnding(OtherEnding + 1),
      FIgnoreFileList(WriteMaskList(IgnoredFiles)),
      FIgnoreMasks(UpperAscii(FIgnoreFileList)) {}

void TCleanupList::IndexFileMaskItem(TCleanupFileMaskItem& item) {
  FFileMaskItems.push_back(&item);
  for (size_t c = 0; c < OtherEnding; ++c)
    if (item.Masks().MayEndWith(wchar_t(c))) FItemsByEnding[c].push_back(&item);
  if (item.Masks().MayEndWith(wchar_t(OtherEnding))) FItemsByEnding[OtherEnding].push_back(&item);
}

TCleanupCustomItem& TCleanupList::AddCleanupAction(const TCleanupCustomItemClass& CleanupItemClass,
                                                   bool DefaultEnabled) {
  FItems.push_back(CleanupItemClass.Create());
  TCleanupCustomItem& item = *FItems.back();
  item.OnUpdateStatus = [this](TCleanupCustomItem& sender, const std::wstring& status) {
    ForwardItemStatus(sender, status);
  };
  item.SetDefaultEnabled(DefaultEnabled);
  if (auto* fileMask = dynamic_cast<TCleanupFileMaskItem*>(&item)) IndexFileMaskItem(*fileMask);
  return item;
}

bool TCleanupList::IsIgnoredFile(std::wstring_view UpperFilename) const {
  return FIgnoreMasks.MatchesUpperCased(UpperFilename);
}

bool TCleanupList::CheckFile(const std::wstring& Filename, const std::wstring& FileProtection,
                             std::optional<platform::FileTime> LastAccessUtc) {
  FUpperFilename.assign(Filename);
  UpperAsciiInPlace(FUpperFilename);
  // Both folder names start with ":\\", which a path from the disk holds once, after its drive
  // letter: look for the colons, then for the names there.
  for (size_t colon = FUpperFilename.find(L':'); colon != std::wstring::npos;
       colon = FUpperFilename.find(L':', colon + 1)) {
    const std::wstring_view rest = std::wstring_view(FUpperFilename).substr(colon);
    for (const auto folder : RecycleBinFolders)
      if (rest.substr(0, folder.size()) == folder) return false;
  }
  if (IsIgnoredFile(FUpperFilename)) return false;
  const size_t last = FUpperFilename.empty() ? 0 : size_t(FUpperFilename.back());
  bool collected = false;
  for (auto* item : FItemsByEnding[last < OtherEnding ? last : OtherEnding])
    if (item->Masks().MayMatchUpperCased(FUpperFilename))
      collected |= item->CheckUpperCasedFile(Filename, FUpperFilename, FileProtection, LastAccessUtc);
  return collected;
}

void TCleanupList::Cleanup() {
  for (const auto& item : FItems)
    if (item->Enabled()) item->Cleanup();
}

void TCleanupList::ResetFileMaskItems() {
  for (auto* item : FFileMaskItems) item->ClearFilelist();
}

void TCleanupList::SetEnabled(int CleanupItemIndex, bool Enabled) {
  FItems.at(size_t(CleanupItemIndex))->SetEnabled(Enabled);
}

void TCleanupList::ForwardItemStatus(TCleanupCustomItem& Sender, const std::wstring& aStatus) {
  if (OnUpdateStatus) OnUpdateStatus(Sender, aStatus);
}

}  // namespace dustmere
