#include "platform/XmlDocument.h"

#include <windows.h>
#include <msxml.h>

#include <string>

#include "platform/win32/WidePath.h"

namespace platform {
namespace {

// The version-independent MSXML DOM document and its IXMLDOMDocument.
const CLSID kDomDocumentClass = {
    0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
const IID kDomDocumentInterface = {
    0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// Owns one reference to a COM object.
template <class T>
class CComRef {
 public:
  CComRef() = default;
  ~CComRef() {
    if (m_object != nullptr) m_object->Release();
  }
  CComRef(const CComRef&) = delete;
  CComRef& operator=(const CComRef&) = delete;

  T** Out() { return &m_object; }  // for a getter, on an empty reference only
  T* Get() const { return m_object; }
  T* Detach() {
    T* object = m_object;
    m_object = nullptr;
    return object;
  }

 private:
  T* m_object = nullptr;
};

// Owns one BSTR.
class CBstr {
 public:
  CBstr() = default;
  explicit CBstr(const std::u16string& text)
      : m_value(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()))) {}
  ~CBstr() { SysFreeString(m_value); }
  CBstr(const CBstr&) = delete;
  CBstr& operator=(const CBstr&) = delete;

  BSTR* Out() { return &m_value; }
  BSTR Get() const { return m_value; }
  std::u16string Text() const {
    return std::u16string(reinterpret_cast<const char16_t*>(m_value), SysStringLen(m_value));
  }

 private:
  BSTR m_value = nullptr;
};

// Paths are 1251 like those of the file functions, whatever the system's
// code page.
std::u16string PathText(const std::string& path) {
  const std::wstring wide = WidePath(path);
  return std::u16string(wide.begin(), wide.end());
}

// A VARIANT holding a string, as load and save take it.
class CTextVariant {
 public:
  explicit CTextVariant(const std::u16string& text) : m_text(text) {
    VariantInit(&m_variant);
    m_variant.vt = VT_BSTR;
    m_variant.bstrVal = m_text.Get();
  }
  const VARIANT& Get() const { return m_variant; }

