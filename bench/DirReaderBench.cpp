// A complete TDirReader walk (DelayLastAccess set, messages let run after every entry) against a
// bare listing walk that only counts entries, over the same generated tree, in one run.
//
//   dirreader_bench [repeats]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "BenchSupport.h"
#include "platform/Platform.h"
#include "scan/XolDirectoryReader.h"

using namespace dustmere;

namespace {

struct Counts {
  std::int64_t Files = 0;
  std::int64_t Folders = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::atoi(argv[1]) : 5;
  const std::wstring scratch = bench::MakeScratchFolder();
  const std::int64_t generated = bench::GenerateTree(scratch, bench::TreeShape{});
  std::this_thread::sleep_for(std::chrono::seconds(2));

  Counts bare, reader;
  TDirReader dirReader;
  dirReader.SetRecursive(true);
  dirReader.SetFilemask(L"*.*");
  // The time test runs for every file; the files are a few seconds old, so all of them pass.
  dirReader.SetDelayLastAccess(1);
  dirReader.SetDirectory(scratch);
  dirReader.OnFileFound = [&](TDirReader&, const std::wstring&) { ++reader.Files; };
  dirReader.OnDirectoryFound = [&](TDirReader&, const std::wstring&) { ++reader.Folders; };

  // Alternate the two so that both see the same cache state; keep the best of each.
  double bareBest = 1e300, readerBest = 1e300;
  for (int i = 0; i < repeats + 1; ++i) {
    const double b = bench::BestSeconds(1, [&] {
      bare = {};
      const std::int64_t entries = bench::BareWalk(
          scratch, [&](const std::wstring&, const platform::DirEntry&) { ++bare.Files; });
      bare.Folders = entries - bare.Files + 1;  // the start folder is no entry of its own
    });
    const double r = bench::BestSeconds(1, [&] {
      reader = {};
      dirReader.Start();
    });
    if (i == 0) continue;  // the first round warms the cache
    bareBest = std::min(bareBest, b);
    readerBest = std::min(readerBest, r);
  }
  bench::RemoveScratchFolder(scratch);

  if (bare.Files != generated || reader.Files != generated) {
    std::fprintf(stderr, "walks disagree: generated %lld, bare %lld, reader %lld\n",
                 static_cast<long long>(generated), static_cast<long long>(bare.Files), static_cast<long long>(reader.Files));
    return 1;
  }
  const double entries = double(bare.Files + bare.Folders);
  std::printf("dirreader %-6s files=%lld folders=%lld repeats=%d\n", bench::PlatformName(),
              static_cast<long long>(bare.Files), static_cast<long long>(bare.Folders), repeats);
  std::printf("  bare walk   %8.3f s  %10.0f files/s  %10.0f entries/s\n", bareBest,
              double(bare.Files) / bareBest, entries / bareBest);
  std::printf("  TDirReader  %8.3f s  %10.0f files/s  %10.0f entries/s\n", readerBest,
              double(reader.Files) / readerBest, entries / readerBest);
  std::printf("  ratio reader/bare %.3f\n", readerBest / bareBest);
  return 0;
}
