#include <gtest/gtest.h>

#include "model/DustmereClasses.h"
#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "scan/XolMiscellaneous.h"
#include "support/Fixture.h"

#ifndef _WIN32
#include "platform/hosted/HostedMachine.h"
#include "support/HostedSandbox.h"
#endif

namespace dustmere {
namespace {

using platform::FileTime;
using platform::TicksPerSecond;

// File-mask actions whose masks a test chooses; the catalogue's own are tested with it.
std::wstring NextMasks;
TSmartFileProtection NextSmart = sfWindowsSession;

class TTestFileMaskAction : public TCleanupFileMaskItem {
protected:
  void DescribeFileMask(std::wstring& Caption, std::wstring& Specification,
                        TSmartFileProtection& SmartFileProtection) override {
    Caption = L"Test action " + NextMasks;
    Specification = NextMasks;
    SmartFileProtection = NextSmart;
  }
};

TCleanupFileMaskItem& AddFileMaskAction(TCleanupList& list, const std::wstring& masks,
                                        TSmartFileProtection smart = sfWindowsSession) {
  NextMasks = masks;
  NextSmart = smart;
  return static_cast<TCleanupFileMaskItem&>(
      list.AddCleanupAction(DUSTMERE_CLASS(TTestFileMaskAction), true));
}

std::unique_ptr<TCleanupFileMaskItem> FileMaskAction(const std::wstring& masks,
                                                     TSmartFileProtection smart) {
  NextMasks = masks;
  NextSmart = smart;
  return CreateCleanupAction<TTestFileMaskAction>();
}

// A special action that records its runs and can be told to fail.
std::vector<std::wstring>* RunLog = nullptr;

class TTestSpecialAction : public TCleanupSpecialActionItem {
public:
  bool Fail = false;
  using TCleanupSpecialActionItem::CurrentUserMRULists;

protected:
  void DescribeAction(std::wstring& Caption, std::wstring& ProcessingText, std::wstring&,
                      std::wstring& SecondInfoLine) override {
    Caption = L"Special";
    ProcessingText = L"Doing special things...";
    SecondInfoLine = L"second";
  }
  void ExecuteCleanup() override {
    TCleanupSpecialActionItem::ExecuteCleanup();
    if (RunLog) RunLog->push_back(L"run " + Caption());
    if (Fail) throw Exception(L"special failed");
  }
};

struct TStatusLog {
  std::vector<std::wstring> Lines;
  void Attach(TCleanupList& list) {
    list.OnUpdateStatus = [this](TCleanupCustomItem& sender, const std::wstring& status) {
      Lines.push_back(sender.Caption() + L" | " + status);
    };
  }
};

TEST(CleanupList, OffersFilesToEveryFileMaskActionPastRecycleBinsAndIgnoredFiles) {
  TCleanupList list;
  EXPECT_EQ(list.IgnoreFileList(), L"*\\microsoft\\office\\data\\opa*.bak,"
                                   L"*\\microsoft\\office\\data\\data.bak,*\\INSTALL.LOG");
  auto& tmp = AddFileMaskAction(list, L"*.tmp");
  auto& anything = AddFileMaskAction(list, L"*.tmp,*.bak,*.log");
  auto& unchecked = AddFileMaskAction(list, L"*.bak");
  list.SetEnabled(2, false);

  const struct {
    const wchar_t* File;
    bool Collected;
  } cases[] = {
      {L"D:\\RECYCLER\\S-1-5-21\\Dc1.tmp", false},
      {L"d:\\recycler\\s-1-5-21\\dc1.tmp", false},
      {L"C:\\$Recycle.Bin\\S-1-5-21\\$RAB12.tmp", false},
      {L"E:\\Recycler.old\\x.bak", false},  // a plain substring test
      {L"C:\\Windows\\Debug\\INSTALL.LOG", false},
      {L"C:\\Users\\u\\AppData\\Local\\microsoft\\office\\data\\opa12.bak", false},
      {L"C:\\a\\Folder\\RECYCLER\\x.tmp", true},  // only at a drive root
      {L"C:\\Temp\\A.TMP", true},
      {L"C:\\Temp\\b.bak", true},
      {L"C:\\Temp\\c.txt", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(list.CheckFile(c.File, L"None"), c.Collected) << ToUtf8(c.File);

  // Both matching actions collect the file, the unchecked one included, in the case reported.
  EXPECT_EQ(tmp.Filelist(), (std::vector<std::wstring>{L"C:\\a\\Folder\\RECYCLER\\x.tmp",
                                                        L"C:\\Temp\\A.TMP"}));
  EXPECT_EQ(anything.Filelist().size(), 3u);
  EXPECT_EQ(unchecked.Filelist(), std::vector<std::wstring>{L"C:\\Temp\\b.bak"});
  EXPECT_EQ(unchecked.FirstInfoLine(), L"One file found.");
  EXPECT_EQ(anything.FirstInfoLine(), L"3 files found.");

  // Names that end in letters outside ASCII reach the actions that can match them too.
  auto& all = AddFileMaskAction(list, L"*");
  auto& accented = AddFileMaskAction(list, L"*\u00E9");
  EXPECT_TRUE(list.CheckFile(L"C:\\Temp\\caf\u00E9", L"None"));
  EXPECT_EQ(all.Filelist().size(), 1u);
  EXPECT_EQ(accented.Filelist().size(), 1u);

  list.ResetFileMaskItems();
  EXPECT_EQ(anything.FirstInfoLine(), L"No files found.");
  EXPECT_EQ(anything.CleanupNeeded(), cnNo);
}

TEST(CleanupList, RunsOnlyEnabledActionsInOrderAndStopsAtAnError) {
  std::vector<std::wstring> runs;
  RunLog = &runs;
  TCleanupList list;
  TStatusLog status;
  status.Attach(list);
  auto& first = list.AddCleanupAction(DUSTMERE_CLASS(TTestSpecialAction), false);
  auto& failing = list.AddCleanupAction(DUSTMERE_CLASS(TTestSpecialAction), true);
  auto& last = list.AddCleanupAction(DUSTMERE_CLASS(TTestSpecialAction), true);
  EXPECT_FALSE(first.DefaultEnabled());
  EXPECT_TRUE(failing.DefaultEnabled());
  EXPECT_EQ(first.CleanupNeeded(), cnUnknown);
  EXPECT_EQ(first.SecondInfoLine(), L"second");
  EXPECT_EQ(first.FirstInfoLine(), L"");

  list.Cleanup();  // right after registration nothing is enabled
  EXPECT_TRUE(runs.empty());

  for (int i = 0; i < list.Count(); ++i) list.SetEnabled(i, true);
  static_cast<TTestSpecialAction&>(failing).Fail = true;
  try {
    list.Cleanup();
    ADD_FAILURE() << "the error did not reach the caller";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), L"special failed");
  }
  EXPECT_EQ(runs.size(), 2u);  // the last action did not run
  EXPECT_EQ(status.Lines, (std::vector<std::wstring>{
                              L"Special | Doing special things...", L"Special | ",
                              L"Special | Doing special things..."}));  // no closing report
  (void)last;
  RunLog = nullptr;

  // Without a receiver the reports are dropped.
  list.OnUpdateStatus = nullptr;
  static_cast<TTestSpecialAction&>(failing).Fail = false;
  EXPECT_NO_THROW(list.Cleanup());
}

TEST(FileMaskAction, ReportsItsProtectionAndRefusesToWithoutARule) {
  const auto session = FileMaskAction(L"*.tmp", sfWindowsSession);
  const auto week = FileMaskAction(L"*.tmp", sfLastWeek);
  try {
    (void)session->SecondInfoLine();
    ADD_FAILURE() << "no error without a rule";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), L"TCleanupFileMaskItem.GetSecondInfoLine -> FileProtection not set!");
  }
  const struct {
    const wchar_t* Rule;
    const wchar_t* Session;
    const wchar_t* Week;
  } cases[] = {
      {L"None", L"File protection: None", L"File protection: None"},
      {L"Uptime", L"File protection: Windows session", L"File protection: Windows session"},
      {L"Week", L"File protection: Last week", L"File protection: Last week"},
      {L"Smart", L"File protection: Windows session (smart)", L"File protection: Last week (smart)"},
  };
  for (const auto& c : cases) {
    session->SetFileProtection(c.Rule);
    week->SetFileProtection(c.Rule);
    EXPECT_EQ(session->SecondInfoLine(), c.Session);
    EXPECT_EQ(week->SecondInfoLine(), c.Week);
  }
}

