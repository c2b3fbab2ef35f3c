#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/Exception.h"
#include "platform/Text.h"
#include "scan/XolDirectoryReader.h"
#include "support/Fixture.h"

#ifndef _WIN32
#include <filesystem>

#include "platform/hosted/HostedMachine.h"
#include "support/HostedSandbox.h"
#endif

namespace dustmere {
namespace {

using platform::FileTime;
using platform::TicksPerSecond;

// A reader wired to record everything it reports.
struct TRecordingReader {
  TDirReader Reader;
  std::vector<std::wstring> Events;  // "D <dir>" and "F <file>" in the order reported
  int ReadyCalls = 0;
  bool ActiveInReady = true;

  explicit TRecordingReader(const std::wstring& directory) {
    Reader.SetRecursive(true);
    Reader.SetFilemask(L"*.*");
    Reader.SetDirectory(directory);
    Reader.OnDirectoryFound = [this](TDirReader&, const std::wstring& d) {
      Events.push_back(L"D " + d);
    };
    Reader.OnFileFound = [this](TDirReader&, const std::wstring& f) { Events.push_back(L"F " + f); };
    Reader.OnReady = [this](TDirReader& sender) {
      ++ReadyCalls;
      ActiveInReady = sender.Active();
    };
  }

  std::set<std::wstring> Run() {
    Reader.Start();
    return {Events.begin(), Events.end()};
  }
};

std::wstring ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return L"(no error)";
}

class DirReaderTest : public testing::Test {
protected:
  test::TFixtureTree Tree;
  std::wstring R = Tree.Root();
};

TEST_F(DirReaderTest, ReportsEveryDirectoryBeforeItsContentsAndEveryFile) {
  Tree.File(L"a.txt");
  Tree.File(L"sub\\b.bak");
  Tree.File(L"sub\\deeper\\c");
  Tree.File(L"sub\\.hidden");
  Tree.Dir(L"empty");

  TRecordingReader recorder(R);
  const auto seen = recorder.Run();
  EXPECT_EQ(seen, (std::set<std::wstring>{
                      L"D " + R, L"F " + R + L"a.txt", L"D " + R + L"sub\\",
                      L"F " + R + L"sub\\b.bak", L"F " + R + L"sub\\.hidden",
                      L"D " + R + L"sub\\deeper\\", L"F " + R + L"sub\\deeper\\c",
                      L"D " + R + L"empty\\"}));
  EXPECT_EQ(recorder.Events.size(), seen.size());  // each once

  // Depth first: every entry comes after the directory it is in.
  const auto position = [&](const std::wstring& e) {
    return std::find(recorder.Events.begin(), recorder.Events.end(), e) - recorder.Events.begin();
  };
  EXPECT_LT(position(L"D " + R + L"sub\\"), position(L"F " + R + L"sub\\deeper\\c"));
  EXPECT_LT(position(L"D " + R + L"sub\\deeper\\"), position(L"F " + R + L"sub\\deeper\\c"));
  EXPECT_EQ(recorder.ReadyCalls, 1);
  EXPECT_FALSE(recorder.ActiveInReady);
  EXPECT_FALSE(recorder.Reader.Active());
}

TEST_F(DirReaderTest, OffersTheListingEntryOfEachReportedFile) {
  const FileTime used = test::UtcTime(2024, 5, 1, 8, 30, 0);
  Tree.File(L"sub\\a.txt", "12345");
  Tree.SetTimes(L"sub\\a.txt", used, used + TicksPerSecond);
  TRecordingReader recorder(R);
  int seen = 0;
  recorder.Reader.OnFileFound = [&](TDirReader& sender, const std::wstring& file) {
    ++seen;
    const platform::DirEntry& entry = sender.CurrentEntry();
    EXPECT_EQ(R + L"sub\\" + entry.Name, file);
    EXPECT_EQ(entry.LastAccessTime, used);
    EXPECT_EQ(entry.LastWriteTime, used + TicksPerSecond);
    EXPECT_EQ(entry.Size, 5u);
    EXPECT_EQ(entry.LastAccessTime, platform::FindFile(file)->LastAccessTime);
  };
  recorder.Run();
  EXPECT_EQ(seen, 1);
}

TEST_F(DirReaderTest, WithoutRecursionReportsOnlyTheStartDirectory) {
  Tree.File(L"a.txt");
  Tree.File(L"sub\\b.txt");
  TRecordingReader recorder(R);
  recorder.Reader.SetRecursive(false);
  EXPECT_EQ(recorder.Run(), (std::set<std::wstring>{L"D " + R, L"F " + R + L"a.txt"}));
}

TEST_F(DirReaderTest, ExcludedDirectoriesAreWholePathsFoldedInAsciiOnly) {
  Tree.File(L"TEMP\\x.tmp");
  Tree.File(L"TEMP\\inner\\y.tmp");
  Tree.File(L"Temp2\\z.tmp");
  Tree.File(L"\u00C9t\u00E9\\w.tmp");
  const struct {
    std::wstring Exclude;
    bool TempSkipped;
    bool InnerSkipped;
  } cases[] = {
      {R + L"Temp", true, true},
      {UpperAscii(R) + L"temp\\", true, true},
      {R + L"Te", false, false},
      {R + L"TEMP\\inner", false, true},
  };
  for (const auto& c : cases) {
    TRecordingReader recorder(R);
    recorder.Reader.ExcludeDirs() = {c.Exclude};
    const auto seen = recorder.Run();
    EXPECT_EQ(seen.count(L"D " + R + L"TEMP\\"), c.TempSkipped ? 0u : 1u) << ToUtf8(c.Exclude);
    EXPECT_EQ(seen.count(L"F " + R + L"TEMP\\x.tmp"), c.TempSkipped ? 0u : 1u);
    EXPECT_EQ(seen.count(L"F " + R + L"TEMP\\inner\\y.tmp"), c.InnerSkipped ? 0u : 1u);
    EXPECT_EQ(seen.count(L"F " + R + L"Temp2\\z.tmp"), 1u);
  }

  // Letters outside a to z keep their case: "éTÉ" does not exclude "Été".
  TRecordingReader recorder(R);
  recorder.Reader.ExcludeDirs() = {R + L"\u00E9T\u00C9"};
  EXPECT_EQ(recorder.Run().count(L"F " + R + L"\u00C9t\u00E9\\w.tmp"), 1u);
}

TEST_F(DirReaderTest, AnExcludedStartDirectoryReportsOnlyTheEnd) {
  Tree.File(L"a.txt");
  TRecordingReader recorder(R);
  recorder.Reader.ExcludeDirs() = {ExcludeTrailingPathDelimiter(R)};
  EXPECT_TRUE(recorder.Run().empty());
  EXPECT_EQ(recorder.ReadyCalls, 1);
}

TEST_F(DirReaderTest, FilemaskComparesOnlyTheExtension) {
  for (const wchar_t* name : {L"a.LOG", L"a.log.bak", L"log", L"b.log", L"x.tmp"}) Tree.File(name);
  const struct {
    std::wstring Mask;
    std::set<std::wstring> Files;
  } cases[] = {
      {L"*.log", {L"a.LOG", L"b.log"}},
      {L"anything.LOG", {L"a.LOG", L"b.log"}},
      {L"*.*", {L"a.LOG", L"a.log.bak", L"log", L"b.log", L"x.tmp"}},
      {L"", {L"log"}},
      {L"*", {L"log"}},
  };
  for (const auto& c : cases) {
    TRecordingReader recorder(R);
    recorder.Reader.SetFilemask(c.Mask);
    std::set<std::wstring> files;
    for (const auto& e : recorder.Run())
      if (e[0] == L'F') files.insert(e.substr(2 + R.size()));
    EXPECT_EQ(files, c.Files) << ToUtf8(c.Mask);
  }
}

TEST_F(DirReaderTest, DelaysSkipRecentFilesByTheAbsoluteDistance) {
  const FileTime now = platform::SystemTimeNow();
  const FileTime day = 86400 * TicksPerSecond;
  for (const wchar_t* name : {L"recent", L"old", L"future"}) Tree.File(name);
  Tree.SetTimes(L"recent", now - 60 * TicksPerSecond, now - 60 * TicksPerSecond);
  Tree.SetTimes(L"old", now - 10 * day, now - 10 * day);
  Tree.SetTimes(L"future", now + 10 * day, now + 10 * day);

  const auto filesWith = [&](int delayLastAccess, int delayTimeStamp) {
    TRecordingReader recorder(R);
    recorder.Reader.SetDelayLastAccess(delayLastAccess);
    recorder.Reader.SetDelayTimeStamp(delayTimeStamp);
    std::set<std::wstring> files;
    for (const auto& e : recorder.Run())
      if (e[0] == L'F') files.insert(e.substr(2 + R.size()));
    return files;
  };
  const std::set<std::wstring> all{L"recent", L"old", L"future"};
  const std::set<std::wstring> notRecent{L"old", L"future"};
  EXPECT_EQ(filesWith(0, 0), all);
  EXPECT_EQ(filesWith(3600, 0), notRecent);
  EXPECT_EQ(filesWith(-3600, 0), notRecent);  // the absolute value is stored
  EXPECT_EQ(filesWith(0, 3600), notRecent);
  EXPECT_EQ(filesWith(30 * 86400, 0), std::set<std::wstring>{});

  TDirReader reader;
  reader.SetDelayLastAccess(-5);
  EXPECT_EQ(reader.DelayLastAccess(), 5);
}

TEST_F(DirReaderTest, StoppingFromAReceiverEndsTheWalkAtTheNextEntry) {
  for (int i = 0; i < 5; ++i) Tree.File(L"f" + std::to_wstring(i));
  Tree.File(L"sub\\g");
  TRecordingReader recorder(R);
  int filesSeen = 0;
  recorder.Reader.OnFileFound = [&](TDirReader& sender, const std::wstring&) {
    ++filesSeen;
    sender.Stop();
  };
  const size_t directoriesBefore = recorder.Events.size();
  recorder.Reader.OnDirectoryFound = [&](TDirReader&, const std::wstring& d) {
    recorder.Events.push_back(d);
  };
  recorder.Run();
  EXPECT_EQ(filesSeen, 1);
  // The start directory, and at most the one directory in which the stopping file lay.
  EXPECT_LE(recorder.Events.size() - directoriesBefore, 2u);
  EXPECT_EQ(recorder.ReadyCalls, 1);
  EXPECT_FALSE(recorder.Reader.Active());
}

TEST_F(DirReaderTest, DirectoryAndActiveSettersRaiseTheirErrors) {
  TDirReader reader;
  EXPECT_EQ(ErrorOf([&] { reader.SetDirectory(L""); }), L"Directory not exists");
  EXPECT_EQ(ErrorOf([&] { reader.SetDirectory(R + L"missing"); }), L"Directory not exists");
  EXPECT_EQ(ErrorOf([&] { reader.Start(); }), L"Directory not exists");  // never set
  EXPECT_EQ(reader.Directory(), L"");

  reader.SetDirectory(ExcludeTrailingPathDelimiter(R));
  EXPECT_EQ(reader.Directory(), R);  // a trailing delimiter is added
  reader.SetFilemask(L"*.*");

  Tree.File(L"a.txt");
  std::wstring errorDuringWalk;
  int startsDuringWalk = 0;
  reader.OnFileFound = [&](TDirReader& sender, const std::wstring&) {
    errorDuringWalk = ErrorOf([&] { sender.SetDirectory(R); });
    sender.Start();  // already walking: nothing happens
    ++startsDuringWalk;
  };
  reader.Start();
  EXPECT_EQ(errorDuringWalk, L"Can not change directory when active");
  EXPECT_EQ(startsDuringWalk, 1);
  EXPECT_NO_THROW(reader.Stop());  // already idle
}

TEST_F(DirReaderTest, AnErrorInAReceiverEndsTheWalkAfterTheReadyEvent) {
  Tree.File(L"a.txt");
  Tree.File(L"sub\\b.txt");
  TRecordingReader recorder(R);
  recorder.Reader.OnFileFound = [](TDirReader&, const std::wstring&) {
    throw Exception(L"receiver failed");
  };
  EXPECT_EQ(ErrorOf([&] { recorder.Reader.Start(); }), L"receiver failed");
  EXPECT_EQ(recorder.ReadyCalls, 1);
  EXPECT_FALSE(recorder.ActiveInReady);
  EXPECT_FALSE(recorder.Reader.Active());

  // The reader is whole again: the next walk runs normally.
  recorder.Reader.OnFileFound = nullptr;
  EXPECT_NO_THROW(recorder.Reader.Start());
  EXPECT_EQ(recorder.ReadyCalls, 2);
}

TEST_F(DirReaderTest, TheReadyReceiverMayStartTheNextWalk) {
  Tree.File(L"one\\a");
  Tree.File(L"two\\b");
  const std::vector<std::wstring> roots{R + L"one", R + L"two"};
  size_t next = 0;
  std::vector<std::wstring> files;
  TDirReader reader;
  reader.SetRecursive(true);
  reader.SetFilemask(L"*.*");
  reader.OnFileFound = [&](TDirReader&, const std::wstring& f) { files.push_back(f); };
  reader.OnReady = [&](TDirReader& sender) {
    if (++next < roots.size()) {
      sender.SetDirectory(roots[next]);
      sender.Start();
    }
  };
  reader.SetDirectory(roots[0]);
  reader.Start();
  EXPECT_EQ(files, (std::vector<std::wstring>{R + L"one\\a", R + L"two\\b"}));
}

TEST_F(DirReaderTest, DoesNotEnterLinkedDirectories) {
  Tree.File(L"outside\\precious.doc");
  Tree.File(L"walked\\junk.tmp");
  if (!Tree.DirectoryLink(L"walked\\link", L"outside") ||
      !Tree.DirectoryLink(L"walked\\loop", L"walked"))
    GTEST_SKIP() << "this system cannot create directory links";
  const auto link = platform::FindFile(R + L"walked\\link");
  ASSERT_TRUE(link);
  if (!link->IsReparsePoint()) GTEST_SKIP() << "this system hides links from the listing";

  TRecordingReader recorder(R + L"walked");
  EXPECT_EQ(recorder.Run(), (std::set<std::wstring>{L"D " + R + L"walked\\",
                                                    L"F " + R + L"walked\\junk.tmp"}));
}

#ifndef _WIN32
TEST_F(DirReaderTest, LetsMessagesRunAfterEveryEntryAndStopsThere) {
  Tree.File(L"a");
  Tree.File(L"b");
  Tree.File(L"sub\\c");
  TRecordingReader recorder(R);
  const auto before = platform::hosted::ProcessMessagesCalls();
  recorder.Run();
  // Each entry, "." and ".." included, and once more as each listing closes:
  // root: ".", "..", a, b, sub + 1; sub: ".", "..", c + 1.
  EXPECT_EQ(platform::hosted::ProcessMessagesCalls() - before, 6u + 4u);

  // A stop request that arrives with the messages takes effect at the next entry.
  TRecordingReader stopped(R);
  int calls = 0;
  platform::hosted::SetProcessMessagesHook([&] {
    if (++calls == 1) stopped.Reader.Stop();
  });
  const auto seen = stopped.Run();
  platform::hosted::SetProcessMessagesHook(nullptr);
  EXPECT_LE(seen.size(), 3u);  // the root, and the first entry (a file, or sub and its first)
  EXPECT_EQ(stopped.ReadyCalls, 1);
}

TEST_F(DirReaderTest, AStopRequestSucceedsAfterTheStartDirectoryVanished) {
  Tree.File(L"walked\\a");
  Tree.File(L"walked\\b");
  TRecordingReader recorder(R + L"walked");
  std::wstring stopError = L"(not stopped)";
  recorder.Reader.OnFileFound = [&](TDirReader& sender, const std::wstring&) {
    std::filesystem::rename(*platform::hosted::HostPath(R + L"walked"),
                            *platform::hosted::HostPath(R + L"moved"));
    stopError = ErrorOf([&] { sender.Stop(); });
  };
  recorder.Run();
  EXPECT_EQ(stopError, L"(no error)");
  EXPECT_FALSE(recorder.Reader.Active());
  EXPECT_EQ(recorder.ReadyCalls, 1);
}

TEST_F(DirReaderTest, ADirectoryThatCannotBeListedIsPassedOverAfterItsReport) {
  Tree.File(L"vanishing\\x");
  Tree.File(L"kept\\y");
  TRecordingReader recorder(R);
  recorder.Reader.OnDirectoryFound = [&](TDirReader&, const std::wstring& d) {
    recorder.Events.push_back(L"D " + d);
    if (d == R + L"vanishing\\")
      std::filesystem::rename(*platform::hosted::HostPath(d), *platform::hosted::HostPath(R + L"gone"));
  };
  const auto seen = recorder.Run();
  EXPECT_EQ(seen.count(L"D " + R + L"vanishing\\"), 1u);
  EXPECT_EQ(seen.count(L"F " + R + L"vanishing\\x"), 0u);
  EXPECT_EQ(seen.count(L"F " + R + L"kept\\y"), 1u);
  EXPECT_EQ(recorder.ReadyCalls, 1);
}
#endif

}  // namespace
}  // namespace dustmere
