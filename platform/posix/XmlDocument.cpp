#include "platform/XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "platform/Files.h"

namespace platform {
namespace {

// No network, no external DTD or entity loading, no messages on stderr.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

xmlNodePtr AsNode(void* node) { return static_cast<xmlNodePtr>(node); }
xmlDocPtr AsDoc(void* document) { return static_cast<xmlDocPtr>(document); }

// libxml2 keeps every text in UTF-8.
void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// A lone surrogate becomes U+FFFD.
std::string ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[++i] - 0xDC00));
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

// libxml2 hands out well-formed UTF-8 only.
std::u16string ToUtf16(const xmlChar* text) {
  std::u16string out;
  if (text == nullptr) return out;
  for (const unsigned char* p = text; *p != 0;) {
    const unsigned char lead = *p++;
    const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t code = more == 0 ? lead : lead & (0x3F >> more);
    for (int k = 0; k < more && (*p & 0xC0) == 0x80; ++k) code = (code << 6) | (*p++ & 0x3F);
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
  }
  return out;
}

const xmlChar* Xml(const std::string& utf8) { return reinterpret_cast<const xmlChar*>(utf8.c_str()); }

// libxml2 frees only the nodes of the tree with a document, so each document
// of ours keeps its unattached elements in its _private slot.

using Orphans = std::vector<xmlNodePtr>;

xmlDocPtr Adopt(xmlDocPtr document) {
  if (document != nullptr) document->_private = new Orphans;
  return document;
}

void FreeDocument(xmlDocPtr document) {
  if (document == nullptr) return;
  Orphans* orphans = static_cast<Orphans*>(document->_private);
  for (xmlNodePtr node : *orphans) xmlFreeNode(node);
  delete orphans;
  xmlFreeDoc(document);
}

void Disown(xmlNodePtr node) {
  Orphans* orphans = static_cast<Orphans*>(node->doc->_private);
  orphans->erase(std::remove(orphans->begin(), orphans->end(), node), orphans->end());
}

// Node names as the DOM gives them for nodes other than elements.
struct TypeName {
  xmlElementType type;
  const char16_t* name;
};

constexpr TypeName kTypeNames[] = {
    {XML_TEXT_NODE, u"#text"},
    {XML_CDATA_SECTION_NODE, u"#cdata-section"},
    {XML_COMMENT_NODE, u"#comment"},
    {XML_DOCUMENT_NODE, u"#document"},
    {XML_DOCUMENT_FRAG_NODE, u"#document-fragment"},
};

bool CanHoldChildren(xmlNodePtr node) {
  return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE;
}

bool CanBeChild(xmlNodePtr node) {
  constexpr xmlElementType kTypes[] = {XML_ELEMENT_NODE, XML_TEXT_NODE, XML_CDATA_SECTION_NODE,
                                       XML_COMMENT_NODE, XML_PI_NODE};
  return std::find(std::begin(kTypes), std::end(kTypes), node->type) != std::end(kTypes);
}

bool IsAncestorOrSelf(xmlNodePtr candidate, xmlNodePtr node) {
  for (; node != nullptr; node = node->parent) {
    if (node == candidate) return true;
  }
  return false;
}

// Links child at the end without xmlAddChild, which merges adjacent texts and
// frees the child that a handle still names.
void LinkLast(xmlNodePtr parent, xmlNodePtr child) {
  xmlUnlinkNode(child);
  child->parent = parent;
  child->prev = parent->last;
  child->next = nullptr;
  if (parent->last != nullptr) {
    parent->last->next = child;
  } else {
    parent->children = child;
  }
  parent->last = child;
}

struct ParserContextFree {
  void operator()(xmlParserCtxtPtr context) const { xmlFreeParserCtxt(context); }
};

}  // namespace

XmlNode::XmlNode(void* node) : m_node(node) {}
XmlNode::XmlNode(const XmlNode& other) = default;
XmlNode& XmlNode::operator=(const XmlNode& other) = default;
XmlNode::~XmlNode() = default;

XmlNode XmlNode::FirstChild() const { return m_node ? XmlNode(AsNode(m_node)->children) : XmlNode(); }

XmlNode XmlNode::NextSibling() const { return m_node ? XmlNode(AsNode(m_node)->next) : XmlNode(); }

std::u16string XmlNode::Name() const {
  if (m_node == nullptr) return std::u16string();
  const xmlNodePtr node = AsNode(m_node);
  for (const TypeName& entry : kTypeNames) {
    if (entry.type == node->type) return entry.name;
  }
  std::u16string name;
  if (node->type == XML_ELEMENT_NODE && node->ns != nullptr && node->ns->prefix != nullptr) {
    name = ToUtf16(node->ns->prefix) + u":";
  }
  return name + ToUtf16(node->name);
}

std::u16string XmlNode::Text() const {
  if (m_node == nullptr) return std::u16string();
  xmlChar* content = xmlNodeGetContent(AsNode(m_node));
  std::u16string text = ToUtf16(content);
  xmlFree(content);
  return text;
}

