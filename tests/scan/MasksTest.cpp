#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Exception.h"
#include "platform/Text.h"
#include "scan/XolMasks.h"

namespace dustmere {
namespace {

struct MatchCase {
  const wchar_t* Name;
  const wchar_t* Mask;
  bool Expected;
};

const MatchCase MatchCases[] = {
    // Anchored at the root of any drive.
    {L"C:\\SCANDISK.LOG", L"?:\\Scandisk.log", true},
    {L"C:\\Temp\\Scandisk.log", L"?:\\Scandisk.log", false},
    // "*" spans delimiters and colons.
    {L"D:\\a\\b\\c.BAK", L"*.bak", true},
    {L"D:\\a\\b\\c.bak.txt", L"*.bak", false},
    {L"C:\\WINDOWS\\Debug\\UserMode\\x.log", L"C:\\WINDOWS\\Debug\\*.log", true},
    {L"C:\\WINDOWS\\KB123456.LOG", L"C:\\WINDOWS\\KB??????.log", true},
    {L"C:\\WINDOWS\\KB12345.LOG", L"C:\\WINDOWS\\KB??????.log", false},
    {L"C:\\FILE0001.CHK", L"?:\\File????.CHK", true},
    {L"C:\\Found.000\\FILE0001.CHK", L"?:\\File????.CHK", false},
    {L"C:\\Docs\\~$report.doc", L"*\\~$*.doc", true},
    {L"C:\\~$report.doc", L"*\\~$*.doc", true},
    {L"C:\\x\\OldThumbs.db", L"*Thumbs.db", true},
    {L"", L"", true},
    {L"a", L"", false},
    {L"", L"*", true},
    {L"abc", L"a*b*c", true},
    {L"abbc", L"a*b*c", true},
    {L"ac", L"a*b*c", false},
    {L"abcbc", L"a*bc", true},  // the last segment is anchored at the end
    {L"ab", L"a*b*", true},
    {L"aXb", L"a**b", true},
    // Only a to z fold; other letters compare exactly.
    {L"C:\\TEMP\\X.TMP", L"c:\\temp\\*.tmp", true},
    {L"\u00C9.TMP", L"\u00E9.tmp", false},
    // Character sets, ranges and negation.
    {L"FILE1", L"file[0-9]", true},
    {L"FILEA", L"file[0-9]", false},
    {L"FILEA", L"file[!0-9]", true},
    {L"FILEB", L"file[a-c]", true},
    {L"FILEb", L"file[A-C]", true},
    {L"FILE-", L"file[!a]", true},
    {L"FILE*", L"file[*?]", true},
    {L"FILE\u0100", L"file[!a]", true},  // sets hold codes up to 255 only
    {L"FILE\u0100", L"file[\u0100a]", false},
    // A "[" in a folder name opens a set, so the folder's own files no longer match.
    {L"C:\\USERS\\X[1]\\A.TMP", L"C:\\Users\\x[1]\\*", false},
    {L"C:\\USERS\\X1\\A.TMP", L"C:\\Users\\x[1]\\*", true},
};

TEST(MaskMatches, MatchesWholeNamesCaseInsensitivelyInAsciiOnly) {
  for (const auto& c : MatchCases) {
    EXPECT_EQ(MaskMatches(c.Name, c.Mask), c.Expected)
        << ToUtf8(c.Name) << " ~ " << ToUtf8(c.Mask);
    // The parsed mask and the text form must agree.
    EXPECT_EQ(TMask(c.Mask).Matches(c.Name), c.Expected) << ToUtf8(c.Mask);
  }
}

// The parsed list rules names out early (by their last character, and by one character of the
// masks' literal starts); none of that may change an answer.
TEST(MaskList, ParsedListsAnswerAsTheTextFormDoes) {
  std::vector<std::wstring> masks, names;
  for (const auto& c : MatchCases) {
    masks.push_back(c.Mask);
    names.push_back(c.Name);
  }
  for (const wchar_t* extra : {L"C:\\WINDOWS\\Prefetch\\*", L"C:\\WINDOWS\\Temp\\*", L"C:\\W?N*",
                               L"*\u00E9", L"C:\\Users\\*\\Recent\\*.lnk"})
    masks.push_back(extra);
  for (const wchar_t* extra : {L"C:\\WINDOWS\\PREFETCH\\X.PF", L"C:\\WINDOWS\\TEMPLATES\\A",
                               L"C:\\WIN", L"D:\\caf\u00E9", L"C:\\USERS\\U\\RECENT\\A.LNK", L"C:"})
    names.push_back(extra);
  // Every mask alone, and every window of four neighbouring masks as one list.
  for (size_t first = 0; first < masks.size(); ++first) {
    for (const size_t count : {size_t(1), size_t(4)}) {
      const std::vector<std::wstring> window(
          masks.begin() + std::ptrdiff_t(first),
          masks.begin() + std::ptrdiff_t(std::min(masks.size(), first + count)));
      const TMaskList list(WriteMaskList(window));
      for (const auto& name : names) {
        bool expected = false;
        for (const auto& mask : window) expected = expected || MaskMatches(name, mask);
        EXPECT_EQ(list.Matches(name), expected) << ToUtf8(name) << " ~ " << ToUtf8(WriteMaskList(window));
        EXPECT_EQ(list.MatchesUpperCased(UpperAscii(name)), expected) << ToUtf8(name);
      }
    }
  }
}

std::wstring InvalidMaskMessage(const std::wstring& mask) {
  try {
    MaskMatches(L"C:\\X", mask);
  } catch (const Exception& error) {
    return error.Message();
  }
  return L"(no error)";
}

TEST(MaskMatches, RaisesTheInvalidMaskErrorWithItsPosition) {
  const std::wstring thirtyRuns = [] {
    std::wstring s;
    for (int i = 0; i < 30; ++i) s += L"*a";
    return s;
  }();
  const struct {
    std::wstring Mask;
    std::wstring Message;
  } cases[] = {
      {L"C:\\x[1", L"'C:\\x[1' is an invalid mask at (7)"},
      {L"a[]b", L"'a[]b' is an invalid mask at (3)"},
      {L"a[!]b", L"'a[!]b' is an invalid mask at (4)"},
      {L"a[-z]", L"'a[-z]' is an invalid mask at (3)"},
      {L"a[!-z]", L"'a[!-z]' is an invalid mask at (4)"},
      {L"a[b-", L"'a[b-' is an invalid mask at (5)"},
      {thirtyRuns + L"*b", L"'" + thirtyRuns + L"*b' is an invalid mask at (62)"},
      {thirtyRuns + L"*", L"'" + thirtyRuns + L"*' is an invalid mask at (62)"},
  };
  for (const auto& c : cases) EXPECT_EQ(InvalidMaskMessage(c.Mask), c.Message);
  // Thirty runs of "*" are still allowed.
  EXPECT_TRUE(MaskMatches(L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", thirtyRuns));
}

TEST(MaskList, ReadsQuotedBlankAndCommaSeparatedItems) {
  const struct {
    std::wstring Text;
    std::vector<std::wstring> Masks;
  } cases[] = {
      {L"", {}},
      {L"*.tmp", {L"*.tmp"}},
      {L"\"C:\\WINDOWS\\Windows Update.log\",*.tmp", {L"C:\\WINDOWS\\Windows Update.log", L"*.tmp"}},
      {L"  *.a , *.b", {L"*.a", L"*.b"}},
      {L"*.a *.b", {L"*.a", L"*.b"}},  // a blank not followed by a comma ends the item too
      {L"*.a,", {L"*.a", L""}},        // a final comma adds one empty item
      {L"*.a,,*.b", {L"*.a", L"", L"*.b"}},
      {L"\"say \"\"hi\"\"\",x", {L"say \"hi\"", L"x"}},
      {L"\"unclosed", {L"unclosed"}},
      {L"\t*.a\r\n,*.b", {L"*.a", L"*.b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadMaskList(c.Text), c.Masks) << ToUtf8(c.Text);
}

TEST(MaskList, WritesQuotingOnlyWhatNeedsIt) {
  EXPECT_EQ(WriteMaskList({L"C:\\WINDOWS\\Windows Update.log", L"*.tmp"}),
            L"\"C:\\WINDOWS\\Windows Update.log\",*.tmp");
  EXPECT_EQ(WriteMaskList({L"a,b", L"say \"hi\"", L"tab\there", L"plain"}),
            L"\"a,b\",\"say \"\"hi\"\"\",\"tab\there\",plain");
  EXPECT_EQ(WriteMaskList({}), L"");
  for (const auto& masks : std::vector<std::vector<std::wstring>>{
           {L"x y", L"a,b", L"q\"q", L"*.tmp", L""}, {L""}, {L" lead", L"trail "}})
    EXPECT_EQ(ReadMaskList(WriteMaskList(masks)), masks);
}

TEST(MaskList, BuildDropsBlankMasksAndKeepsTheRestUnchanged) {
  EXPECT_EQ(BuildMaskList({L"*.bak", L"", L" ", L"*.old"}), L"*.bak,*.old");
  EXPECT_EQ(BuildMaskList({L"\t\r\n", L" *.x "}), L"\" *.x \"");
  EXPECT_EQ(BuildMaskList({}), L"");
}

TEST(MaskList, MatchesAnyMaskInOrder) {
  const std::wstring list = BuildMaskList({L"C:\\WINDOWS\\Windows Update.log", L"*.TMP"});
  EXPECT_TRUE(MatchesMaskList(L"C:\\WINDOWS\\WINDOWS UPDATE.LOG", list));  // blank included
  EXPECT_FALSE(MatchesMaskList(L"C:\\WINDOWS\\WINDOWSUPDATE.LOG", list));
  EXPECT_TRUE(MatchesMaskList(L"D:\\A.TMP", list));
  EXPECT_FALSE(MatchesMaskList(L"D:\\A.TMP", L""));
  EXPECT_TRUE(MatchesMaskList(L"", L"*.a,"));  // the empty item matches the empty name only

  // An invalid mask raises only when the matching reaches it, in both forms.
  EXPECT_TRUE(MatchesMaskList(L"A.TMP", L"*.TMP,[x"));
  EXPECT_THROW(MatchesMaskList(L"A.BAK", L"*.TMP,[x"), Exception);
  const TMaskList parsed(L"*.TMP,[x");
  EXPECT_TRUE(parsed.Matches(L"A.TMP"));
  EXPECT_THROW(parsed.Matches(L"A.BAK"), Exception);
}

}  // namespace
}  // namespace dustmere
