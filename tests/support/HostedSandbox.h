#pragma once
// The standard simulated machine of the native tests (see HostedSandbox.cpp).

#include <filesystem>

namespace dustmere::test {

class THostedSandbox {
public:
  THostedSandbox();
  ~THostedSandbox();
  THostedSandbox(const THostedSandbox&) = delete;
  THostedSandbox& operator=(const THostedSandbox&) = delete;

  // Puts the machine back into its standard state: drive C: on the sandbox folder, Windows and
  // temporary folders, the special folders, no registry keys, tick count one hour.
  static void Reset();

private:
  static std::filesystem::path FHostRoot;
};

}  // namespace dustmere::test
