#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/DustmereData.h"
#include "support/Fixture.h"

namespace dustmere {
namespace {

class SettingsTest : public testing::Test {
protected:
  test::TFixtureTree Tree;
  std::wstring FileName = Tree.Path(L"Dustmere.xml");

  std::string Saved(const IXMLDustmereSettingsType& settings) {
    settings.SaveToFile(FileName);
    return platform::ReadWholeFile(FileName);
  }
  IXMLDustmereSettingsType LoadText(const std::string& bytes) {
    platform::WriteFileReplacing(FileName, bytes);
    return LoadDustmereSettings(FileName);
  }
  std::wstring LoadError(const std::string& bytes) {
    try {
      LoadText(bytes);
    } catch (const Exception& error) {
      return error.Message();
    }
    return L"(no error)";
  }
};

TEST_F(SettingsTest, ANewDocumentGrowsInTheOrderItIsRead) {
  const auto settings = NewDustmereSettings();
  EXPECT_EQ(Saved(settings), "<?xml version=\"1.0\"?><DustmereSettings/>");

  // What start-up reads, in its order: the check marks, the exclusions, then the options.
  EXPECT_EQ(settings.CleanupItems().Count(), 0);
  EXPECT_EQ(settings.ExcludeDirectories().Count(), 0);
  const auto options = settings.Options();
  EXPECT_EQ(options.FileProtection(), L"");
  options.SetFileProtection(L"Smart");
  options.SetScanDrives(L"Local");
  EXPECT_EQ(options.ReadDirCountLocal(), L"");
  const auto item = settings.CleanupItems().Add();
  item.SetName(L"Delete backup files (*.bak, *.old, *.000)");
  item.SetEnabled(L"True");

  EXPECT_EQ(Saved(settings),
            "<?xml version=\"1.0\"?><DustmereSettings><CleanupItems>"
            "<CleanupItem Name=\"Delete backup files (*.bak, *.old, *.000)\" Enabled=\"True\"/>"
            "</CleanupItems><ExcludeDirectories/><Options FileProtection=\"Smart\" "
            "ScanDrives=\"Local\" ReadDirCountLocal=\"\"/></DustmereSettings>");
}

TEST_F(SettingsTest, KeepsWhatItDoesNotKnowAndReadsAnyOrder) {
  const auto settings = LoadText(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!-- kept -->\n"
      "<DustmereSettings Version=\"7\">\n"
      "  <Options ScanDrives=\"All\" FileProtection=\"Week\" Colour=\"blue\"/>\n"
      "  <ExcludeDirectories>\n"
      "    <ExcludeDirectory Name=\"C:\\Temp\"/>\n"
      "    <Note>not an item</Note>\n"
      "    <ExcludeDirectory Name=\"D:\\Build &amp; &lt;Out&gt; &quot;x&quot;\"/>\n"
      "  </ExcludeDirectories>\n"
      "  <Options FileProtection=\"None\"/>\n"
      "  <Unknown><Child/></Unknown>\n"
      "</DustmereSettings>\n");
  const auto options = settings.Options();
  EXPECT_EQ(options.FileProtection(), L"Week");  // the first Options element counts
  EXPECT_EQ(options.ScanDrives(), L"All");
  const auto excluded = settings.ExcludeDirectories();
  ASSERT_EQ(excluded.Count(), 2);
  EXPECT_EQ(excluded.Item(0).Name(), L"C:\\Temp");
  EXPECT_EQ(excluded.Item(1).Name(), L"D:\\Build & <Out> \"x\"");
  EXPECT_THROW(excluded.Item(2), Exception);
  EXPECT_THROW(excluded.Item(-1), Exception);

  options.SetReadDirCountAll(L"1234");
  const std::string saved = Saved(settings);
  EXPECT_EQ(saved,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- kept --><DustmereSettings "
            "Version=\"7\"><Options ScanDrives=\"All\" FileProtection=\"Week\" Colour=\"blue\" "
            "ReadDirCountAll=\"1234\"/><ExcludeDirectories><ExcludeDirectory Name=\"C:\\Temp\"/>"
            "<Note>not an item</Note><ExcludeDirectory Name=\"D:\\Build &amp; &lt;Out> "
            "&quot;x&quot;\"/></ExcludeDirectories><Options FileProtection=\"None\"/>"
            "<Unknown><Child/></Unknown></DustmereSettings>");

  // Clear removes only the items; the stranger stays.
  excluded.Clear();
  EXPECT_EQ(excluded.Count(), 0);
  EXPECT_NE(Saved(settings).find("<ExcludeDirectories><Note>not an item</Note>"
                                 "</ExcludeDirectories>"),
            std::string::npos);
}

TEST_F(SettingsTest, AFileWithoutDeclarationIsWrittenBackWithoutOne) {
  const auto settings = LoadText("<DustmereSettings>\n  <Options ScanDrives=\"Local\"/>\n</DustmereSettings>");
  EXPECT_EQ(settings.Options().ScanDrives(), L"Local");
  EXPECT_EQ(Saved(settings), "<DustmereSettings><Options ScanDrives=\"Local\"/></DustmereSettings>");
}

TEST_F(SettingsTest, TextsWithMarkupCharactersRoundTrip) {
  const auto settings = NewDustmereSettings();
  const std::wstring caption = L"Tom & Jerry <\"quoted\"> 'x' \u00E9\u20AC\U0001F600";
  settings.CleanupItems().Add().SetName(caption);
  settings.SaveToFile(FileName);
  EXPECT_EQ(LoadDustmereSettings(FileName).CleanupItems().Item(0).Name(), caption);
}

TEST_F(SettingsTest, WritesBackInTheDeclaredEncoding) {
  // "é" is one byte in Latin-1; "€" has no Latin-1 byte and becomes a character reference.
  auto settings = LoadText(
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
      "<DustmereSettings><ExcludeDirectories><ExcludeDirectory Name=\"C:\\Caf\xE9\"/>"
      "</ExcludeDirectories></DustmereSettings>");
  const auto item = settings.ExcludeDirectories().Item(0);
  EXPECT_EQ(item.Name(), L"C:\\Caf\u00E9");
  item.SetName(L"C:\\Caf\u00E9\u20AC");
  const std::string latin1 = Saved(settings);
  EXPECT_NE(latin1.find("Name=\"C:\\Caf\xE9&#8364;\""), std::string::npos) << latin1;
  EXPECT_EQ(LoadDustmereSettings(FileName).ExcludeDirectories().Item(0).Name(),
            L"C:\\Caf\u00E9\u20AC");

  // UTF-16 with its byte-order mark stays UTF-16.
  const std::u16string text =
      u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><DustmereSettings>"
      u"<Options FileProtection=\"Uptime\"/></DustmereSettings>";
  std::string utf16;
  for (const char16_t unit : text) {
    utf16 += char(unit & 0xFF);
    utf16 += char(unit >> 8);
  }
  settings = LoadText(utf16);
  EXPECT_EQ(settings.Options().FileProtection(), L"Uptime");
  settings.Options().SetScanDrives(L"Local");
  const std::string saved = Saved(settings);
  ASSERT_GE(saved.size(), 4u);
  EXPECT_EQ(saved.substr(0, 4), std::string("\xFF\xFE<\0", 4));
  EXPECT_EQ(LoadDustmereSettings(FileName).Options().ScanDrives(), L"Local");
}

TEST_F(SettingsTest, LoadErrorsSayWhyWhereAndShowTheSource) {
  const std::wstring error = LoadError(
      "<?xml version=\"1.0\"?>\n<DustmereSettings>\n  <Options FileProtection=\"Smart\">"
      "</Option></DustmereSettings>");
  const std::wstring expectedTail =
      L"\r\nLine: 3\r\n" + std::wstring(L"  <Options FileProtection=\"Smart\"></Opti");
  ASSERT_GT(error.size(), expectedTail.size());
  EXPECT_EQ(error.substr(error.size() - expectedTail.size()), expectedTail);
  EXPECT_GT(error.size() - expectedTail.size(), 0u);  // the parser's reason comes first

  EXPECT_EQ(LoadError("<?xml version=\"1.0\"?><Settings/>"), L"Interface not supported");
  EXPECT_NE(LoadError(""), L"(no error)");
  EXPECT_NE(LoadError("<?xml version=\"1.0\" encoding=\"EBCDIC-XYZ\"?><DustmereSettings/>")
                .find(L"encoding"),
            std::wstring::npos);
  EXPECT_THROW(LoadDustmereSettings(Tree.Path(L"missing.xml")), Exception);
}

TEST_F(SettingsTest, SavingReplacesTheFileWholeOrNotAtAll) {
  auto settings = NewDustmereSettings();
  settings.Options().SetFileProtection(L"Smart");
  platform::WriteFileReplacing(FileName, std::string(10000, 'x'));  // a longer old file
  settings.SaveToFile(FileName);
  EXPECT_EQ(platform::ReadWholeFile(FileName),
            "<?xml version=\"1.0\"?><DustmereSettings><Options FileProtection=\"Smart\"/>"
            "</DustmereSettings>");
  EXPECT_FALSE(platform::FileExists(FileName + L".saving"));

  // A save that cannot complete raises, leaves no temporary file behind and no half file: here
  // the target is a folder, which a file cannot replace.
  const std::wstring folder = Tree.Dir(L"occupied");
  const std::wstring target = ExcludeTrailingPathDelimiter(folder);
  EXPECT_THROW(settings.SaveToFile(target), Exception);
  EXPECT_TRUE(platform::DirectoryExists(target));
  EXPECT_FALSE(platform::FileExists(target + L".saving"));
  EXPECT_THROW(settings.SaveToFile(Tree.Path(L"no\\such\\folder.xml")), Exception);
}

}  // namespace
}  // namespace dustmere
