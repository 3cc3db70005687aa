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
  // settings file, numbers per source (with what their loading dropped, cut
  // or changed) and in all, encoding and parts, and the text as the phone
  // will show it (UTF-8).
  void PrintPlan(std::FILE* out) const;
  // Per source, the lines its loading dropped, cut or changed and the
  // numbers no message can reach, with their place and the reason: the
  // first few of each kind, then how many more.
  void PrintWarnings(std::FILE* out) const;
  // The state a run would give each number from --from on: Duplicate (a
  // marker, or the same number earlier in the run, with the check on),
  // SendError (fails before anything is sent), else Accepted: sent.
  void Predict(std::vector<CListItem>& items) const;

 private:
  size_t First() const { return static_cast<size_t>(m_options.m_from - 1); }
  // "phones.txt line 4", "the mask 7912345****", "--number 123"
  static std::string Where(const CSourceItems& source, int line);
  std::string SettingsFile() const;
  void PrintSourceCounts(std::FILE* out) const;
  std::string MarkedCount() const;
  void WarnSource(std::FILE* out, const CSourceItems& source) const;
  std::string NoteText(const CSourceItems& source, const CListLineNote& note) const;

  const CSendOptions& m_options;
  const CEngine& m_engine;
  const std::vector<CSourceItems>& m_sources;
  bool m_settingsRead;
  std::string m_phoneText;  // the message as the phone shows it, 1251
  pdu::MessageForm m_form;
};
