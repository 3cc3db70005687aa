// After the messages went out: the results file of a delivery, and the
// reports and replies read from the modems.
#include <cstdio>
#include <thread>
#include <vector>

#include "engine/DeliveryReport.h"
#include "engine/Engine.h"
#include "engine/ResultsFile.h"
#include "modem/Log.h"
#include "platform/CodePage.h"

namespace {

// A listening modem looks at the stop request this often.
constexpr uint32_t kListenSliceMs = 1000;
// Why a modem's reports and replies stay where they are.
constexpr char kNotReadText[] = "Отчеты и ответы COM%d не прочитаны: %s";
constexpr char kTextModeCause[] = "модем работает только в текстовом режиме";

CResultRow RowOf(const CListItem& item) {
  CResultRow row;
  row.number = item.m_number;
  row.comment = item.m_text;
  row.outcome = ItemStateText(item);
  if (item.m_modem != 0) row.modem = "COM" + std::to_string(item.m_modem);
  row.cause = item.m_cause;
  if (item.m_record != nullptr) {
    row.record = *item.m_record;
    if (!row.record.cause.empty()) row.cause = row.record.cause;
  }
  return row;
}

void DeleteWritten(CModem& modem, const std::vector<CStoredEntry>& written) {
  for (const CStoredEntry& entry : written) modem.DeleteStored(entry);
}

}  // namespace

void CEngine::BeginResults(size_t first) {
  std::lock_guard<std::mutex> guard(m_resultsLock);
  m_results.first = first;
  m_results.path = CResultsFile::ForRun(platform::Now()).Path();
  m_collector.Begin(first, m_items.size());
}

std::string CEngine::ResultsPath() const {
  std::lock_guard<std::mutex> guard(m_resultsLock);
  return m_results.path;
}

void CEngine::WriteResults() {
  std::lock_guard<std::mutex> guard(m_resultsLock);
  if (m_results.path.empty()) return;
  std::vector<CResultRow> rows;
  for (size_t i = m_results.first; i < m_items.size(); ++i) rows.push_back(RowOf(ItemSnapshot(i)));
  std::string reason;
  if (!CResultsFile(m_results.path).Write(rows, reason)) {
    GetLog().Write("engine", "WriteResults", 0, platform::Utf8ToCp1251(reason).c_str());
  }
}

void CEngine::StopListening() { m_stopListening = true; }

void CEngine::CollectReports(uint32_t listenMs) {
  m_stopListening = false;
  const std::vector<int32_t> ports =
      m_poolPorts.empty() ? std::vector<int32_t>{m_port} : m_poolPorts;
  std::vector<std::thread> others;
  for (size_t k = 1; k < ports.size(); ++k) {
    try {
      others.emplace_back([this, port = ports[k], listenMs] { CollectOn(port, listenMs); });
    } catch (...) {
      break;  // no more threads: the modems that have one are read
    }
  }
  CollectOn(ports[0], listenMs);
  for (std::thread& other : others) other.join();
  WriteResults();
}

void CEngine::CollectOn(int32_t port, uint32_t listenMs) {
  CModem modem;
  modem.SetBaudRate(m_baudRate);
  modem.SetUnsolicitedListener(
      [this](const reply::Unsolicited& line) { m_collector.RecordShown(line); });
  int ready = 0;
  modem.CaptureModemDevice(ready, port);
  const bool pdu = ready != 0 && modem.Mode() == CModem::MessageMode::Pdu;
  if (!pdu) {
    const std::string cause = ready == 0 ? platform::Utf8ToCp1251(modem.FailureReason()) : kTextModeCause;
    char line[512];
    std::snprintf(line, sizeof line, kNotReadText, static_cast<int>(port), cause.c_str());
    delivery::Status(line);
  }
  // A stop is looked at between the modem's commands too: each may take
  // seconds when the modem falls silent.
  if (pdu && !m_stopListening) {
    modem.RouteReports();
    if (!m_stopListening) DeleteWritten(modem, m_collector.Record(modem.ListStored()));
    const uint32_t start = platform::TickMs();
    while (!m_stopListening && platform::TickMs() - start < listenMs && !modem.IsDeviceLost()) {
      if (modem.Listen(kListenSliceMs)) DeleteWritten(modem, m_collector.Record(modem.ListStored()));
    }
  }
  modem.ReleaseModemDevice();
}
