#pragma once
// Test fixtures that work the same natively (hosted machine) and under Wine (real Windows API):
// a folder tree of real files in the sandbox's temporary folder, and registry keys under a name
// of the test's own. Both are removed again when the fixture ends.

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace dustmere::test {

class TFixtureTree {
public:
  TFixtureTree();
  ~TFixtureTree();
  TFixtureTree(const TFixtureTree&) = delete;
  TFixtureTree& operator=(const TFixtureTree&) = delete;

  // The fixture's root, a Windows path ending with "\".
  const std::wstring& Root() const noexcept { return FRoot; }
  std::wstring Path(const std::wstring& Relative) const { return FRoot + Relative; }

  // Creates the folder and its parents; returns its full path with a trailing "\".
  std::wstring Dir(const std::wstring& Relative);
  // Creates the file (and its folders); returns its full path.
  std::wstring File(const std::wstring& Relative, const std::string& Content = "x");
  void SetTimes(const std::wstring& Relative, std::optional<platform::FileTime> LastAccessUtc,
                std::optional<platform::FileTime> LastWriteUtc);
  void MakeReadOnly(const std::wstring& Relative);
  // A symbolic link to a folder; false where the system does not allow one to be created.
  bool DirectoryLink(const std::wstring& Relative, const std::wstring& Target);

private:
  std::wstring FRoot;
};

// Registry keys below a root that only this test uses.
class TRegistryFixture {
public:
  explicit TRegistryFixture(platform::RegistryRoot Root);
  ~TRegistryFixture();

  // The key path below the root, without a leading "\", of the fixture's own key.
  const std::wstring& Base() const noexcept { return FBase; }
  void CreateKey(const std::wstring& Relative);
  void SetString(const std::wstring& Relative, const std::wstring& Name, const std::wstring& Text);
  std::vector<std::wstring> ValueNames(const std::wstring& Relative) const;
  bool KeyExists(const std::wstring& Relative) const;

private:
  platform::RegistryRoot FRoot;
  std::wstring FBase;
};

// A key at a fixed path that the code under test looks for (an application's key, say), created
// for the test when it is missing and removed again afterwards only if the test created it.
class TFixedRegistryKey {
public:
  TFixedRegistryKey(platform::RegistryRoot Root, std::wstring Key,
                    platform::RegistryView View = platform::RegistryView::Native);
  ~TFixedRegistryKey();
  void SetString(const std::wstring& Name, const std::wstring& Text);

private:
  platform::RegistryRoot FRoot;
  std::wstring FKey;
  platform::RegistryView FView;
  bool FCreated = false;
};

// UTC ticks of a calendar time.
platform::FileTime UtcTime(int Year, int Month, int Day, int Hour = 0, int Minute = 0,
                           int Second = 0);

}  // namespace dustmere::test
