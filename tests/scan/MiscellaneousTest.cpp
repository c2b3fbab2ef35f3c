#include <gtest/gtest.h>

#include <cmath>

#include "platform/Text.h"
#include "scan/XolMiscellaneous.h"
#include "support/Fixture.h"

#ifndef _WIN32
#include "platform/hosted/HostedMachine.h"
#include "support/HostedSandbox.h"
#endif

namespace dustmere {
namespace {

using platform::RegistryRoot;

TEST(SizeText, ChoosesTheUnitThenRoundsHalvesToEven) {
  const struct {
    double Bytes;
    const wchar_t* Text;
  } cases[] = {
      {0, L"0 bytes"},
      {1023, L"1023 bytes"},
      {1024, L"1 KB"},
      {1536, L"1.5 KB"},
      {1048575, L"1024 KB"},  // rounded after the unit was chosen
      {1280, L"1.2 KB"},      // 1.25 -> 1.2
      {1344, L"1.3 KB"},      // 1.3125 -> 1.3
      {1408, L"1.4 KB"},      // 1.375 -> 1.4
      {3.5 * 1024 * 1024, L"3.5 MB"},
      {5 * std::pow(1024.0, 4), L"5120 GB"},
      {-1, L"0 bytes"},
  };
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.Bytes), c.Text) << c.Bytes;
}

TEST(RegistryKeyExists, OpensTheKeyForReadingWithOrWithoutALeadingDelimiter) {
  test::TRegistryFixture fixture(RegistryRoot::CurrentUser);
  fixture.CreateKey(L"Borland\\BDS");
  const std::wstring key = fixture.Base() + L"\\Borland\\BDS";
  EXPECT_TRUE(RegistryKeyExists(RegistryRoot::CurrentUser, key));
  EXPECT_TRUE(RegistryKeyExists(RegistryRoot::CurrentUser, L"\\" + key));
  EXPECT_TRUE(RegistryKeyExists(RegistryRoot::CurrentUser, UpperAscii(key)));
  EXPECT_FALSE(RegistryKeyExists(RegistryRoot::CurrentUser, key + L"\\Missing"));
  EXPECT_FALSE(RegistryKeyExists(RegistryRoot::LocalMachine, key));
}

#ifndef _WIN32
TEST(RegistryKeyExists, IsFalseForAKeyThatCannotBeOpenedForReading) {
  platform::hosted::SetRegistryKeyAccess(RegistryRoot::LocalMachine, L"Software\\Oracle", false, false);
  EXPECT_FALSE(RegistryKeyExists(RegistryRoot::LocalMachine, L"\\Software\\Oracle"));
  test::THostedSandbox::Reset();
}

TEST(SystemUptimeSeconds, TruncatesTheUnsignedTickCount) {
  platform::hosted::SetTickCount(1999);
  EXPECT_EQ(SystemUptimeSeconds(), 1);
  platform::hosted::SetTickCount(0xFFFFFFFFu);  // past 2^31 ms the counter must not go negative
  EXPECT_EQ(SystemUptimeSeconds(), 4294967);
  test::THostedSandbox::Reset();
}

TEST(SizeText, UsesTheUsersDecimalSeparator) {
  platform::hosted::SetDecimalSeparator(L',');
  EXPECT_EQ(SizeText(1536), L"1,5 KB");
  test::THostedSandbox::Reset();
}
#endif

}  // namespace
}  // namespace dustmere
