#include "Common/XMLDOMHelper.h"

#include <pugixml.hpp>

#include "Common/ComError.h"
#include "Common/GenStrToNumber.h"
#include "Platform/TextCase.h"

struct CXMLDOMHelper::Document {
  pugi::xml_document xml;
};

CXMLDOMHelper::CXMLDOMHelper() : m_pDocument(std::make_unique<Document>()) {}

CXMLDOMHelper::~CXMLDOMHelper() = default;

bool CXMLDOMHelper::LoadByString(const std::string& text) {
  return static_cast<bool>(m_pDocument->xml.load_buffer(text.data(), text.size()));
}

CXMLElement CXMLDOMHelper::SelectSingleElement(const std::string& name) const {
  const pugi::xml_node found = m_pDocument->xml.find_node(
      [&name](const pugi::xml_node& node) { return node.type() == pugi::node_element && name == node.name(); });
  return CXMLElement(found.internal_object());
}

std::optional<std::string> CXMLElement::GetAttribute(const char* name) const {
  if (m_pNode == nullptr) throw CComError(CComError::kInvalidPointer);
  const pugi::xml_node node(static_cast<pugi::xml_node_struct*>(m_pNode));
  const pugi::xml_attribute attribute = node.attribute(name);
  if (!attribute) return std::nullopt;
  return std::string(attribute.value());
}

std::string ReadTextAttribute(const CXMLElement& element, const char* name, const std::string& defaultValue) {
  return element.GetAttribute(name).value_or(defaultValue);
}

std::uint32_t ReadUInt32Attribute(const CXMLElement& element, const char* name, std::uint32_t defaultValue) {
  const std::optional<std::string> text = element.GetAttribute(name);
  return text ? static_cast<std::uint32_t>(GenStrToNumber(*text)) : defaultValue;
}

std::int16_t ReadInt16Attribute(const CXMLElement& element, const char* name, std::int16_t defaultValue) {
  return static_cast<std::int16_t>(ReadUInt32Attribute(element, name, static_cast<std::uint16_t>(defaultValue)));
}

std::uint16_t ReadUInt16Attribute(const CXMLElement& element, const char* name, std::uint16_t defaultValue) {
  return static_cast<std::uint16_t>(ReadUInt32Attribute(element, name, defaultValue));
}

bool ReadBoolAttribute(const CXMLElement& element, const char* name, bool defaultValue) {
  const std::optional<std::string> text = element.GetAttribute(name);
  if (!text) return defaultValue;
  const std::string word = fennec::ToLower(*text);
  if (word == "true") return true;
  if (word == "false") return false;
  return defaultValue;
}
