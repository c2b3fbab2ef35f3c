#include "scan/XolMiscellaneous.h"

#include <cmath>
#include <cstdio>

namespace dustmere {

int SystemUptimeSeconds() { return int(platform::TickCount() / 1000u); }

namespace {

// The shortest general form of a number, up to 15 significant digits, with an exponent only from
// 10^15 on ("1.5", "1024", "1.2E15").
std::wstring GeneralNumberText(double value, wchar_t separator) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::wstring text;
  for (const char* p = buffer; *p; ++p) {
    if (*p == '.') {
      text += separator;
    } else if (*p == 'E') {
      // "1.2E+15" -> "1.2E15": no plus sign and no leading zeros in the exponent.
      text += L'E';
      ++p;
      if (*p == '-') text += L'-';
      if (*p == '+' || *p == '-') ++p;
      while (*p == '0' && p[1]) ++p;
      for (; *p; ++p) text += wchar_t(*p);
      break;
    } else {
      text += wchar_t(*p);
    }
  }
  return text;
}

}  // namespace

std::wstring SizeText(double Bytes) {
  static const wchar_t* const Units[] = {L"bytes", L"KB", L"MB", L"GB"};
  double value = Bytes < 0 || std::isnan(Bytes) ? 0 : Bytes;
  int unit = 0;
  for (int step = 0; step < 3; ++step) {
    if (value >= 1024) {
      value /= 1024;
      unit = step + 1;
    }
  }
  // nearbyint rounds halves to the even neighbour in the default rounding mode.
  value = std::nearbyint(value * 10) / 10;
  return GeneralNumberText(value, platform::DecimalSeparator()) + L" " + Units[unit];
}

std::wstring RegistryKeyPath(std::wstring_view Key) {
  if (!Key.empty() && Key.front() == L'\\') Key.remove_prefix(1);
  return std::wstring(Key);
}

bool RegistryKeyExists(platform::RegistryRoot Root, const std::wstring& Key,
                       platform::RegistryView View) {
  return platform::RegistryKeyOpens(Root, RegistryKeyPath(Key), platform::RegistryAccess::Read,
                                    View);
}

}  // namespace dustmere
