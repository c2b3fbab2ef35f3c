// Mask matching over a realistic set of paths and masks: the text form (the list read and every
// mask parsed on each call), a parsed list, and one parsed mask at a time.
//
//   mask_bench [paths]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "platform/Text.h"
#include "scan/XolMasks.h"

using namespace dustmere;

namespace {

// The masks of the file-mask catalogue, with typical folders filled in.
std::vector<std::wstring> CatalogueMasks() {
  const std::wstring w = L"C:\\WINDOWS\\", t = L"C:\\USERS\\ANNA\\APPDATA\\LOCAL\\TEMP\\",
                     p = L"C:\\USERS\\ANNA\\", a = L"C:\\USERS\\ANNA\\APPDATA\\ROAMING\\";
  std::vector<std::wstring> masks = {
      L"*.bak", L"*.old", L"*.000", a + L"MICROSOFT\\WINDOWS\\RECENT\\*", L"*.gid", L"*.fts",
      L"*.ftg", L"?:\\Scandisk.log", L"?:\\File????.CHK", L"*.tmp", L"*.$$$", L"*.~mp",
      L"*\\~$*.doc", L"*Thumbs.db", w + L"Minidump\\*.dmp", w + L"memory.dmp",
      L"*\\sqlnet.log", p + L".jpi_cache\\*", a + L"Sun\\Java\\Deployment\\cache\\*",
      w + L"Prefetch\\*", t + L"*", w + L"Temp\\*", w + L"$Nt*\\*", w + L"$hf_mig$\\*",
      w + L"$MSI*\\*", L"C:\\WUTemp\\*", L"C:\\msdownld.tmp\\*", w + L"msdownld.tmp\\*",
      w + L"Windows Update Setup Files\\*"};
  for (const wchar_t* log :
       {L"system32\\wbem\\Logs\\*.log", L"system32\\wbem\\Logs\\*.lo_", L"KB??????.log",
        L"Q??????.log", L"setuplog.txt", L"comsetup.log", L"DirectX.log", L"FaxSetup.log",
        L"iis6.log", L"msmqinst.log", L"ntdtcsetup.log", L"ocgen.log", L"setupact.log",
        L"setupapi.log", L"svcpack.log", L"tsoc.log", L"Windows Update.log",
        L"WindowsUpdate.log", L"wmsetup.log", L"ntbtlog.txt", L"Debug\\*.log",
        L"Debug\\UserMode\\*.log"})
    masks.push_back(w + log);
  masks.push_back(L"*\\Application Data\\Microsoft\\Dr Watson\\*.log");
  masks.push_back(L"*\\Application Data\\Microsoft\\Dr Watson\\*.dmp");
  for (auto& m : masks) UpperAsciiInPlace(m);
  return masks;
}

std::vector<std::wstring> RealisticPaths(int count) {
  const wchar_t* folders[] = {
      L"C:\\WINDOWS\\SYSTEM32\\", L"C:\\WINDOWS\\WINSXS\\AMD64_MICROSOFT-WINDOWS-SHELL32_31BF3856AD364E35_10.0.19041.1_NONE_ABCDEF\\",
      L"C:\\PROGRAM FILES\\COMMON FILES\\MICROSOFT SHARED\\OFFICE16\\",
      L"C:\\USERS\\ANNA\\APPDATA\\LOCAL\\MICROSOFT\\EDGE\\USER DATA\\DEFAULT\\CACHE\\",
      L"C:\\USERS\\ANNA\\DOCUMENTS\\PROJECTS\\2024\\", L"D:\\PHOTOS\\2019\\HOLIDAY\\",
      L"C:\\USERS\\ANNA\\APPDATA\\LOCAL\\TEMP\\", L"C:\\WINDOWS\\TEMP\\"};
  const wchar_t* names[] = {L"SHELL32.DLL", L"REPORT.DOCX", L"IMG_0042.JPG", L"DATA_1.BIN",
                            L"SETUP.LOG", L"~DF1234.TMP", L"THUMBS.DB", L"NOTES.TXT.BAK"};
  std::vector<std::wstring> paths;
  for (int i = 0; i < count; ++i)
    paths.push_back(std::wstring(folders[(i * 7) % 8]) + std::to_wstring(i % 97) + names[i % 8]);
  return paths;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  const auto masks = CatalogueMasks();
  const auto paths = RealisticPaths(count);
  const std::wstring text = WriteMaskList(masks);
  const TMaskList list(text);
  std::vector<TMask> parsed;
  for (const auto& m : masks) parsed.emplace_back(m);

  long long hits = 0;
  const double textSeconds = bench::BestSeconds(3, [&] {
    for (int i = 0; i < count / 20; ++i) hits += MatchesMaskList(paths[i], text);
  });
  const double listSeconds = bench::BestSeconds(5, [&] {
    for (const auto& path : paths) hits += list.Matches(path);
  });
  const double maskSeconds = bench::BestSeconds(5, [&] {
    for (const auto& path : paths)
      for (const auto& mask : parsed) hits += mask.Matches(path);
  });

  const double pairs = double(count) * double(masks.size());
  std::printf("masks %-6s paths=%d masks=%zu (hits %lld)\n", bench::PlatformName(), count,
              masks.size(), hits);
  std::printf("  MatchesMaskList (text, parsed per call)  %8.1f ns per path\n",
              textSeconds * 1e9 / (count / 20));
  std::printf("  TMaskList.Matches (parsed once)          %8.1f ns per path\n",
              listSeconds * 1e9 / count);
  std::printf("  TMask.Matches, one parsed mask           %8.2f ns per path and mask\n",
              maskSeconds * 1e9 / pairs);
  return 0;
}
