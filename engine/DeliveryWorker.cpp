#include "engine/DeliveryWorker.h"

#include <cstdio>

#include "engine/DeliveryReport.h"
#include "engine/NumberForm.h"
#include "modem/Log.h"
#include "modem/Modem.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/Random.h"

namespace {

using delivery::ItemChanged;

constexpr char kPortErrorText[] = "Ошибка порта, повторный запуск через %d сек...";
constexpr char kPauseText[] = "Таймаут %i сек ...";
// With one modem these name it ("Ошибка порта COM3: ..."); in a pool every
// line begins with the modem's COM number already.
constexpr char kPortFailureText[] = "Ошибка порта%s: %s";
constexpr char kModemRefusalText[] = "Модем%s отказал: %s";
constexpr char kNoReportsText[] = "Модем%s не передаёт отчёты о доставке: сообщения уходят без них%s";
// A number that another process has in hand is looked at again after this
// long: well below the time of one message on a real modem, and seldom
// enough that a share serving several PCs hardly notices.
constexpr uint32_t kLookAgainMs = 500;

// The items' causes (1251) where the claims decide.
constexpr char kUnconfirmedCause[] = "Отправка прервана, сообщение могло уйти: ";
constexpr char kNoClaimCause[] = "Папка маркеров недоступна: ";
constexpr char kNoMarkerCause[] = "Маркер не записан";

// What the claims decide is named in the "engine" log.
void LogClaim(const std::string& text) {
  GetLog().Write("engine", "DeliveryWorker", 0, text.c_str());
}

// The references of a message that went out, and when.
std::shared_ptr<const CSendRecord> RecordOf(const CSendResult& result) {
  const platform::LocalTime now = platform::Now();
  char sentAt[32];
  std::snprintf(sentAt, sizeof sentAt, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month,
                now.day, now.hour, now.minute, now.second);
  return std::make_shared<const CSendRecord>(CSendRecord::Confirmed(result.references, sentAt));
}

std::string Formatted(const char* format, const std::string& port, const std::string& text) {
  char line[512];
  std::snprintf(line, sizeof line, format, port.c_str(), text.c_str());
  return line;
}

}  // namespace

void CDeliveryWorker::Run() {
  try {
    CNumberTicket ticket;
    while (m_queue.Take(ticket)) HandleItem(ticket);
  } catch (...) {
    // The delivery ends in order: every other modem stops after the
    // number in hand, the engine is left idle, the window editable.
    m_engine.StopTaking();
  }
}

void CDeliveryWorker::HandleItem(CNumberTicket& ticket) {
  const size_t i = ticket.Index();
  if (m_engine.m_items[i].m_state == Sent) {
    ticket.Finish();
    return;
  }
  // Whoever asked to stop is never written to, whatever the duplicate check.
  if (m_engine.Markers().IsStopped(m_engine.m_items[i].m_number)) {
    SetState(i, StopListed);
    ticket.Finish();
    return;
  }
  CNumberClaim claim;  // none with the check off: nothing to guard
  if (m_engine.m_checkDuplicates != 0 && !ClaimNumber(ticket, claim)) return;
  SetState(i, Sending);
  CSendResult result;
  std::string failure;
  const CAttemptDecision decision = SendItem(i, result, failure)
                                        ? m_health.After(result, CountTries(i, result))
                                        : m_health.AfterPortFailure();
  if (failure.empty()) failure = platform::Utf8ToCp1251(result.cause);
  Settle(i, decision, result, failure, claim);
  if (decision.numberBack) {
    // Another modem may take it meanwhile; with none, this one tries it
    // again after its rest.
    ticket.GiveBack();
  } else {
    ticket.Finish();
  }
  if (decision.restSeconds > 0) {
    const bool refused = result.outcome == SendOutcome::Refused;
    const std::string port = m_engine.m_poolPorts.empty() ? " COM" + std::to_string(m_port) : "";
    Rest(decision.restSeconds, Formatted(refused ? kModemRefusalText : kPortFailureText, port, failure));
  } else if (decision.pause) {
    Pause();
  }
}

// Puts the number in this process's hand. false when it does not go to the
// modem now: its state says why, or it comes back later.
bool CDeliveryWorker::ClaimNumber(CNumberTicket& ticket, CNumberClaim& claim) {
  const size_t i = ticket.Index();
  const std::string& number = m_engine.m_items[i].m_number;
  const CMarkerStore markers = m_engine.Markers();
  std::string detail;
  const ClaimOutcome outcome = markers.Claim(number, m_engine.m_resendUnconfirmed, claim, detail);
  const std::string why = platform::Utf8ToCp1251(detail);
  switch (outcome) {
    case ClaimOutcome::Claimed:
      if (!why.empty()) {
        LogClaim(number + " sent again: " + markers.ClaimPath(number) + " of \"" + why +
                 "\" taken over");
      }
      return true;
    case ClaimOutcome::HeldElsewhere:
      ticket.Defer(kLookAgainMs);
      return false;
    case ClaimOutcome::Marked:
      SetState(i, Duplicate);
      break;
    case ClaimOutcome::Unconfirmed:
      LogClaim(number + " unconfirmed: " + markers.ClaimPath(number) + " was left by \"" + why +
               "\" and no process holds it: not sent");
      SetState(i, Unconfirmed, kUnconfirmedCause + why);
      break;
    case ClaimOutcome::Failed:
      LogClaim(number + " not sent: no claim in " + markers.Folder() + ": " + why);
      SetState(i, SendError, kNoClaimCause + why);
      break;
  }
  ticket.Finish();
  return false;
}

