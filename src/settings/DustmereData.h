#pragma once
// The settings document: one XML file per user with the file-protection rule, the scan mode, the
// directory counts of the last readings, the checked state of every cleanup action and the
// excluded directories. Typed accessors work on the live document; only SaveToFile writes it.
//
// Reading an element or attribute that does not exist creates it, empty, at the end of its parent,
// so a later save writes everything that was read once. Elements and attributes the program does
// not know stay in the document and are written back unchanged.

#include <memory>
#include <string>

#include <pugixml.hpp>


namespace dustmere {

class TSettingsDocument;

// Shared by every accessor of one document.
class TXMLNodeAccessor {
public:
  TXMLNodeAccessor(std::shared_ptr<TSettingsDocument> Document, pugi::xml_node Node)
      : FDocument(std::move(Document)), FNode(Node) {}

protected:
  std::wstring GetAttribute(const char* Name) const;
  void SetAttribute(const char* Name, const std::wstring& Value) const;
  pugi::xml_node ChildElement(const char* Name) const;
  const std::shared_ptr<TSettingsDocument>& Document() const noexcept { return FDocument; }
  pugi::xml_node Node() const noexcept { return FNode; }

private:
  std::shared_ptr<TSettingsDocument> FDocument;
  pugi::xml_node FNode;
};

class IXMLOptionsType : public TXMLNodeAccessor {
public:
  using TXMLNodeAccessor::TXMLNodeAccessor;
  std::wstring FileProtection() const { return GetAttribute("FileProtection"); }
  std::wstring ScanDrives() const { return GetAttribute("ScanDrives"); }
  std::wstring ReadDirCountLocal() const { return GetAttribute("ReadDirCountLocal"); }
  std::wstring ReadDirCountAll() const { return GetAttribute("ReadDirCountAll"); }
  void SetFileProtection(const std::wstring& V) const { SetAttribute("FileProtection", V); }
  void SetScanDrives(const std::wstring& V) const { SetAttribute("ScanDrives", V); }
  void SetReadDirCountLocal(const std::wstring& V) const { SetAttribute("ReadDirCountLocal", V); }
  void SetReadDirCountAll(const std::wstring& V) const { SetAttribute("ReadDirCountAll", V); }
};

class IXMLCleanupItemType : public TXMLNodeAccessor {
public:
  using TXMLNodeAccessor::TXMLNodeAccessor;
  std::wstring Name() const { return GetAttribute("Name"); }
  void SetName(const std::wstring& V) const { SetAttribute("Name", V); }
  std::wstring Enabled() const { return GetAttribute("Enabled"); }
  void SetEnabled(const std::wstring& V) const { SetAttribute("Enabled", V); }
};

class IXMLExcludeDirectoryType : public TXMLNodeAccessor {
public:
  using TXMLNodeAccessor::TXMLNodeAccessor;
  std::wstring Name() const { return GetAttribute("Name"); }
  void SetName(const std::wstring& V) const { SetAttribute("Name", V); }
};

// A collection: the child elements of one name, in document order; other children do not count.
template <typename TItem>
class TXMLCollection : public TXMLNodeAccessor {
public:
  TXMLCollection(std::shared_ptr<TSettingsDocument> Document, pugi::xml_node Node,
                 const char* ItemName)
      : TXMLNodeAccessor(std::move(Document), Node), FItemName(ItemName) {}
  int Count() const;
  // Raises "List index out of bounds (<i>)" for an index outside 0 .. Count - 1.
  TItem Item(int Index) const;
  TItem Add() const;
  void Clear() const;

private:
  const char* FItemName;
};

using IXMLCleanupItemsType = TXMLCollection<IXMLCleanupItemType>;
using IXMLExcludeDirectoriesType = TXMLCollection<IXMLExcludeDirectoryType>;

class IXMLDustmereSettingsType : public TXMLNodeAccessor {
public:
  using TXMLNodeAccessor::TXMLNodeAccessor;
  IXMLOptionsType Options() const;
  IXMLCleanupItemsType CleanupItems() const;
  IXMLExcludeDirectoriesType ExcludeDirectories() const;

  // Writes the whole document, replacing the file atomically, in the encoding its declaration
  // names (UTF-8 when it names none). Raises when the file cannot be written.
  void SaveToFile(const std::wstring& FileName) const;
};

// Reads and parses a settings file. Raises the parser's reason with the line and the start of the
// offending source line when the file is not well-formed, "Interface not supported" when its
// root element is not DustmereSettings, and the system's message when it cannot be read.
IXMLDustmereSettingsType LoadDustmereSettings(const std::wstring& FileName);

// A new document in memory: the declaration with version "1.0" and an empty root.
IXMLDustmereSettingsType NewDustmereSettings();

}  // namespace dustmere
