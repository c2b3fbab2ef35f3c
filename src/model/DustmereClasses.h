#pragma once
// The cleanup action model: the abstract cleanup action, its two branches (special actions that
// do system work or clear registry history lists, and file-mask actions that collect files while
// the disks are read), and the list that owns the actions, offers them every found file and runs
// them.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "scan/XolMasks.h"

namespace dustmere {

enum TCleanupNeeded { cnYes, cnNo, cnUnknown };

// The protection the "Smart" rule applies to one file-mask action.
enum TSmartFileProtection { sfWindowsSession, sfLastWeek };

class TCleanupCustomItem;

// A status report; the empty text ends an action's reports.
using TUpdateStatusEvent =
    std::function<void(TCleanupCustomItem& Sender, const std::wstring& aStatus)>;

class TCleanupCustomItem {
public:
  virtual ~TCleanupCustomItem() = default;
  TCleanupCustomItem(const TCleanupCustomItem&) = delete;
  TCleanupCustomItem& operator=(const TCleanupCustomItem&) = delete;

  const std::wstring& Caption() const noexcept { return FCaption; }
  std::wstring FirstInfoLine() const { return QueryFirstInfoLine(); }
  std::wstring SecondInfoLine() const { return GetSecondInfoLine(); }
  TCleanupNeeded CleanupNeeded() const { return QueryCleanupNeeded(); }

  const std::wstring& FileProtection() const noexcept { return FFileProtection; }
  void SetFileProtection(const std::wstring& Value) { FFileProtection = Value; }
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool Value) noexcept { FEnabled = Value; }
  bool DefaultEnabled() const noexcept { return FDefaultEnabled; }
  void SetDefaultEnabled(bool Value) noexcept { FDefaultEnabled = Value; }

  TUpdateStatusEvent OnUpdateStatus;

  // Runs the action: its processing text, its work, then the empty text. An error raised by the
  // work leaves at once, without the closing report.
  void Cleanup();

  // Every action applies to every machine unless its class says otherwise.
  static bool IsAvailable() { return true; }

protected:
  TCleanupCustomItem() = default;

  virtual std::wstring QueryFirstInfoLine() const { return FFirstInfoLine; }
  virtual std::wstring GetSecondInfoLine() const { return FSecondInfoLine; }
  virtual TCleanupNeeded QueryCleanupNeeded() const = 0;
  virtual void ExecuteCleanup() = 0;

  void NotifyStatus(const std::wstring& aStatus);

  // The second phase of creation: runs the most derived describe step once the object is whole.
  virtual void Describe() = 0;
  template <typename T>
  friend std::unique_ptr<T> CreateCleanupAction();

  std::wstring FCaption;
  std::wstring FFirstInfoLine;
  std::wstring FSecondInfoLine;
  std::wstring FProcessingText;

private:
  bool FEnabled = false;
  bool FDefaultEnabled = false;
  std::wstring FFileProtection;
};

// Creates an action of class T and runs its describe step, as the virtual constructor does.
template <typename T>
std::unique_ptr<T> CreateCleanupAction() {
  std::unique_ptr<T> action(new T());
  static_cast<TCleanupCustomItem*>(action.get())->Describe();
  return action;
}

// A class reference: answers IsAvailable without an instance and creates an action.
struct TCleanupCustomItemClass {
  const char* ClassName;
  bool (*IsAvailable)();
  std::unique_ptr<TCleanupCustomItem> (*Create)();
};

template <typename T>
TCleanupCustomItemClass ClassOf(const char* ClassName) {
  return {ClassName, &T::IsAvailable,
          [] { return std::unique_ptr<TCleanupCustomItem>(CreateCleanupAction<T>()); }};
}
#define DUSTMERE_CLASS(T) ::dustmere::ClassOf<T>(#T)

// Actions that do their work through a system function or by clearing registry history lists.
class TCleanupSpecialActionItem : public TCleanupCustomItem {
protected:
  TCleanupSpecialActionItem() = default;

  TCleanupNeeded QueryCleanupNeeded() const override { return cnUnknown; }
  // Deletes every value of every key in CurrentUserMRULists (below HKEY_CURRENT_USER). Keys that
  // do not open and values that cannot be deleted are passed over without a report. Descendants
  // that do system work call this first.
  void ExecuteCleanup() override;

  virtual void DescribeAction(std::wstring& Caption, std::wstring& ProcessingText,
                              std::wstring& FirstInfoLine, std::wstring& SecondInfoLine) = 0;

