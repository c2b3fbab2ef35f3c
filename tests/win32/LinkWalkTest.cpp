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

}  // namespace
}  // namespace dustmere
