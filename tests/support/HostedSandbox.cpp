#include "support/HostedSandbox.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/hosted/HostedMachine.h"
#include "scan/XolFiles.h"

namespace dustmere::test {

std::filesystem::path THostedSandbox::FHostRoot;

THostedSandbox::THostedSandbox() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dustmere-c-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create the sandbox folder");
  FHostRoot = pattern;
  for (const char* folder : {"Windows", "Windows/Temp", "Temp", "Users", "Users/u",
                             "Users/u/AppData", "Users/u/AppData/Roaming",
                             "Users/u/AppData/Roaming/Microsoft",
                             "Users/u/AppData/Roaming/Microsoft/Windows",
                             "Users/u/AppData/Roaming/Microsoft/Windows/Recent"})
    std::filesystem::create_directory(FHostRoot / folder);
  Reset();
}

THostedSandbox::~THostedSandbox() {
  std::error_code ignored;
  std::filesystem::remove_all(FHostRoot, ignored);
}

void THostedSandbox::Reset() {
  using namespace platform;
  hosted::ResetMachine();
  hosted::MapDrive(L'C', FHostRoot, DriveType::Fixed);
  hosted::SetFreeBytes(L'C', 10ull << 30);
  hosted::SetWindowsDirectory(L"C:\\Windows");
  hosted::SetTempPath(L"C:\\Temp\\");
  hosted::SetSpecialFolder(CSIDL_PROFILE, L"C:\\Users\\u");
  hosted::SetSpecialFolder(CSIDL_APPDATA, L"C:\\Users\\u\\AppData\\Roaming");
  hosted::SetSpecialFolder(CSIDL_RECENT, L"C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Recent");
  hosted::SetTickCount(3'600'000);
}

}  // namespace dustmere::test
