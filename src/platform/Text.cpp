#include "platform/Text.h"

#include "platform/Exception.h"

#include <cstdint>

namespace dustmere {

Exception::Exception(std::wstring message)
    : std::runtime_error(ToUtf8(message)), FMessage(std::move(message)) {}

std::wstring UpperAscii(std::wstring_view s) {
  std::wstring result(s);
  UpperAsciiInPlace(result);
  return result;
}

void UpperAsciiInPlace(std::wstring& s) noexcept {
  // Without a branch, so that the compiler can fold many characters at once: every path found
  // on a disk comes through here.
  for (auto& c : s) {
    const auto code = static_cast<std::uint32_t>(c);
    c = static_cast<wchar_t>(code - ((code - L'a' < 26u) ? 0x20u : 0u));
  }
}

bool SameTextAscii(std::wstring_view a, std::wstring_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpCaseAscii(a[i]) != UpCaseAscii(b[i])) return false;
  return true;
}

std::wstring IncludeTrailingPathDelimiter(std::wstring_view path) {
  std::wstring result(path);
  if (result.empty() || result.back() != PathDelim) result += PathDelim;
  return result;
}

std::wstring ExcludeTrailingPathDelimiter(std::wstring_view path) {
  if (!path.empty() && path.back() == PathDelim) path.remove_suffix(1);
  return std::wstring(path);
}

namespace {

constexpr char32_t Replacement = 0xFFFD;

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

namespace {

void AppendWide(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += wchar_t(0xD800 + (cp >> 10));
      out += wchar_t(0xDC00 + (cp & 0x3FF));
      return;
    }
  }
  out += wchar_t(cp);
}

}  // namespace

std::string ToUtf8(std::wstring_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = char32_t(s[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
          s[i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00);
        ++i;
      } else if (cp >= 0xD800 && cp <= 0xDFFF) {
        cp = Replacement;
      }
    } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      cp = Replacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::u32string CodePointsFromUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2
                    : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || (extra > 0 && i + size_t(extra) >= s.size())) {
      out += Replacement;
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t Minimum[] = {0, 0x80, 0x800, 0x10000};
    if (!valid || cp < Minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += Replacement;
      ++i;
      continue;
    }
    out += cp;
    i += size_t(extra) + 1;
  }
  return out;
}

std::wstring FromUtf8(std::string_view s) {
  std::wstring out;
  out.reserve(s.size());
  for (const char32_t cp : CodePointsFromUtf8(s)) AppendWide(out, cp);
  return out;
}

}  // namespace dustmere