bool CDeliveryWorker::SendItem(size_t i, CSendResult& result, std::string& failure) {
  // "8 912 ..." and ten digits go out in the international form.
  const std::string sent = NumberForm(m_engine.m_items[i].m_number.c_str()).m_number;
  std::u16string number = platform::Cp1251ToUtf16(sent);
  std::u16string message = platform::Cp1251ToUtf16(m_engine.m_message);
  CModem modem;
  modem.SetBaudRate(m_engine.m_baudRate);
  modem.SetPiecePause(m_engine.m_piecePause);
  modem.SetConfirmLimit(m_engine.m_confirmLimitMs);
  modem.SetSubmitOptions({false, m_engine.m_smsc});
  if (m_engine.m_requestReports != 0) {
    // From the capture's first read on: a report shown on the line before
    // the modem answers "at" is not lost.
    CMessageCollector& collector = m_engine.m_collector;
    modem.SetUnsolicitedListener([&collector](const reply::Unsolicited& line) { collector.RecordShown(line); });
  }
  int ready = 0;
  modem.CaptureModemDevice(ready, m_port);
  if (ready != 0 && m_engine.m_requestReports != 0) PrepareReports(modem);
  int reference = 0;
  if (ready != 0) modem.SendSMSWide(number.c_str(), message.c_str(), reference, &result);
  if (ready == 0) failure = platform::Utf8ToCp1251(modem.FailureReason());
  modem.ReleaseModemDevice();
  return ready != 0;
}

// Reports come back to this modem: it is asked to hand them over, and what
// it holds already (reports of earlier messages, replies) is written down
// and deleted from it. A modem that routes no reports sends without asking
// for them, and says so once.
void CDeliveryWorker::PrepareReports(CModem& modem) {
  CMessageCollector& collector = m_engine.m_collector;
  const bool routed = modem.Mode() == CModem::MessageMode::Pdu &&
                      modem.RouteReports() != CModem::ReportRouting::Refused;
  if (!routed && !m_toldNoReports) {
    m_toldNoReports = true;
    Report(Formatted(kNoReportsText, m_engine.m_poolPorts.empty() ? " COM" + std::to_string(m_port) : "", ""));
  }
  modem.SetSubmitOptions({routed, m_engine.m_smsc});
  if (!routed) return;
  for (const CStoredEntry& entry : collector.Record(modem.ListStored())) modem.DeleteStored(entry);
}

int CDeliveryWorker::CountTries(size_t i, const CSendResult& result) {
  const bool passing = result.outcome == SendOutcome::Refused &&
                       result.refusal == reply::RefusalKind::Transient;
  std::lock_guard<std::mutex> guard(m_engine.m_itemLock);
  uint8_t& tries = m_engine.m_tries[i];
  if (passing && tries < UINT8_MAX) ++tries;
  return tries;
}

// The claim and the item after the modem had the number: a message that went
// out (or may have) keeps its claim as marker or as claim; anything else
// drops it, so that the number can be sent later.
void CDeliveryWorker::Settle(size_t i, const CAttemptDecision& decision,
                             const CSendResult& result, const std::string& failure,
                             CNumberClaim& claim) {
  if (decision.state == Unconfirmed) {
    claim.Leave();
  } else if (decision.state != Sent) {
    claim.Drop();
  } else if (!claim.Confirm()) {
    LogClaim(m_engine.m_items[i].m_number + " sent, but its marker cannot be written in " +
             m_engine.Markers().Folder() + ": its claim stays");
    SetState(i, Sent, kNoMarkerCause, RecordOf(result));
    return;
  }
  if (decision.state == Sent) {
    SetState(i, Sent, std::string(), RecordOf(result));
  } else {
    SetState(i, decision.state, failure);
  }
}

void CDeliveryWorker::SetState(size_t i, DeliveryState state, const std::string& cause,
                               std::shared_ptr<const CSendRecord> record) {
  {
    std::lock_guard<std::mutex> guard(m_engine.m_itemLock);
    CListItem& item = m_engine.m_items[i];
    item.m_state = state;
    item.m_cause = cause;
    item.m_record = std::move(record);
    item.m_modem = m_port;
  }
  ItemChanged(i);
}

void CDeliveryWorker::Report(const std::string& text) {
  delivery::Status(m_engine.m_poolPorts.empty() ? text : "COM" + std::to_string(m_port) + ": " + text);
}

void CDeliveryWorker::Rest(int seconds, const std::string& why) {
  Report(why);
  char text[100];
  for (int k = 0; k < seconds; ++k) {
    if (m_queue.Finished()) return;
    std::snprintf(text, sizeof text, kPortErrorText, seconds - k);
    Report(text);
    if (!m_engine.SleepUnlessShutdown(1000)) return;
  }
  ReportSending();
}

void CDeliveryWorker::Pause() {
  if (!m_queue.AnyLeft()) return;
  long long low = m_engine.m_minPause > 0 ? m_engine.m_minPause : 0;
  long long seconds = low;
  if (m_engine.m_maxPause > m_engine.m_minPause) {
    long long r = platform::ThreadRand() & 0xFF;
    seconds = m_engine.m_minPause +
              r * (static_cast<long long>(m_engine.m_maxPause) - m_engine.m_minPause) / 255;
    if (seconds < 0) seconds = 0;
  }
  if (seconds == 0) return;
  char text[100];
  std::snprintf(text, sizeof text, kPauseText, static_cast<int>(seconds));
  Report(text);
  // A second at a time: any length can be expressed, and a shutdown ends it
  // at once.
  for (long long s = 0; s < seconds; ++s) {
    if (!m_engine.SleepUnlessShutdown(1000)) break;
  }
  ReportSending();
}

void CDeliveryWorker::ReportSending() {
  if (!m_queue.Finished()) Report(delivery::kSendingText);
}
