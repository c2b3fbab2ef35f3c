#include "settings/XmlEncoding.h"

#include <algorithm>

#include "platform/Text.h"

namespace dustmere {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80 .. 0x9F; the five unassigned codes map to
// themselves, as Windows does.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Lower(std::string s) {
  for (auto& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

bool StartsWith(const std::string& s, std::string_view prefix) {
  return s.size() >= prefix.size() && std::string_view(s).substr(0, prefix.size()) == prefix;
}

// The value of encoding="..." in a leading <?xml ...?> declaration of 8-bit text; empty if none.
std::string DeclaredEncoding(const std::string& bytes, size_t start) {
  if (bytes.compare(start, 5, "<?xml") != 0) return {};
  const size_t end = bytes.find("?>", start);
  if (end == std::string::npos) return {};
  const std::string declaration = bytes.substr(start, end - start);
  size_t pos = declaration.find("encoding");
  if (pos == std::string::npos) return {};
  pos = declaration.find('=', pos);
  if (pos == std::string::npos) return {};
  pos = declaration.find_first_of("\"'", pos);
  if (pos == std::string::npos) return {};
  const size_t close = declaration.find(declaration[pos], pos + 1);
  if (close == std::string::npos) return {};
  return declaration.substr(pos + 1, close - pos - 1);
}

void AppendReference(std::string& out, char32_t cp) {
  out += "&#" + std::to_string(unsigned(cp)) + ";";
}

}  // namespace

TXmlEncoding EncodingOfName(const std::string& Name) {
  const std::string name = Lower(Name);
  if (name.empty() || name == "utf-8" || name == "utf8") return {TXmlCharset::Utf8, false};
  if (name == "utf-16" || name == "utf-16le" || name == "unicode")
    return {TXmlCharset::Utf16LE, true};
  if (name == "utf-16be") return {TXmlCharset::Utf16BE, true};
  if (name == "iso-8859-1" || name == "iso_8859-1" || name == "latin1" || name == "l1")
    return {TXmlCharset::Latin1, false};
  if (name == "windows-1252" || name == "cp1252") return {TXmlCharset::Windows1252, false};
  if (name == "us-ascii" || name == "ascii") return {TXmlCharset::Ascii, false};
  throw TUnsupportedEncoding(L"System does not support the specified encoding.");
}

TXmlEncoding DetectXmlEncoding(const std::string& Bytes) {
  if (StartsWith(Bytes, "\xFF\xFE")) return {TXmlCharset::Utf16LE, true};
  if (StartsWith(Bytes, "\xFE\xFF")) return {TXmlCharset::Utf16BE, true};
  if (StartsWith(Bytes, std::string_view("<\0?\0", 4))) return {TXmlCharset::Utf16LE, false};
  if (StartsWith(Bytes, std::string_view("\0<\0?", 4))) return {TXmlCharset::Utf16BE, false};
  const bool bom = StartsWith(Bytes, "\xEF\xBB\xBF");
  TXmlEncoding encoding = EncodingOfName(DeclaredEncoding(Bytes, bom ? 3 : 0));
  if (encoding.Charset == TXmlCharset::Utf16LE || encoding.Charset == TXmlCharset::Utf16BE)
    encoding = {TXmlCharset::Utf8, false};  // 8-bit text that claims to be UTF-16: read as is
  encoding.ByteOrderMark = bom;
  return encoding;
}

std::string DecodeXmlAsLatin1(const std::string& Bytes) {
  std::string out;
  for (const char c : Bytes) AppendUtf8(out, char32_t(static_cast<unsigned char>(c)));
  return out;
}

std::string DecodeXml(const std::string& Bytes, TXmlEncoding Encoding) {
  std::string out;
  switch (Encoding.Charset) {
    case TXmlCharset::Utf8:
      return StartsWith(Bytes, "\xEF\xBB\xBF") ? Bytes.substr(3) : Bytes;
    case TXmlCharset::Latin1:
    case TXmlCharset::Ascii:
      return DecodeXmlAsLatin1(Bytes);
    case TXmlCharset::Windows1252:
      for (const char c : Bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? char32_t(Cp1252High[b - 0x80]) : char32_t(b));
      }
      return out;
    case TXmlCharset::Utf16LE:
    case TXmlCharset::Utf16BE: {
      const bool little = Encoding.Charset == TXmlCharset::Utf16LE;
      size_t i = (StartsWith(Bytes, "\xFF\xFE") || StartsWith(Bytes, "\xFE\xFF")) ? 2 : 0;
      const auto unitAt = [&](size_t at) {
        const unsigned char a = static_cast<unsigned char>(Bytes[at]);
        const unsigned char b = static_cast<unsigned char>(Bytes[at + 1]);
        return little ? char32_t(a | (b << 8)) : char32_t((a << 8) | b);
      };
      for (; i + 1 < Bytes.size(); i += 2) {
        char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < Bytes.size()) {
          const char32_t low = unitAt(i + 2);
          if (low >= 0xDC00 && low <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
          }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        AppendUtf8(out, unit);
      }
      return out;
    }
  }
  return out;
}

std::string EncodeXml(const std::string& Utf8, TXmlEncoding Encoding) {
  std::string out;
  switch (Encoding.Charset) {
    case TXmlCharset::Utf8:
      return Encoding.ByteOrderMark ? "\xEF\xBB\xBF" + Utf8 : Utf8;
    case TXmlCharset::Utf16LE:
    case TXmlCharset::Utf16BE: {
      const bool little = Encoding.Charset == TXmlCharset::Utf16LE;
      const auto put = [&](char32_t unit) {
        const char lo = char(unit & 0xFF), hi = char((unit >> 8) & 0xFF);
        out += little ? lo : hi;
        out += little ? hi : lo;
      };
      if (Encoding.ByteOrderMark) put(0xFEFF);
      for (char32_t cp : CodePointsFromUtf8(Utf8)) {
        if (cp >= 0x10000) {
          cp -= 0x10000;
          put(0xD800 + (cp >> 10));
          put(0xDC00 + (cp & 0x3FF));
        } else {
          put(cp);
        }
      }
      return out;
    }
    case TXmlCharset::Latin1:
    case TXmlCharset::Ascii: {
      const char32_t limit = Encoding.Charset == TXmlCharset::Latin1 ? 0xFF : 0x7F;
      for (const char32_t cp : CodePointsFromUtf8(Utf8)) {
        if (cp <= limit)
          out += char(cp);
        else
          AppendReference(out, cp);
      }
      return out;
    }
    case TXmlCharset::Windows1252:
      for (const char32_t cp : CodePointsFromUtf8(Utf8)) {
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
          out += char(cp);
          continue;
        }
        const auto* hit = std::find(std::begin(Cp1252High), std::end(Cp1252High), char16_t(cp));
        if (cp <= 0xFFFF && hit != std::end(Cp1252High))
          out += char(0x80 + (hit - std::begin(Cp1252High)));
        else
          AppendReference(out, cp);
      }
      return out;
  }
  return out;
}

}  // namespace dustmere
