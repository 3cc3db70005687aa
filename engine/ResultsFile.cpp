#include "engine/ResultsFile.h"

#include <algorithm>
#include <cstdio>

#include "engine/MarkerStore.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"

namespace {

constexpr char kFolder[] = "results";
constexpr char kExtension[] = ".csv";
// A results file holds at most the list of one run; anything larger is no
// file of ours.
constexpr size_t kMaxFileBytes = 512u * 1024 * 1024;
// A late report is looked for in the files of this many runs, newest first:
// networks give up on a message within days.
constexpr size_t kLateReportRuns = 50;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string CResultsFile::Folder() {
  return platform::ProgramFolder() + platform::kPathSeparator + kFolder;
}

CResultsFile CResultsFile::ForRun(const platform::LocalTime& start) {
  char name[64];
  std::snprintf(name, sizeof name, "%04d-%02d-%02d_%02d-%02d-%02d", start.year, start.month,
                start.day, start.hour, start.minute, start.second);
  const std::string base = Folder() + platform::kPathSeparator + name;
  std::string path = base + kExtension;
  for (int k = 2; platform::PathExists(path); ++k) path = base + "_" + std::to_string(k) + kExtension;
  return CResultsFile(path);
}

std::vector<CResultsFile> CResultsFile::All() {
  std::vector<std::string> names;
  std::vector<CResultsFile> files;
  if (!platform::ListFiles(Folder(), names)) return files;
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& name) { return !EndsWith(name, kExtension); }),
              names.end());
  // The names begin with the time: the newest sorts last ("_2" after the
  // name without it, as it came later).
  std::sort(names.begin(), names.end());
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    files.emplace_back(Folder() + platform::kPathSeparator + *name);
  }
  return files;
}

bool CResultsFile::Write(const std::vector<CResultRow>& rows, std::string& reason) const {
  if (!platform::EnsureDir(Folder(), reason)) return false;
  // Beside the file and then in its place: a reader, even after a crash,
  // finds the old text or the new one whole.
  const std::string temporary = m_path + ".tmp";
  if (platform::WriteWholeFile(temporary, FormatResults(rows)) &&
      platform::ReplaceFileAtomically(temporary, m_path)) {
    return true;
  }
  platform::RemoveFile(temporary);
  reason = "cannot write " + platform::PathToUtf8(m_path);
  return false;
}

bool CResultsFile::Read(std::vector<CResultRow>& rows) const {
  std::string text;
  return platform::ReadRegularFile(m_path, kMaxFileBytes, text) == platform::FileReadResult::Read &&
         ParseResults(text, rows);
}

bool RecordLateReport(const std::string& recipient, int reference, int status,
                      const std::string& dischargeTime) {
  std::vector<CResultsFile> files = CResultsFile::All();
  if (files.size() > kLateReportRuns) files.resize(kLateReportRuns, CResultsFile(std::string()));
  for (const CResultsFile& file : files) {
    std::vector<CResultRow> rows;
    if (!file.Read(rows)) continue;
    for (CResultRow& row : rows) {
      if (CMarkerStore::KeyOf(row.number) != recipient ||
          !row.record.TakeReport(reference, status, dischargeTime)) {
        continue;
      }
      if (const char* words = ReportOutcomeText(row.record.Outcome())) row.outcome = words;
      if (!row.record.cause.empty()) row.cause = row.record.cause;
      std::string reason;
      return file.Write(rows, reason);
    }
  }
  return false;
}