  // Registry key paths below HKEY_CURRENT_USER whose values ExecuteCleanup deletes, in order.
  std::vector<std::wstring> CurrentUserMRULists;

private:
  void Describe() final;
};

// Actions that collect files by mask while the disks are read and delete them on cleanup.
class TCleanupFileMaskItem : public TCleanupCustomItem {
public:
  const std::vector<std::wstring>& Filelist() const noexcept { return FFilelist; }
  const std::wstring& Specification() const noexcept { return FSpecification; }
  TSmartFileProtection SmartFileProtection() const noexcept { return FSmartFileProtection; }

  // Offers one found file (a full path) under a file-protection rule; true when it was collected.
  // LastAccessUtc is the file's last access as the disk reading's listing reported it; without
  // it the file is looked up.
  bool CheckFile(const std::wstring& Filename, const std::wstring& FileProtection,
                 std::optional<platform::FileTime> LastAccessUtc = std::nullopt);
  // The same for a name the caller has already upper-cased in ASCII letters: the list does so
  // once per file for all its actions.
  bool CheckUpperCasedFile(const std::wstring& Filename, std::wstring_view UpperFilename,
                           const std::wstring& FileProtection,
                           std::optional<platform::FileTime> LastAccessUtc);

  void ClearFilelist() noexcept { FFilelist.clear(); }
  const TMaskList& Masks() const noexcept { return FMasks; }

protected:
  TCleanupFileMaskItem() = default;

  std::wstring QueryFirstInfoLine() const override;
  // Raises "TCleanupFileMaskItem.GetSecondInfoLine -> FileProtection not set!" while no rule is
  // set.
  std::wstring GetSecondInfoLine() const override;
  TCleanupNeeded QueryCleanupNeeded() const override;
  // Deletes every collected file, permanently and silently, then empties the list.
  void ExecuteCleanup() override;

  virtual void DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                                TSmartFileProtection& SmartFileProtection) = 0;

private:
  void Describe() final;
  bool ProtectionLetsGo(const std::wstring& Filename, const std::wstring& FileProtection,
                        std::optional<platform::FileTime> LastAccessUtc) const;

  std::vector<std::wstring> FFilelist;
  std::wstring FSpecification;
  TSmartFileProtection FSmartFileProtection = sfWindowsSession;
  TMaskList FMasks;  // FSpecification, parsed once
};

// The owning list of all registered actions.
class TCleanupList {
public:
  TCleanupList();
  TCleanupList(const TCleanupList&) = delete;
  TCleanupList& operator=(const TCleanupList&) = delete;

  int Count() const noexcept { return int(FItems.size()); }
  TCleanupCustomItem& operator[](int Index) const { return *FItems.at(size_t(Index)); }

  TUpdateStatusEvent OnUpdateStatus;

  // Creates an action of the class, appends it and routes its status reports through the list.
  // Does not ask IsAvailable (the caller does) and leaves Enabled false.
  TCleanupCustomItem& AddCleanupAction(const TCleanupCustomItemClass& CleanupItemClass,
                                       bool DefaultEnabled);

  // Offers a found file to every file-mask action, enabled or not; true when any collected it.
  // Files in recycle-bin folders and ignored files go to none. LastAccessUtc: as for
  // TCleanupFileMaskItem::CheckFile.
  bool CheckFile(const std::wstring& Filename, const std::wstring& FileProtection,
                 std::optional<platform::FileTime> LastAccessUtc = std::nullopt);
  // Runs every enabled action in list order; an error stops the run.
  void Cleanup();
  void ResetFileMaskItems();
  void SetEnabled(int CleanupItemIndex, bool Enabled);

  const std::wstring& IgnoreFileList() const noexcept { return FIgnoreFileList; }

private:
  void ForwardItemStatus(TCleanupCustomItem& Sender, const std::wstring& aStatus);
  bool IsIgnoredFile(std::wstring_view UpperFilename) const;

  std::vector<std::unique_ptr<TCleanupCustomItem>> FItems;
  std::vector<TCleanupFileMaskItem*> FFileMaskItems;  // the file-mask entries, in list order
  // For each last character of a name (ASCII, and one slot for all others), the file-mask
  // entries, in list order, that have a mask which a name ending so can match. Asking the others
  // would only be answered no.
  static constexpr size_t OtherEnding = 128;
  std::vector<std::vector<TCleanupFileMaskItem*>> FItemsByEnding;
  void IndexFileMaskItem(TCleanupFileMaskItem& item);
  std::wstring FIgnoreFileList;
  TMaskList FIgnoreMasks;
  std::wstring FUpperFilename;  // reused for every file
};

}  // namespace dustmere
