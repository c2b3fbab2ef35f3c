#pragma once
// Shared pieces of the benchmarks: a scratch folder on the platform (a host temporary folder
// mapped as drive C: natively, the sandbox's temporary folder under Wine), a generated tree of
// files, and timing.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace dustmere::bench {

// Prepares the platform (natively: the simulated machine) and makes an empty scratch folder.
// Returns its Windows path with a trailing "\".
std::wstring MakeScratchFolder();
void RemoveScratchFolder(const std::wstring& Folder);

struct TreeShape {
  int Top = 20;         // folders below the root
  int Middle = 10;      // folders below each top folder
  int Leaves = 100;     // folders below each middle folder
  int FilesPerLeaf = 10;
};

struct TreeContent {
  int JunkEvery = 0;         // > 0: every JunkEvery-th file is named like junk (.tmp, .bak, ...)
  bool AllTemporary = false; // every file is a .tmp file
  std::int64_t AgeSeconds = 0;  // > 0: the files' times lie that far in the past
};

// Builds the tree under Folder; the top folders are named like a Windows system drive's.
// Returns the number of files.
std::int64_t GenerateTree(const std::wstring& Folder, const TreeShape& Shape,
                          const TreeContent& Content = {});

// The peak memory of this process so far, in bytes.
std::uint64_t PeakMemoryBytes();

// The least a walk can do: list every folder below Folder (a path ending in "\\") and hand each
// file to OnFile with its listing entry. Returns the number of entries, folders included.
std::int64_t BareWalk(const std::wstring& Folder,
                      const std::function<void(const std::wstring&, const platform::DirEntry&)>&
                          OnFile = nullptr);

// Best of Repeats runs, in seconds.
double BestSeconds(int Repeats, const std::function<void()>& Run);

// "native" or "wine".
const char* PlatformName();

}  // namespace dustmere::bench
