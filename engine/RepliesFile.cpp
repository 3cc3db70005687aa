#include "engine/RepliesFile.h"

#include "engine/CsvText.h"
#include "platform/Files.h"

namespace {

constexpr char kName[] = "replies.csv";
constexpr char kHeader[] = "Время;Отправитель;Текст";
constexpr size_t kMaxFileBytes = 256u * 1024 * 1024;

}  // namespace

std::string CRepliesFile::Path() {
  return platform::ProgramFolder() + platform::kPathSeparator + kName;
}

bool CRepliesFile::Append(const CReply& reply, std::string& reason) {
  const bool isNew = !platform::PathExists(Path());
  platform::AppendFile file;
  std::string line = CsvLine({reply.time, reply.sender, reply.text});
  if (isNew) line = std::string(kHeader) + "\r\n" + line;
  if (file.Open(Path()) && file.Write(line.data(), line.size())) return true;
  reason = file.FailureReason();
  return false;
}

std::vector<CReply> CRepliesFile::ReadAll() {
  std::vector<CReply> replies;
  std::string text;
  if (platform::ReadRegularFile(Path(), kMaxFileBytes, text) != platform::FileReadResult::Read) {
    return replies;
  }
  std::vector<std::vector<std::string>> lines;
  if (!ReadCsv(text, kHeader, lines)) return replies;
  for (std::vector<std::string>& fields : lines) {
    fields.resize(3);
    replies.push_back({fields[0], fields[1], fields[2]});
  }
  return replies;
}
