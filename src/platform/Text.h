#pragma once
// Text helpers shared by every layer: UTF-8 at the edges, ASCII-only case folding for paths and
// masks (Windows folds more, but the system compares a to z only), and the path delimiter.

#include <string>
#include <string_view>

namespace dustmere {

constexpr wchar_t PathDelim = L'\\';

constexpr wchar_t UpCaseAscii(wchar_t c) noexcept {
  return (c >= L'a' && c <= L'z') ? wchar_t(c - (L'a' - L'A')) : c;
}

std::wstring UpperAscii(std::wstring_view s);
void UpperAsciiInPlace(std::wstring& s) noexcept;
bool SameTextAscii(std::wstring_view a, std::wstring_view b) noexcept;

// Adds a trailing "\" unless the text already ends with one (the empty text becomes "\").
std::wstring IncludeTrailingPathDelimiter(std::wstring_view path);
std::wstring ExcludeTrailingPathDelimiter(std::wstring_view path);

// UTF-8 <-> UTF-16 (Windows) or UTF-32 (elsewhere). Invalid input becomes U+FFFD.
std::string ToUtf8(std::wstring_view s);
std::wstring FromUtf8(std::string_view s);

// The code points of UTF-8 text, and one code point appended as UTF-8.
std::u32string CodePointsFromUtf8(std::string_view s);
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace dustmere
