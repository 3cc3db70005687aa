#include "tools/modemsim/SimStore.h"

#include <utility>

#include "tools/modemsim/SimPduWriter.h"

namespace modemsim {
namespace {

constexpr int kAll = 4;
constexpr int kRead = 1;

const char* KindName(StoredKind kind) { return kind == StoredKind::Report ? "report" : "message"; }

}  // namespace

CSimStore::CSimStore(std::string name, int size, CSubmissionRecord& record)
    : m_name(std::move(name)), m_places(static_cast<std::size_t>(size)), m_record(record) {}

int CSimStore::Used() const {
  int used = 0;
  for (const Place& place : m_places) used += place.used ? 1 : 0;
  return used;
}

int CSimStore::Store(StoredKind kind, const std::string& pdu) {
  for (std::size_t i = 0; i < m_places.size(); ++i) {
    if (m_places[i].used) continue;
    m_places[i] = {true, 0, kind, pdu};
    const int index = static_cast<int>(i) + 1;
    m_record.AppendEvent("stored", m_name, index, KindName(kind), pdu);
    return index;
  }
  return 0;
}

std::string CSimStore::Lines(const char* prefix, int index, bool listed) {
  Place& place = m_places[static_cast<std::size_t>(index) - 1];
  std::string lines = std::string("\r\n") + prefix;
  if (listed) lines += std::to_string(index) + ",";
  lines += std::to_string(place.stat) + ",," + std::to_string(TpduOctets(place.pdu)) + "\r\n" +
           place.pdu;
  m_record.AppendEvent("read", m_name, index, KindName(place.kind), place.pdu);
  if (place.stat == 0) place.stat = kRead;
  return lines;
}

std::string CSimStore::List(int stat) {
  std::string lines;
  for (std::size_t i = 0; i < m_places.size(); ++i) {
    Place& place = m_places[i];
    if (place.used && (stat == kAll || place.stat == stat)) {
      lines += Lines("+CMGL: ", static_cast<int>(i) + 1, true);
    }
  }
  return lines.empty() ? lines : lines + "\r\n";
}

bool CSimStore::Read(int index, std::string& lines) {
  lines.clear();
  if (index < 1 || index > Size()) return false;
  if (m_places[static_cast<std::size_t>(index) - 1].used) {
    lines = Lines("+CMGR: ", index, false) + "\r\n";
  }
  return true;
}

bool CSimStore::Delete(int index, int flag) {
  if (flag < 0 || flag > kAll) return false;
  if (flag == 0) {
    if (index < 1 || index > Size()) return false;
    Erase(index);
    return true;
  }
  // Flags 1..3 take the read messages and, beyond, sent and unsent ones,
  // which this memory never holds; 4 takes everything.
  for (std::size_t i = 0; i < m_places.size(); ++i) {
    if (m_places[i].used && (flag == kAll || m_places[i].stat == kRead)) {
      Erase(static_cast<int>(i) + 1);
    }
  }
  return true;
}

void CSimStore::Erase(int index) {
  Place& place = m_places[static_cast<std::size_t>(index) - 1];
  if (!place.used) return;
  m_record.AppendEvent("deleted", m_name, index, KindName(place.kind), place.pdu);
  place = Place();
}

}  // namespace modemsim
