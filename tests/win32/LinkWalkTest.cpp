// Links planted in a folder that is read must not lead the walk anywhere else. The links are
// real host symbolic links made by make-link-fixture; Windows programs see them as directory
// reparse points.

#include <gtest/gtest.h>

#include <set>

#include "platform/Platform.h"
#include "scan/XolDirectoryReader.h"

namespace dustmere {
namespace {

TEST(LinkWalk, ReparsePointsAreReportedAndNotEntered) {
  const std::wstring walked = L"C:\\dustmere-link-fixture\\walked\\";
  const auto link = platform::FindFile(walked + L"link");
  ASSERT_TRUE(link) << "the link fixture is missing";
  EXPECT_TRUE(link->IsDirectory());
  EXPECT_TRUE(link->IsReparsePoint());

  TDirReader reader;
  reader.SetRecursive(true);
  reader.SetFilemask(L"*.*");
  reader.SetDirectory(walked);
  std::set<std::wstring> seen;
  reader.OnDirectoryFound = [&](TDirReader&, const std::wstring& d) { seen.insert(L"D " + d); };
  reader.OnFileFound = [&](TDirReader&, const std::wstring& f) { seen.insert(L"F " + f); };
  reader.Start();
  EXPECT_EQ(seen, (std::set<std::wstring>{L"D " + walked, L"F " + walked + L"junk.tmp"}));
}

// A collected path that leads through a link now (the folder became a link after the reading)
// is not deleted, nor is a link removed as if it were a folder.
TEST(LinkWalk, DeletingRefusesPathsThroughLinks) {
  const std::wstring fixture = L"C:\\dustmere-link-fixture\\";
  const std::wstring throughLink = fixture + L"walked\\link\\precious.doc";
  ASSERT_TRUE(platform::FileExists(throughLink)) << "the link fixture is missing";
  EXPECT_FALSE(platform::DeleteCollectedFile(throughLink));
  EXPECT_TRUE(platform::FileExists(fixture + L"outside\\precious.doc"));
  EXPECT_FALSE(platform::RemoveCollectedFolder(fixture + L"walked\\link"));
  EXPECT_FALSE(platform::DeleteCollectedFile(fixture + L"walked\\link"));
  EXPECT_TRUE(platform::DirectoryExists(fixture + L"walked\\link"));

  // The same file by its own path goes.
  EXPECT_TRUE(platform::DeleteCollectedFile(fixture + L"walked\\junk.tmp"));
  EXPECT_FALSE(platform::FileExists(fixture + L"walked\\junk.tmp"));
}

}  // namespace
}  // namespace dustmere
