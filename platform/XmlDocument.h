#pragma once
// A small XML DOM: MSXML on Windows, libxml2 elsewhere. Names and texts are
// UTF-16; paths are single-byte strings like those of platform/Files.h.
//
// Both backends load without the network and without reading or expanding
// external DTDs or entities, and keep white space exactly as it stands.
// On Windows the calling thread must have COM initialised (CoInitialize).
// A document and its nodes belong to one thread.
#include <string>

namespace platform {

// A handle to one node of a living XmlDocument (an element, a text, a comment,
// the document itself ...). A default or failed handle is null (false). A
// handle must not outlive its document.
class XmlNode {
 public:
  XmlNode() = default;
  XmlNode(const XmlNode& other);
  XmlNode& operator=(const XmlNode& other);
  ~XmlNode();

  explicit operator bool() const { return m_node != nullptr; }

  XmlNode FirstChild() const;   // null when there is none
  XmlNode NextSibling() const;  // null after the last child
  // The DOM's node name: an element's qualified name, "#text", "#comment",
  // "#cdata-section", "#document", a processing instruction's target.
  std::u16string Name() const;
  // The text of the node and of all its descendants, comments excepted.
  std::u16string Text() const;
  // Replaces the children of an element with one text node (handles to the old
  // children must not be used afterwards); false on failure.
  bool SetText(const std::u16string& text);
  // The document the node belongs to; null for the document itself.
  XmlNode OwnerDocument() const;
  // On the document node: a new element without a namespace, not yet in the
  // tree (one never appended is released with the document). Null on failure
  // (a name that is no XML name; Wine's MSXML takes any) or on any other node.
  XmlNode CreateElement(const std::u16string& name) const;
  // Moves child to the end of this node's children. False on failure: a child
  // of another document, a second element under the document, this node or
  // one of its ancestors as the child (MSXML refuses these; Wine's MSXML lets
  // the last two pass).
  bool AppendChild(const XmlNode& child);

 private:
  friend class XmlDocument;
  explicit XmlNode(void* node);  // takes over the reference the backend holds

  void* m_node = nullptr;
};

// Owns one document. Loading replaces the whole content; a failed load leaves
// an empty document.
class XmlDocument {
 public:
  XmlDocument() = default;
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Makes an empty document; false when the platform cannot (MSXML missing,
  // COM not initialised). Every other operation needs a created document.
  bool Create();
  // Reads and parses a file; false when it is missing, unreadable or not
  // well-formed. The encoding comes from the file's declaration.
  bool LoadFile(const std::string& path);
  // Parses a text. An encoding in its declaration is kept for SaveFile only.
  bool LoadText(const std::u16string& text);
  // Writes the document, replacing any file at path, in the encoding named by
  // its declaration (UTF-8 without one); false on failure.
  bool SaveFile(const std::string& path) const;

  // The document node: its children are the top-level nodes. Null before
  // Create.
  XmlNode Node() const;

 private:
  void* m_document = nullptr;
};

// Makes the calling thread able to use documents while the object lives: COM
// initialised on Windows (a program with a window does this in its entry;
// a console tool has nothing else that would), nothing elsewhere. Made and
// destroyed on the same thread, outliving the documents of that thread.
class XmlThread {
 public:
  XmlThread();
  ~XmlThread();
  XmlThread(const XmlThread&) = delete;
  XmlThread& operator=(const XmlThread&) = delete;

 private:
  bool m_initialised = false;
};

}  // namespace platform