// Files last accessed at chosen times, offered under every rule.
class ProtectionTest : public testing::Test {
protected:
  test::TFixtureTree Tree;

  std::wstring FileUsedAgo(const std::wstring& name, FileTime ago) {
    const std::wstring path = Tree.File(name);
    const FileTime when = platform::SystemTimeNow() - ago;
    Tree.SetTimes(name, when, when);
    return path;
  }
  // Asked both ways: with the file looked up, and with the time its listing entry gave.
  static bool Collects(TSmartFileProtection smart, const std::wstring& rule,
                       const std::wstring& file) {
    const bool lookedUp = FileMaskAction(L"*", smart)->CheckFile(file, rule);
    if (const auto entry = platform::FindFile(file)) {
      EXPECT_EQ(FileMaskAction(L"*", smart)->CheckFile(file, rule, entry->LastAccessTime), lookedUp)
          << ToUtf8(file) << " " << ToUtf8(rule);
    }
    return lookedUp;
  }
};

TEST_F(ProtectionTest, EachRuleProtectsWhatItNames) {
  const FileTime uptime = FileTime(SystemUptimeSeconds()) * TicksPerSecond;
  const FileTime day = 86400 * TicksPerSecond;
  const std::wstring justUsed = FileUsedAgo(L"just.tmp", 0);
  const std::wstring beforeBoot = FileUsedAgo(L"boot.tmp", uptime + 60 * TicksPerSecond);
  const std::wstring monthOld = FileUsedAgo(L"month.tmp", uptime + 30 * day);
  const std::wstring missing = Tree.Path(L"missing.tmp");

  const struct {
    const wchar_t* Rule;
    TSmartFileProtection Smart;
    bool JustUsed, BeforeBoot, MonthOld, Missing;
  } cases[] = {
      {L"None", sfWindowsSession, true, true, true, true},
      {L"Uptime", sfLastWeek, false, true, true, false},
      {L"Week", sfWindowsSession, false, uptime + 60 * TicksPerSecond >= 7 * day, true, false},
      {L"Smart", sfWindowsSession, false, true, true, false},
      {L"Smart", sfLastWeek, false, uptime + 60 * TicksPerSecond >= 7 * day, true, false},
      {L"smart", sfWindowsSession, false, false, false, false},
      {L"", sfWindowsSession, false, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.Rule) + (c.Smart == sfLastWeek ? " last week" : " session"));
    EXPECT_EQ(Collects(c.Smart, c.Rule, justUsed), c.JustUsed);
    EXPECT_EQ(Collects(c.Smart, c.Rule, beforeBoot), c.BeforeBoot);
    EXPECT_EQ(Collects(c.Smart, c.Rule, monthOld), c.MonthOld);
    EXPECT_EQ(Collects(c.Smart, c.Rule, missing), c.Missing);
  }
}

