#include "settings/DustmereData.h"

#include <sstream>

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/XmlEncoding.h"

namespace dustmere {

class TSettingsDocument {
public:
  pugi::xml_document Xml;
  TXmlEncoding Encoding;
};

namespace {

constexpr const char* RootName = "DustmereSettings";

constexpr unsigned ParseOptions = pugi::parse_default | pugi::parse_declaration |
                                  pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;

// No indentation and no whitespace between elements; the declaration is the document's own.
constexpr unsigned SaveOptions = pugi::format_raw | pugi::format_no_declaration;

std::wstring LineBreak() { return L"\r\n"; }

// "<reason>\r\nLine: <n>\r\n<first 40 characters of the offending line>"
[[noreturn]] void RaiseParseError(const std::string& utf8, const std::wstring& reason,
                                  std::ptrdiff_t offset) {
  if (offset < 0) offset = 0;
  if (size_t(offset) > utf8.size()) offset = std::ptrdiff_t(utf8.size());
  int line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < size_t(offset); ++i) {
    if (utf8[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  size_t lineEnd = utf8.find_first_of("\r\n", lineStart);
  if (lineEnd == std::string::npos) lineEnd = utf8.size();
  const std::wstring source = FromUtf8(std::string_view(utf8).substr(lineStart, lineEnd - lineStart));
  throw Exception(reason + LineBreak() + L"Line" + L": " + std::to_wstring(line) + LineBreak() +
                  source.substr(0, 40));
}

std::shared_ptr<TSettingsDocument> ParseDocument(const std::string& bytes) {
  auto document = std::make_shared<TSettingsDocument>();
  std::string utf8;
  try {
    document->Encoding = DetectXmlEncoding(bytes);
    utf8 = DecodeXml(bytes, document->Encoding);
  } catch (const TUnsupportedEncoding& unsupported) {
    RaiseParseError(DecodeXmlAsLatin1(bytes), unsupported.Reason(), 0);
  }
  const pugi::xml_parse_result result =
      document->Xml.load_buffer(utf8.data(), utf8.size(), ParseOptions, pugi::encoding_utf8);
  if (!result) RaiseParseError(utf8, FromUtf8(result.description()), result.offset);
  return document;
}

// The encoding the declaration names now; UTF-16 keeps the byte order the file was read in.
TXmlEncoding SaveEncoding(const TSettingsDocument& document) {
  std::string name;
  for (const pugi::xml_node node : document.Xml.children()) {
    if (node.type() == pugi::node_declaration) {
      name = node.attribute("encoding").value();
      break;
    }
  }
  TXmlEncoding encoding;
  try {
    encoding = EncodingOfName(name);
  } catch (const TUnsupportedEncoding&) {
    encoding = {};
  }
  const TXmlEncoding& loaded = document.Encoding;
  if (encoding.Charset == TXmlCharset::Utf16LE && loaded.Charset == TXmlCharset::Utf16BE)
    encoding.Charset = TXmlCharset::Utf16BE;
  if (encoding.Charset == TXmlCharset::Utf8)
    encoding.ByteOrderMark = loaded.Charset == TXmlCharset::Utf8 && loaded.ByteOrderMark;
  return encoding;
}

}  // namespace

// Accessors

std::wstring TXMLNodeAccessor::GetAttribute(const char* Name) const {
  pugi::xml_node node = FNode;
  pugi::xml_attribute attribute = node.attribute(Name);
  if (!attribute) attribute = node.append_attribute(Name);
  return FromUtf8(attribute.value());
}

void TXMLNodeAccessor::SetAttribute(const char* Name, const std::wstring& Value) const {
  pugi::xml_node node = FNode;
  pugi::xml_attribute attribute = node.attribute(Name);
  if (!attribute) attribute = node.append_attribute(Name);
  attribute.set_value(ToUtf8(Value).c_str());
}

pugi::xml_node TXMLNodeAccessor::ChildElement(const char* Name) const {
  pugi::xml_node node = FNode;
  pugi::xml_node child = node.child(Name);
  if (!child) child = node.append_child(Name);
  return child;
}

template <typename TItem>
int TXMLCollection<TItem>::Count() const {
  int count = 0;
  for (pugi::xml_node child = Node().child(FItemName); child;
       child = child.next_sibling(FItemName))
    ++count;
  return count;
}

template <typename TItem>
TItem TXMLCollection<TItem>::Item(int Index) const {
  int i = 0;
  if (Index >= 0) {
    for (pugi::xml_node child = Node().child(FItemName); child;
         child = child.next_sibling(FItemName), ++i)
      if (i == Index) return TItem(Document(), child);
  }
  throw Exception(L"List index out of bounds (" + std::to_wstring(Index) + L")");
}

template <typename TItem>
TItem TXMLCollection<TItem>::Add() const {
  return TItem(Document(), Node().append_child(FItemName));
}

template <typename TItem>
void TXMLCollection<TItem>::Clear() const {
  while (pugi::xml_node child = Node().child(FItemName)) Node().remove_child(child);
}

template class TXMLCollection<IXMLCleanupItemType>;
template class TXMLCollection<IXMLExcludeDirectoryType>;

IXMLOptionsType IXMLDustmereSettingsType::Options() const {
  return IXMLOptionsType(Document(), ChildElement("Options"));
}

IXMLCleanupItemsType IXMLDustmereSettingsType::CleanupItems() const {
  return IXMLCleanupItemsType(Document(), ChildElement("CleanupItems"), "CleanupItem");
}

IXMLExcludeDirectoriesType IXMLDustmereSettingsType::ExcludeDirectories() const {
  return IXMLExcludeDirectoriesType(Document(), ChildElement("ExcludeDirectories"),
                                    "ExcludeDirectory");
}

void IXMLDustmereSettingsType::SaveToFile(const std::wstring& FileName) const {
  std::ostringstream utf8;
  Document()->Xml.save(utf8, "", SaveOptions, pugi::encoding_utf8);
  platform::WriteFileReplacing(FileName, EncodeXml(utf8.str(), SaveEncoding(*Document())));
}

// Document functions

IXMLDustmereSettingsType LoadDustmereSettings(const std::wstring& FileName) {
  auto document = ParseDocument(platform::ReadWholeFile(FileName));
  const pugi::xml_node root = document->Xml.document_element();
  if (std::string_view(root.name()) != RootName) throw Exception(L"Interface not supported");
  return IXMLDustmereSettingsType(document, root);
}

IXMLDustmereSettingsType NewDustmereSettings() {
  auto document = std::make_shared<TSettingsDocument>();
  pugi::xml_node declaration = document->Xml.append_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  const pugi::xml_node root = document->Xml.append_child(RootName);
  return IXMLDustmereSettingsType(document, root);
}

}  // namespace dustmere
