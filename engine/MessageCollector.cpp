#include "engine/MessageCollector.h"

#include "engine/DeliveryReport.h"
#include "engine/Engine.h"
#include "engine/RepliesFile.h"
#include "engine/ResultsFile.h"
#include "engine/StopWords.h"
#include "modem/Log.h"
#include "modem/PduDecode.h"
#include "modem/SmsLines.h"

namespace {

void LogCollected(const std::string& text) {
  GetLog().Write("engine", "CollectMessages", 0, text.c_str());
}

bool IsShown(const reply::Unsolicited& line, reply::SmsLineKind kind) {
  return reply::ReadSmsLine(line.line).kind == kind && !line.pdu.empty();
}

}  // namespace

void CMessageCollector::Begin(size_t first, size_t end) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_first = first;
  m_end = end;
  m_indexed = false;
  m_itemsByKey.clear();
}

CMessageCollector::Counts CMessageCollector::Tally() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_counts;
}

std::vector<CStoredEntry> CMessageCollector::Record(const std::vector<CStoredEntry>& entries) {
  std::lock_guard<std::mutex> guard(m_lock);
  std::vector<CStoredEntry> written;
  std::map<PartKey, std::vector<CStoredEntry>> parts;  // of this listing, by message
  for (const CStoredEntry& entry : entries) {
    switch (pdu::KindOfPdu(entry.pdu)) {
      case pdu::PduKind::StatusReport:
        if (RecordReport(entry.pdu)) written.push_back(entry);
        break;
      case pdu::PduKind::Deliver: {
        pdu::DeliverMessage message;
        std::string problem;
        if (!pdu::DecodeDeliver(entry.pdu, message, problem)) break;
        const pdu::Concatenation& c = message.concatenation;
        const PartKey key{message.originator.text, c.wideReference, c.reference, c.parts};
        parts[key].push_back(entry);
        pdu::JoinedMessage whole;
        // Parts listed again (still in the modem) are known already and add
        // nothing; the last one makes the message whole.
        if (m_parts.Add(message, whole) && RecordReply(whole)) {
          written.insert(written.end(), parts[key].begin(), parts[key].end());
        }
        break;
      }
      default:
        break;  // a message this program did not send or cannot read: left alone
    }
  }
  return written;
}

void CMessageCollector::RecordShown(const reply::Unsolicited& line) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (IsShown(line, reply::SmsLineKind::Report)) {
    RecordReport(line.pdu);
    return;
  }
  if (!IsShown(line, reply::SmsLineKind::Message)) return;
  pdu::DeliverMessage message;
  pdu::JoinedMessage whole;
  std::string problem;
  if (pdu::DecodeDeliver(line.pdu, message, problem) && m_parts.Add(message, whole)) {
    RecordReply(whole);
  }
}

bool CMessageCollector::RecordReport(const std::string& hex) {
  pdu::StatusReport report;
  std::string problem;
  if (!pdu::DecodeStatusReport(hex, report, problem)) return false;
  const std::string recipient = CMarkerStore::KeyOf(report.recipient.text);
  const std::string discharge = pdu::FormatTimeStamp(report.dischargeTime);
  if (MatchInRun(recipient, report.reference, report.status, discharge) ||
      RecordLateReport(recipient, report.reference, report.status, discharge)) {
    ++m_counts.reports;
    return true;
  }
  // Sent by another program, or by a run whose results file is gone: of no
  // use to anyone here, and it would fill the modem's memory.
  LogCollected("report for " + report.recipient.text + " reference " +
               std::to_string(report.reference) + " matches no number sent");
  return true;
}

bool CMessageCollector::MatchInRun(const std::string& recipient, int reference, int status,
                                   const std::string& discharge) {
  for (size_t i : ItemsOf(recipient)) {
    {
      std::lock_guard<std::mutex> guard(m_engine.m_itemLock);
      // The list may have been changed since the run (by a caller that did
      // not stop listening first): nothing past its end is touched.
      if (i >= m_engine.m_items.size()) continue;
      CListItem& item = m_engine.m_items[i];
      if (item.m_record == nullptr) continue;
      CSendRecord record = *item.m_record;
      if (!record.TakeReport(reference, status, discharge)) continue;
      item.m_record = std::make_shared<const CSendRecord>(record);
    }
    delivery::ItemChanged(i);
    return true;
  }
  return false;
}

const std::vector<size_t>& CMessageCollector::ItemsOf(const std::string& key) {
  if (!m_indexed) {
    for (size_t i = m_first; i < m_end && i < m_engine.m_items.size(); ++i) {
      m_itemsByKey[CMarkerStore::KeyOf(m_engine.m_items[i].m_number)].push_back(i);
    }
    m_indexed = true;
  }
  static const std::vector<size_t> kNone;
  const auto found = m_itemsByKey.find(key);
  return found == m_itemsByKey.end() ? kNone : found->second;
}

bool CMessageCollector::RecordReply(const pdu::JoinedMessage& message) {
  const CReply reply{pdu::FormatTimeStamp(message.sent), message.sender, message.text1251};
  std::string reason;
  if (!CRepliesFile::Append(reply, reason)) {
    LogCollected("reply of " + message.sender + " kept in the modem: " + reason);
    return false;
  }
  ++m_counts.replies;
  if (!IsStopReply(message.text1251, m_engine.m_stopWords)) return true;
  if (m_engine.Markers().AddStop(message.sender, reason)) {
    ++m_counts.stops;
    LogCollected(message.sender + " asked to stop: on the stop list");
  } else {
    LogCollected(message.sender + " asked to stop, but the stop list cannot be written: " + reason);
  }
  return true;
}