#ifndef _WIN32
// The boundaries need a clock that stands still.
TEST_F(ProtectionTest, TheBoundariesCountAsOldEnough) {
  const FileTime used = test::UtcTime(2026, 3, 10, 12, 0, 0);  // an even second: kept as it is
  const FileTime second = TicksPerSecond, millisecond = TicksPerSecond / 1000;
  const FileTime week = 7 * 86400 * second;
  const std::wstring file = Tree.File(L"used.tmp");
  Tree.SetTimes(L"used.tmp", used, used);
  const auto collectsAt = [&](FileTime now, TSmartFileProtection smart, const wchar_t* rule) {
    platform::hosted::SetSystemTimeNow(now);
    return Collects(smart, rule, file);
  };

  platform::hosted::SetTickCount(5000 * 1000);  // up for 5000 s
  EXPECT_TRUE(collectsAt(used + 5000 * second, sfWindowsSession, L"Uptime"));
  EXPECT_FALSE(collectsAt(used + 5000 * second - millisecond, sfWindowsSession, L"Uptime"));
  EXPECT_TRUE(collectsAt(used + week, sfWindowsSession, L"Week"));
  EXPECT_FALSE(collectsAt(used + week - millisecond, sfWindowsSession, L"Week"));

  // Under "Smart" one reading can collect a file for one action and keep it from the other.
  EXPECT_TRUE(collectsAt(used + 5000 * second, sfWindowsSession, L"Smart"));
  EXPECT_FALSE(collectsAt(used + 5000 * second, sfLastWeek, L"Smart"));
  platform::hosted::SetTickCount(10 * 86400 * 1000);  // up for ten days
  EXPECT_FALSE(collectsAt(used + week, sfWindowsSession, L"Smart"));
  EXPECT_TRUE(collectsAt(used + week, sfLastWeek, L"Smart"));
  test::THostedSandbox::Reset();
}
#endif

