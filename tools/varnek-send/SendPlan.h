#pragma once
// What a run is about to do, said before the first number, and what a dry
// run predicts for each number. Reads the engine as the run has set it up
// (settings applied, list built, message stored) and writes nothing: no
// port, no log, no marker.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "modem/Pdu.h"
#include "tools/varnek-send/SendInput.h"
#include "tools/varnek-send/SendOptions.h"

class CSendPlan {
 public:
  // settingsRead: the settings file, when there is one, gave settings.
  CSendPlan(const CSendOptions& options, const CEngine& engine,
            const std::vector<CSourceItems>& sources, bool settingsRead);

  // Port and speed, duplicate check and its folder, pauses, piece pause,
  // settings file, numbers per source and in all, encoding and parts, and the
  // text as the phone will show it (UTF-8).
  void PrintPlan(std::FILE* out) const;
  // List lines whose digits go past 11 (the number is cut there), numbers
  // that fail before anything is sent, a message that nothing is left of.
  // At most a few of each kind, then how many more.
  void PrintWarnings(std::FILE* out) const;
  // The state a run would give each number from --from on: Duplicate (a
  // marker, or the same number earlier in the run, with the check on),
  // SendError (fails before anything is sent), else Accepted: sent.
  void Predict(std::vector<CListItem>& items) const;

 private:
  size_t First() const { return static_cast<size_t>(m_options.m_from - 1); }
  std::string Where(size_t item) const;  // "phones.txt line 4", "the mask 7912345****"
  std::string SettingsFile() const;
  void PrintSourceCounts(std::FILE* out) const;
  std::string MarkedCount() const;
  void WarnLongLines(std::FILE* out) const;
  void WarnUnaddressable(std::FILE* out) const;

  const CSendOptions& m_options;
  const CEngine& m_engine;
  const std::vector<CSourceItems>& m_sources;
  bool m_settingsRead;
  std::string m_phoneText;  // the message as the phone shows it, 1251
  pdu::MessageForm m_form;
};