bool XmlNode::SetText(const std::u16string& text) {
  if (m_node == nullptr || AsNode(m_node)->type != XML_ELEMENT_NODE) return false;
  const xmlNodePtr node = AsNode(m_node);
  xmlNodeSetContent(node, nullptr);  // frees the old children
  if (text.empty()) return true;
  const std::string utf8 = ToUtf8(text);
  if (utf8.size() > INT_MAX) return false;
  const xmlNodePtr textNode = xmlNewDocTextLen(node->doc, Xml(utf8), static_cast<int>(utf8.size()));
  if (textNode == nullptr) return false;
  LinkLast(node, textNode);
  return true;
}

XmlNode XmlNode::OwnerDocument() const {
  if (m_node == nullptr || AsNode(m_node)->type == XML_DOCUMENT_NODE) return XmlNode();
  return XmlNode(AsNode(m_node)->doc);
}

XmlNode XmlNode::CreateElement(const std::u16string& name) const {
  if (m_node == nullptr || AsNode(m_node)->type != XML_DOCUMENT_NODE) return XmlNode();
  const std::string utf8 = ToUtf8(name);
  if (xmlValidateName(Xml(utf8), 0) != 0) return XmlNode();
  const xmlDocPtr document = AsDoc(m_node);
  const xmlNodePtr element = xmlNewDocNode(document, nullptr, Xml(utf8), nullptr);
  if (element == nullptr) return XmlNode();
  static_cast<Orphans*>(document->_private)->push_back(element);
  return XmlNode(element);
}

bool XmlNode::AppendChild(const XmlNode& child) {
  if (m_node == nullptr || child.m_node == nullptr) return false;
  const xmlNodePtr parent = AsNode(m_node);
  const xmlNodePtr node = AsNode(child.m_node);
  if (!CanHoldChildren(parent) || !CanBeChild(node) || node->doc != parent->doc) return false;
  if (IsAncestorOrSelf(node, parent)) return false;
  // A document holds one element only.
  const bool secondRoot = parent->type == XML_DOCUMENT_NODE && node->type == XML_ELEMENT_NODE &&
                          xmlDocGetRootElement(AsDoc(parent)) != nullptr;
  if (secondRoot) return false;
  Disown(node);
  LinkLast(parent, node);
  return true;
}

XmlDocument::~XmlDocument() { FreeDocument(AsDoc(m_document)); }

bool XmlDocument::Create() {
  FreeDocument(AsDoc(m_document));
  m_document = Adopt(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
  return m_document != nullptr;
}

bool XmlDocument::LoadFile(const std::string& path) {
  if (m_document == nullptr) return false;
  std::string contents;
  xmlDocPtr parsed = nullptr;
  if (ReadWholeFile(path, contents) && contents.size() <= INT_MAX) {
    parsed = xmlReadMemory(contents.data(), static_cast<int>(contents.size()), nullptr, nullptr,
                           kParseOptions);
  }
  if (parsed == nullptr) {
    Create();
    return false;
  }
  FreeDocument(AsDoc(m_document));
  m_document = Adopt(parsed);
  return true;
}

bool XmlDocument::LoadText(const std::u16string& text) {
  if (m_document == nullptr) return false;
  const std::string utf8 = ToUtf8(text);
  std::unique_ptr<xmlParserCtxt, ParserContextFree> context(xmlNewParserCtxt());
  xmlDocPtr parsed = nullptr;
  if (context && utf8.size() <= INT_MAX) {
    // The text is UTF-16 whatever its declaration says: parse it as UTF-8,
    // then keep the declared encoding, which the parser leaves on its input.
    parsed = xmlCtxtReadMemory(context.get(), utf8.data(), static_cast<int>(utf8.size()), nullptr,
                               "UTF-8", kParseOptions);
  }
  if (parsed == nullptr) {
    Create();
    return false;
  }
  xmlFree(const_cast<xmlChar*>(parsed->encoding));
  const xmlChar* declared = context->input != nullptr ? context->input->encoding : nullptr;
  parsed->encoding = declared != nullptr ? xmlStrdup(declared) : nullptr;
  FreeDocument(AsDoc(m_document));
  m_document = Adopt(parsed);
  return true;
}

bool XmlDocument::SaveFile(const std::string& path) const {
  if (m_document == nullptr) return false;
  const xmlDocPtr document = AsDoc(m_document);
  xmlChar* bytes = nullptr;
  int size = 0;
  const char* encoding = reinterpret_cast<const char*>(document->encoding);
  xmlDocDumpFormatMemoryEnc(document, &bytes, &size, encoding, 1);
  if (bytes == nullptr || size < 0) return false;
  const std::unique_ptr<xmlChar, xmlFreeFunc> owned(bytes, xmlFree);
  const char* text = reinterpret_cast<const char*>(bytes);
  return WriteWholeFile(path, std::string(text, static_cast<size_t>(size)));
}

XmlNode XmlDocument::Node() const { return XmlNode(m_document); }

// libxml2 needs nothing per thread.
XmlThread::XmlThread() = default;
XmlThread::~XmlThread() = default;

}  // namespace platform