TEST(FileMaskAction, DeletesItsFilesWithPercentagesAndEmptiesItsList) {
  test::TFixtureTree tree;
  TCleanupList list;
  TStatusLog status;
  status.Attach(list);
  auto& action = AddFileMaskAction(list, L"*.tmp");
  const std::vector<std::wstring> files = {tree.File(L"a.tmp"), tree.File(L"sub\\b.tmp"),
                                           tree.Path(L"never-existed.tmp")};
  const std::wstring kept = tree.File(L"keep.txt");
  for (const auto& f : files) EXPECT_TRUE(list.CheckFile(f, L"None"));
  EXPECT_EQ(action.CleanupNeeded(), cnYes);

  list.SetEnabled(0, true);
  list.Cleanup();
  const std::wstring c = action.Caption();
  EXPECT_EQ(status.Lines, (std::vector<std::wstring>{c + L" | ", c + L" | " + c + L"  33%",
                                                     c + L" | " + c + L"  67%",
                                                     c + L" | " + c + L"  100%", c + L" | "}));
  EXPECT_FALSE(platform::FileExists(files[0]));
  EXPECT_FALSE(platform::FileExists(files[1]));
  EXPECT_TRUE(platform::FileExists(kept));
  EXPECT_TRUE(action.Filelist().empty());  // the missing file too is forgotten
  EXPECT_EQ(action.FirstInfoLine(), L"No files found.");
}

TEST(FileMaskAction, PercentagesRoundHalvesToEven) {
  TCleanupList list;
  TStatusLog status;
  status.Attach(list);
  auto& action = AddFileMaskAction(list, L"*.tmp");
  for (int i = 0; i < 8; ++i) list.CheckFile(L"C:\\gone\\f" + std::to_wstring(i) + L".tmp", L"None");
  list.SetEnabled(0, true);
  list.Cleanup();
  std::vector<std::wstring> percentages;
  for (const auto& line : status.Lines)
    if (line.back() == L'%') percentages.push_back(line.substr(line.rfind(L' ') + 1));
  EXPECT_EQ(percentages, (std::vector<std::wstring>{L"12%", L"25%", L"38%", L"50%", L"62%",
                                                    L"75%", L"88%", L"100%"}));
  (void)action;
}

TEST(FileMaskAction, DeletesReadOnlyFilesButNoFolder) {
  test::TFixtureTree tree;
  const std::wstring file = tree.File(L"ro.tmp");
  tree.MakeReadOnly(L"ro.tmp");
  ASSERT_TRUE(platform::FileAttributes(file).value_or(0) & platform::AttrReadOnly);
  EXPECT_TRUE(platform::DeleteCollectedFile(file));
  EXPECT_FALSE(platform::FileExists(file));
  const std::wstring folder = ExcludeTrailingPathDelimiter(tree.Dir(L"folder.tmp"));
  EXPECT_FALSE(platform::DeleteCollectedFile(folder));
  EXPECT_TRUE(platform::DirectoryExists(folder));
}

TEST(SpecialAction, ClearsItsRegistryListsAndKeepsTheKeys) {
  test::TRegistryFixture registry(platform::RegistryRoot::CurrentUser);
  registry.SetString(L"Recent", L"", L"default value");
  registry.SetString(L"Recent", L"File1", L"C:\\a.txt");
  registry.SetString(L"Recent", L"File2", L"C:\\b.txt");
  registry.SetString(L"Recent\\Sub", L"Kept", L"x");
  registry.SetString(L"Other", L"Kept", L"y");

  auto action = CreateCleanupAction<TTestSpecialAction>();
  action->CurrentUserMRULists = {L"\\" + registry.Base() + L"\\Recent",
                                 registry.Base() + L"\\Missing"};
  action->Cleanup();
  EXPECT_TRUE(registry.KeyExists(L"Recent"));
  EXPECT_TRUE(registry.ValueNames(L"Recent").empty());
  EXPECT_EQ(registry.ValueNames(L"Recent\\Sub"), std::vector<std::wstring>{L"Kept"});
  EXPECT_FALSE(registry.KeyExists(L"Missing"));  // not created
  EXPECT_EQ(registry.ValueNames(L"Other"), std::vector<std::wstring>{L"Kept"});
}

}  // namespace
}  // namespace dustmere
