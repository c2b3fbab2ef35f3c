// The hot path of a disk reading: TCleanupList.CheckFile with the whole file-mask catalogue.
//
//   checkfile_bench            CheckFile per file, and a whole reading against the bare walk
//   checkfile_bench memory     peak memory of a reading that collects 100,000 files
//   checkfile_bench small      the first on a fifth of the tree
//
// The corpus is a generated tree of Windows-like folders with a few percent junk, all files last
// used a month ago, so that every one passes the reader's filter and the protection rule; the
// junk files exist, so the protection rule looks them up for real.

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "actions/CleanupActionRegistration.h"
#include "model/DustmereClasses.h"
#include "platform/Platform.h"
#include "scan/XolDirectoryReader.h"
#include "scan/XolMiscellaneous.h"

using namespace dustmere;

namespace {

constexpr std::int64_t Month = 30LL * 86400;
const std::wstring Rule = L"Smart";

// Every file-mask action of the catalogue, whether or not it applies to this machine.
void AddWholeCatalogue(TCleanupList& list) {
  for (const auto& row : RegistrationTable())
    if (row.Class) list.AddCleanupAction(*row.Class, row.DefaultChecked);
}

struct FoundFile {
  std::wstring Path;
  platform::FileTime LastAccess;
};

std::int64_t TotalCollected(const TCleanupList& list) {
  std::int64_t total = 0;
  for (int i = 0; i < list.Count(); ++i)
    if (const auto* item = dynamic_cast<const TCleanupFileMaskItem*>(&list[i]))
      total += std::int64_t(item->Filelist().size());
  return total;
}

// The reading as the main window runs it: the reader filters by last access as the rule asks
// and hands every file to the list.
void Reading(TDirReader& reader, TCleanupList& list, const std::wstring& root) {
  list.ResetFileMaskItems();
  reader.SetDirectory(root);
  reader.SetDelayLastAccess(SystemUptimeSeconds());
  reader.OnFileFound = [&](TDirReader& sender, const std::wstring& f) {
    list.CheckFile(f, Rule, sender.CurrentEntry().LastAccessTime);
  };
  reader.Start();
}

int HotPath(bool small) {
  const std::wstring scratch = bench::MakeScratchFolder();
  bench::TreeContent content;
  content.JunkEvery = 25;
  content.AgeSeconds = Month;
  bench::TreeShape shape;
  if (small) shape.Top = 4;  // a fifth of the tree, for a quick look
  bench::GenerateTree(scratch, shape, content);

  TCleanupList list;
  AddWholeCatalogue(list);
  std::vector<FoundFile> files;
  const std::int64_t entries = bench::BareWalk(
      scratch, [&](const std::wstring& path, const platform::DirEntry& entry) {
        files.push_back({path, entry.LastAccessTime});
      });
  const std::int64_t folders = entries - std::int64_t(files.size()) + 1;

  // CheckFile alone, over the corpus twice (a few hundred thousand paths).
  std::int64_t collected = 0;
  const double checkSeconds = bench::BestSeconds(5, [&] {
    list.ResetFileMaskItems();
    for (int pass = 0; pass < 2; ++pass)
      for (const auto& f : files) list.CheckFile(f.Path, Rule, f.LastAccess);
    collected = TotalCollected(list);
  });
  const double offered = 2.0 * double(files.size());

  // The same with nothing to collect: the price every ordinary file pays.
  std::vector<FoundFile> ordinary;
  {
    TCleanupList probe;
    AddWholeCatalogue(probe);
    for (const auto& f : files)
      if (!probe.CheckFile(f.Path, L"None")) ordinary.push_back(f);
  }
  const double ordinarySeconds = bench::BestSeconds(5, [&] {
    for (int pass = 0; pass < 2; ++pass)
      for (const auto& f : ordinary) list.CheckFile(f.Path, Rule, f.LastAccess);
  });

  // The same ordinary files, a few thousand at a time, so that the paths are in the cache as
  // they are in a reading, where the reader has just written each one.
  const size_t hotCount = std::min<size_t>(ordinary.size(), 2000);
  const double hotSeconds = bench::BestSeconds(5, [&] {
    for (int pass = 0; pass < 200; ++pass)
      for (size_t i = 0; i < hotCount; ++i) list.CheckFile(ordinary[i].Path, Rule, ordinary[i].LastAccess);
  });

  // A whole reading against the bare walk, alternated, best of each.
  TDirReader reader;
  reader.SetRecursive(true);
  reader.SetFilemask(L"*.*");
  double bareBest = 1e300, readingBest = 1e300;
  for (int round = 0; round < 4; ++round) {
    const double b = bench::BestSeconds(1, [&] { bench::BareWalk(scratch); });
    const double r = bench::BestSeconds(1, [&] { Reading(reader, list, scratch); });
    if (round == 0) continue;
    bareBest = std::min(bareBest, b);
    readingBest = std::min(readingBest, r);
  }
  const std::int64_t readingCollected = TotalCollected(list);
  bench::RemoveScratchFolder(scratch);

  std::printf("checkfile %-6s actions=%d files=%zu folders=%lld rule=Smart\n",
              bench::PlatformName(), list.Count(), files.size(), static_cast<long long>(folders));
  std::printf("  CheckFile, whole corpus      %8.1f ns per file  (%lld of %.0f collected, %.1f%%)\n",
              checkSeconds * 1e9 / offered, static_cast<long long>(collected), offered,
              100.0 * double(collected) / offered);
  std::printf("  CheckFile, ordinary files    %8.1f ns per file\n",
              ordinarySeconds * 1e9 / (2.0 * double(ordinary.size())));
  std::printf("  CheckFile, ordinary, cached  %8.1f ns per file\n",
              hotSeconds * 1e9 / (200.0 * double(hotCount)));
  std::printf("  bare walk                    %8.3f s  %10.0f entries/s\n", bareBest,
              double(entries) / bareBest);
  std::printf("  reading (reader + CheckFile) %8.3f s  %10.0f entries/s  (%lld collected)\n",
              readingBest, double(entries) / readingBest,
              static_cast<long long>(readingCollected));
  std::printf("  ratio reading/bare %.3f\n", readingBest / bareBest);
  return 0;
}

int Memory() {
  const std::wstring scratch = bench::MakeScratchFolder();
  bench::TreeShape shape;
  shape.Top = 10;  // 10 x 10 x 100 folders of 10 files: 100,000 temporary files
  bench::TreeContent content;
  content.AllTemporary = true;
  content.AgeSeconds = Month;
  const std::int64_t generated = bench::GenerateTree(scratch, shape, content);

  TCleanupList list;
  AddWholeCatalogue(list);
  TDirReader reader;
  reader.SetRecursive(true);
  reader.SetFilemask(L"*.*");
  const std::uint64_t before = bench::PeakMemoryBytes();
  Reading(reader, list, scratch);
  const std::uint64_t after = bench::PeakMemoryBytes();
  const std::int64_t collected = TotalCollected(list);
  bench::RemoveScratchFolder(scratch);

  std::printf("memory %-6s files=%lld collected=%lld\n", bench::PlatformName(),
              static_cast<long long>(generated), static_cast<long long>(collected));
  std::printf("  peak before the reading %8.1f MiB, after %8.1f MiB: %.1f MiB for the reading, "
              "%.0f bytes per collected file\n",
              double(before) / 1048576, double(after) / 1048576,
              double(after - before) / 1048576, double(after - before) / double(collected));
  return collected == generated ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "memory") == 0) return Memory();
  return HotPath(argc > 1 && std::strcmp(argv[1], "small") == 0);
}
