#include "tools/varnek-send/SendInput.h"

#include "platform/CodePage.h"
#include "tools/varnek-send/InputFile.h"

bool CSendInput::Read(std::vector<std::string>& notes, std::string& error) {
  m_lists.clear();
  for (const CListSource& source : m_options.m_sources) {
    if (source.m_kind != CListSource::List) continue;
    std::string text;
    if (!ReadTextFile(source.m_value, Msg::ListFileWord, m_options.m_encoding, TextUse::List, text,
                      notes, error)) {
      return false;
    }
    m_lists.push_back(text);
  }
  return ReadMessage(notes, error);
}

bool CSendInput::ReadMessage(std::vector<std::string>& notes, std::string& error) {
  if (m_options.m_text.has_value()) {
    // The terminal's encoding.
    const CDecodedText text = DecodeText(*m_options.m_text, FileEncoding::Utf8, TextUse::Message);
    if (text.m_fault) {
      error = FaultOfTextOption(text);
      return false;
    }
    m_message = text.m_text;
    return true;
  }
  if (!ReadTextFile(m_options.m_textFile, Msg::MessageFileWord, m_options.m_encoding,
                    TextUse::Message, m_message, notes, error)) {
    return false;
  }
  while (!m_message.empty() && (m_message.back() == '\n' || m_message.back() == '\r')) {
    m_message.pop_back();
  }
  return true;
}

std::vector<CSourceItems> CSendInput::AppendSources(CEngine& engine) const {
  std::vector<CSourceItems> added;
  size_t list = 0;
  for (const CListSource& source : m_options.m_sources) {
    CSourceItems items;
    items.m_source = source;
    items.m_first = engine.m_items.size();
    switch (source.m_kind) {
      case CListSource::List:
        engine.LoadListText(m_lists[list++], &items.m_lines, &items.m_report);
        break;
      case CListSource::Mask:
        engine.GenerateFromMask(platform::Utf8ToCp1251(source.m_value).c_str(), &items.m_report);
        break;
      case CListSource::Number:
        engine.AddItem(CListItem{platform::Utf8ToCp1251(source.m_value), Accepted, std::string()},
                       &items.m_report);
        break;
    }
    items.m_count = engine.m_items.size() - items.m_first;
    added.push_back(items);
  }
  return added;
}
