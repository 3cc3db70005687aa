#pragma once
// The results files: one per run, in the folder "results" beside the
// program, named by the time the run began ("2026-12-08_17-30-05.csv").
// Written whole in one step (a crash leaves the old text whole), and again
// whenever a status report for one of its numbers comes in, on this run or
// a later one. Any thread; one writer per file at a time.
#include <string>
#include <vector>

#include "engine/ResultsTable.h"
#include "platform/Clock.h"

class CResultsFile {
 public:
  explicit CResultsFile(std::string path) : m_path(std::move(path)) {}

  // The folder of the results files.
  static std::string Folder();
  // A file for a run that began at start; a name already taken gets "_2",
  // "_3" ...
  static CResultsFile ForRun(const platform::LocalTime& start);
  // Every results file there, newest first.
  static std::vector<CResultsFile> All();

  const std::string& Path() const { return m_path; }
  // False, with the system's reason (UTF-8), when it cannot be written.
  bool Write(const std::vector<CResultRow>& rows, std::string& reason) const;
  bool Read(std::vector<CResultRow>& rows) const;

 private:
  std::string m_path;
};

// A status report that no number in hand took: recorded in the newest results
// file with a row for recipient (its marker key: the digits of its sent
// form) whose part with this reference has no report yet. True when one did.
bool RecordLateReport(const std::string& recipient, int reference, int status,
                      const std::string& dischargeTime);
