#include "platform/XmlDocument.h"

#include <windows.h>
#include <msxml.h>

#include <cstdint>
#include <string>

#include "platform/CodePage.h"
#include "platform/Files.h"
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

// The bytes of a file as load takes them: a VARIANT holding a SAFEARRAY
// of bytes. MSXML reads the encoding from the bytes, as from a file.
class CByteVariant {
 public:
  explicit CByteVariant(const std::string& bytes) {
    VariantInit(&m_variant);
    if (bytes.size() > UINT32_MAX) return;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    if (array == nullptr || FAILED(SafeArrayAccessData(array, &data))) {
      if (array != nullptr) SafeArrayDestroy(array);
      return;
    }
    if (!bytes.empty()) CopyMemory(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
    m_variant.vt = VT_ARRAY | VT_UI1;
    m_variant.parray = array;
  }
  ~CByteVariant() { VariantClear(&m_variant); }
  CByteVariant(const CByteVariant&) = delete;
  CByteVariant& operator=(const CByteVariant&) = delete;

  bool Made() const { return m_variant.vt != VT_EMPTY; }
  const VARIANT& Get() const { return m_variant; }

 private:
  VARIANT m_variant;
};

bool IsAsciiBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

// The value of "encoding" in the attributes of an XML declaration
// (version="1.0" encoding="Windows-1251"), lower-case; "" without one.
std::u16string DeclaredEncoding(const std::u16string& attributes) {
  size_t at = attributes.find(u"encoding");
  if (at == std::u16string::npos) return std::u16string();
  at += 8;
  while (at < attributes.size() && (IsAsciiBlank(attributes[at]) || attributes[at] == u'=')) ++at;
  if (at >= attributes.size()) return std::u16string();
  const size_t end = attributes.find(attributes[at], at + 1);
  if (end == std::u16string::npos) return std::u16string();
  std::u16string name = attributes.substr(at + 1, end - at - 1);
  for (char16_t& c : name) c = AsciiLower(c);
  return name;
}

// 1251 bytes; a character that 1251 lacks becomes a character reference,
// which stands for it in texts and attribute values.
std::string Cp1251WithReferences(const std::u16string& text) {
  const std::string plain = Utf16ToCp1251(text);  // one byte per UTF-16 unit
  std::string bytes;
  bytes.reserve(plain.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (plain[i] != '?' || text[i] == u'?') {
      bytes += plain[i];
      continue;
    }
    uint32_t code = text[i];
    const bool pair = code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
    if (pair) code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    bytes += "&#" + std::to_string(code) + ";";
  }
  return bytes;
}

// The document's text in the encoding its declaration names, for the two
// encodings this program writes: UTF-8 (also without a declaration) and
// 1251. Wine's MSXML would write UTF-8 under any declaration. False for
// any other encoding.
bool EncodeDocument(const std::u16string& attributes, const std::u16string& body,
                    std::string& bytes) {
  const std::u16string encoding = DeclaredEncoding(attributes);
  const std::u16string text =
      attributes.empty() ? body : u"<?xml " + attributes + u"?>\r\n" + body;
  if (encoding == u"windows-1251") {
    bytes = Cp1251WithReferences(text);
    return true;
  }
  if (!encoding.empty() && encoding != u"utf-8") return false;
  bytes = Utf8FromWide(reinterpret_cast<const wchar_t*>(text.c_str()));
  return true;
}

// What MSXML itself writes for the document (an encoding this program does
// not write itself).
bool SaveByMsxml(IXMLDOMDocument* document, std::string& bytes) {
  CComRef<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()))) return false;
  VARIANT destination;
  VariantInit(&destination);
  destination.vt = VT_UNKNOWN;
  destination.punkVal = stream.Get();
  STATSTG status;
  if (FAILED(document->save(destination)) || FAILED(stream.Get()->Stat(&status, STATFLAG_NONAME)) ||
      status.cbSize.QuadPart > UINT32_MAX) {
    return false;
  }
  bytes.resize(static_cast<size_t>(status.cbSize.QuadPart));
  const LARGE_INTEGER start = {};
  ULONG got = 0;
  return SUCCEEDED(stream.Get()->Seek(start, STREAM_SEEK_SET, nullptr)) &&
         (bytes.empty() ||
          SUCCEEDED(stream.Get()->Read(&bytes[0], static_cast<ULONG>(bytes.size()), &got))) &&
         got == bytes.size();
}

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

// The bytes are read here, at any path length; MSXML's own load takes
// paths as URLs and fails on long ones.
bool XmlDocument::LoadFile(const std::string& path) {
  if (m_document == nullptr) return false;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    Create();
    return false;
  }
  const CByteVariant source(bytes);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  return source.Made() && SUCCEEDED(AsDocument(m_document)->load(source.Get(), &loaded)) &&
         loaded == VARIANT_TRUE;
}

bool XmlDocument::LoadText(const std::u16string& text) {
  if (m_document == nullptr) return false;
  const CBstr source(text);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  return SUCCEEDED(AsDocument(m_document)->loadXML(source.Get(), &loaded)) &&
         loaded == VARIANT_TRUE;
}

// The text is made and written here: at any path length, and in the
// declared encoding.
bool XmlDocument::SaveFile(const std::string& path) const {
  if (m_document == nullptr) return false;
  std::u16string attributes;  // of the XML declaration
  std::u16string body;        // every other top-level node, one per line
  for (XmlNode child = Node().FirstChild(); child; child = child.NextSibling()) {
    IXMLDOMNode* node = AsNode(child.m_node);
    if (IsNodeType(node, NODE_PROCESSING_INSTRUCTION) && child.Name() == u"xml") {
      attributes = child.Text();
      continue;
    }
    CBstr markup;
    if (FAILED(node->get_xml(markup.Out()))) return false;
    body += markup.Text() + u"\r\n";
  }
  std::string bytes;
  if (!EncodeDocument(attributes, body, bytes) &&
      !SaveByMsxml(AsDocument(m_document), bytes)) {
    return false;
  }
  return WriteWholeFile(path, bytes);
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