 private:
  CBstr m_text;  // owns what the variant points to
  VARIANT m_variant;
};

IXMLDOMNode* AsNode(void* node) { return static_cast<IXMLDOMNode*>(node); }
IXMLDOMDocument* AsDocument(void* document) { return static_cast<IXMLDOMDocument*>(document); }

bool IsNodeType(IXMLDOMNode* node, DOMNodeType wanted) {
  DOMNodeType type;
  return SUCCEEDED(node->get_nodeType(&type)) && type == wanted;
}

}  // namespace

XmlNode::XmlNode(void* node) : m_node(node) {}

XmlNode::XmlNode(const XmlNode& other) : m_node(other.m_node) {
  if (m_node != nullptr) AsNode(m_node)->AddRef();
}

XmlNode& XmlNode::operator=(const XmlNode& other) {
  if (other.m_node != nullptr) AsNode(other.m_node)->AddRef();
  if (m_node != nullptr) AsNode(m_node)->Release();
  m_node = other.m_node;
  return *this;
}

XmlNode::~XmlNode() {
  if (m_node != nullptr) AsNode(m_node)->Release();
}

XmlNode XmlNode::FirstChild() const {
  CComRef<IXMLDOMNode> child;
  if (m_node != nullptr) AsNode(m_node)->get_firstChild(child.Out());
  return XmlNode(child.Detach());
}

XmlNode XmlNode::NextSibling() const {
  CComRef<IXMLDOMNode> sibling;
  if (m_node != nullptr) AsNode(m_node)->get_nextSibling(sibling.Out());
  return XmlNode(sibling.Detach());
}

std::u16string XmlNode::Name() const {
  CBstr name;
  if (m_node != nullptr) AsNode(m_node)->get_nodeName(name.Out());
  return name.Text();
}

std::u16string XmlNode::Text() const {
  CBstr text;
  if (m_node != nullptr) AsNode(m_node)->get_text(text.Out());
  return text.Text();
}

bool XmlNode::SetText(const std::u16string& text) {
  if (m_node == nullptr || !IsNodeType(AsNode(m_node), NODE_ELEMENT)) return false;
  const CBstr value(text);
  return SUCCEEDED(AsNode(m_node)->put_text(value.Get()));
}

XmlNode XmlNode::OwnerDocument() const {
  CComRef<IXMLDOMDocument> document;
  if (m_node != nullptr) AsNode(m_node)->get_ownerDocument(document.Out());
  return XmlNode(static_cast<IXMLDOMNode*>(document.Detach()));
}

XmlNode XmlNode::CreateElement(const std::u16string& name) const {
  CComRef<IXMLDOMDocument> document;
  if (m_node == nullptr || !IsNodeType(AsNode(m_node), NODE_DOCUMENT) ||
      FAILED(AsNode(m_node)->QueryInterface(kDomDocumentInterface,
                                            reinterpret_cast<void**>(document.Out())))) {
    return XmlNode();
  }
  // The type as its number: MSXML also takes the text "element", Wine's
  // MSXML only the number.
  VARIANT type;
  VariantInit(&type);
  type.vt = VT_I4;
  type.lVal = NODE_ELEMENT;
  const CBstr elementName(name);
  const CBstr noNamespace;
  CComRef<IXMLDOMNode> element;
  if (FAILED(document.Get()->createNode(type, elementName.Get(), noNamespace.Get(),
                                        element.Out()))) {
    return XmlNode();
  }
  return XmlNode(element.Detach());
}

bool XmlNode::AppendChild(const XmlNode& child) {
  if (m_node == nullptr || child.m_node == nullptr) return false;
  CComRef<IXMLDOMNode> appended;
  return SUCCEEDED(AsNode(m_node)->appendChild(AsNode(child.m_node), appended.Out())) &&
         appended.Get() != nullptr;
}

XmlDocument::~XmlDocument() {
  if (m_document != nullptr) AsDocument(m_document)->Release();
}

bool XmlDocument::Create() {
  CComRef<IXMLDOMDocument> document;
  if (FAILED(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER,
                              kDomDocumentInterface, reinterpret_cast<void**>(document.Out())))) {
    return false;
  }
  // Synchronous loading; no DTD is fetched or validated against, and white
  // space stays as it is, as in the libxml2 backend.
  IXMLDOMDocument* created = document.Get();
  if (FAILED(created->put_async(VARIANT_FALSE)) ||
      FAILED(created->put_resolveExternals(VARIANT_FALSE)) ||
      FAILED(created->put_validateOnParse(VARIANT_FALSE)) ||
      FAILED(created->put_preserveWhiteSpace(VARIANT_TRUE))) {
    return false;
  }
  if (m_document != nullptr) AsDocument(m_document)->Release();
  m_document = document.Detach();
  return true;
}

bool XmlDocument::LoadFile(const std::string& path) {
  if (m_document == nullptr) return false;
  const CTextVariant source(PathText(path));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  return SUCCEEDED(AsDocument(m_document)->load(source.Get(), &loaded)) &&
         loaded == VARIANT_TRUE;
}

bool XmlDocument::LoadText(const std::u16string& text) {
  if (m_document == nullptr) return false;
  const CBstr source(text);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  return SUCCEEDED(AsDocument(m_document)->loadXML(source.Get(), &loaded)) &&
         loaded == VARIANT_TRUE;
}

bool XmlDocument::SaveFile(const std::string& path) const {
  if (m_document == nullptr) return false;
  const CTextVariant destination(PathText(path));
  return SUCCEEDED(AsDocument(m_document)->save(destination.Get()));
}

XmlNode XmlDocument::Node() const {
  if (m_document == nullptr) return XmlNode();
  AsDocument(m_document)->AddRef();
  return XmlNode(static_cast<IXMLDOMNode*>(AsDocument(m_document)));
}

// S_FALSE (COM was initialised on this thread already) needs its own
// uninitialise as well; a failure does not.
XmlThread::XmlThread() : m_initialised(SUCCEEDED(CoInitialize(nullptr))) {}

XmlThread::~XmlThread() {
  if (m_initialised) CoUninitialize();
}

}  // namespace platform
