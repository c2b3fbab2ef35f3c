#pragma once
// The byte encodings a settings file may be stored in. The document is parsed and serialised as
// UTF-8; these routines convert at the file's edge, so that a file is written back in the encoding
// its declaration names.

#include <string>

namespace dustmere {

enum class TXmlCharset { Utf8, Utf16LE, Utf16BE, Latin1, Windows1252, Ascii };

struct TXmlEncoding {
  TXmlCharset Charset = TXmlCharset::Utf8;
  bool ByteOrderMark = false;
};

class TUnsupportedEncoding {
public:
  explicit TUnsupportedEncoding(std::wstring Reason) : FReason(std::move(Reason)) {}
  const std::wstring& Reason() const noexcept { return FReason; }

private:
  std::wstring FReason;
};

// From the byte-order mark, the shape of the first characters, or the declaration's encoding.
// Raises TUnsupportedEncoding for an encoding name it does not know.
TXmlEncoding DetectXmlEncoding(const std::string& Bytes);
// The encoding a declaration's encoding name stands for; UTF-8 for the empty name.
TXmlEncoding EncodingOfName(const std::string& Name);

std::string DecodeXml(const std::string& Bytes, TXmlEncoding Encoding);
std::string DecodeXmlAsLatin1(const std::string& Bytes);
// Characters the encoding cannot hold are written as character references.
std::string EncodeXml(const std::string& Utf8, TXmlEncoding Encoding);

}  // namespace dustmere
