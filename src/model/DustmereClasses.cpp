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
    std::wstring path = list;
    if (!path.empty() && path.front() == PathDelim) path.erase(0, 1);
    const auto key = platform::RegistryKey::Open(platform::RegistryRoot::CurrentUser, path,
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
                                     const std::wstring& FileProtection) {
  return CheckUpperCasedFile(Filename, UpperAscii(Filename), FileProtection);
}

bool TCleanupFileMaskItem::CheckUpperCasedFile(const std::wstring& Filename,
                                               std::wstring_view UpperFilename,
                                               const std::wstring& FileProtection) {
  if (!FMasks.Matches(UpperFilename)) return false;
  if (!ProtectionLetsGo(Filename, FileProtection)) return false;
  FFilelist.push_back(Filename);
  return true;
}

bool TCleanupFileMaskItem::ProtectionLetsGo(const std::wstring& Filename,
                                            const std::wstring& FileProtection) const {
  platform::FileTime lastAccess;
  try {
    lastAccess = FileLastAccessTime(Filename);
  } catch (const Exception&) {
    lastAccess = platform::LocalTimeNow();  // unknown: as if it had just been used
  }
  const auto distance = [&] {
    const platform::FileTime now = platform::LocalTimeNow();
    return now > lastAccess ? now - lastAccess : lastAccess - now;
  };

  bool keep = FileProtection == L"None";
  if (FileProtection == L"Uptime" ||
      (FileProtection == L"Smart" && FSmartFileProtection == sfWindowsSession))
    keep = distance() / platform::TicksPerSecond >= SystemUptimeSeconds();
  if (FileProtection == L"Week" ||
      (FileProtection == L"Smart" && FSmartFileProtection == sfLastWeek))
    keep = distance() / platform::TicksPerMillisecond / 604800000 >= 1;
  return keep;
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
  // Not a rule the program writes; a rule it does not know protects everything (Algorithms of
  // the protection test), so say what it is.
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
    : FIgnoreFileList(WriteMaskList(IgnoredFiles)), FIgnoreMasks(UpperAscii(FIgnoreFileList)) {}

TCleanupCustomItem& TCleanupList::AddCleanupAction(const TCleanupCustomItemClass& CleanupItemClass,
                                                   bool DefaultEnabled) {
  FItems.push_back(CleanupItemClass.Create());
  TCleanupCustomItem& item = *FItems.back();
  item.OnUpdateStatus = [this](TCleanupCustomItem& sender, const std::wstring& status) {
    ForwardItemStatus(sender, status);
  };
  item.SetDefaultEnabled(DefaultEnabled);
  if (auto* fileMask = dynamic_cast<TCleanupFileMaskItem*>(&item))
    FFileMaskItems.push_back(fileMask);
  return item;
}

bool TCleanupList::IsIgnoredFile(std::wstring_view UpperFilename) const {
  return FIgnoreMasks.Matches(UpperFilename);
}

bool TCleanupList::CheckFile(const std::wstring& Filename, const std::wstring& FileProtection) {
  FUpperFilename.assign(Filename);
  UpperAsciiInPlace(FUpperFilename);
  for (const auto folder : RecycleBinFolders)
    if (FUpperFilename.find(folder) != std::wstring::npos) return false;
  if (IsIgnoredFile(FUpperFilename)) return false;
  bool collected = false;
  for (auto* item : FFileMaskItems)
    collected |= item->CheckUpperCasedFile(Filename, FUpperFilename, FileProtection);
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
