#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Export.h"

// One element of a document held by a CXMLDOMHelper; a null element stands for "not found".
// It does not own anything and is valid as long as its document.
class FENNEC_API CXMLElement {
 public:
  CXMLElement() = default;

  bool IsNull() const { return m_pNode == nullptr; }

  // The attribute's text; nothing when the attribute is absent. Throws CComError
  // (invalid pointer) on a null element.
  std::optional<std::string> GetAttribute(const char* name) const;

 private:
  friend class CXMLDOMHelper;
  explicit CXMLElement(void* node) : m_pNode(node) {}
  void* m_pNode = nullptr;
};

// A settings document parsed from text. The parser needs no per-thread initialisation on
// this platform, so callers have nothing to set up before parsing.
class FENNEC_API CXMLDOMHelper {
 public:
  CXMLDOMHelper();
  virtual ~CXMLDOMHelper();
  CXMLDOMHelper(const CXMLDOMHelper&) = delete;
  CXMLDOMHelper& operator=(const CXMLDOMHelper&) = delete;

  // True exactly when the text is a well-formed document.
  bool LoadByString(const std::string& text);

  // The first element of that name anywhere in the document ("//" + name).
  CXMLElement SelectSingleElement(const std::string& name) const;

 private:
  struct Document;
  std::unique_ptr<Document> m_pDocument;
};

// Attribute readers shared by all settings parsers. Each returns the default (the field's
// current value) when the attribute is absent, and throws CComError (invalid pointer) when
// the element is null.
FENNEC_API std::string ReadTextAttribute(const CXMLElement& element, const char* name,
                                         const std::string& defaultValue);
// Parsed with GenStrToNumber, whose std::string failure passes through.
FENNEC_API std::uint32_t ReadUInt32Attribute(const CXMLElement& element, const char* name,
                                             std::uint32_t defaultValue);
FENNEC_API std::int16_t ReadInt16Attribute(const CXMLElement& element, const char* name,
                                           std::int16_t defaultValue);
FENNEC_API std::uint16_t ReadUInt16Attribute(const CXMLElement& element, const char* name,
                                             std::uint16_t defaultValue);
// "true" and "false" in any case; any other text gives the default.
FENNEC_API bool ReadBoolAttribute(const CXMLElement& element, const char* name, bool defaultValue);
