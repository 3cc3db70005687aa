#pragma once
// A temporary folder for one test, removed with everything in it at the end.
// It can stand in for the program folder, so that logs, markers and the
// settings file of the code under test land inside it.
#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return m_path; }
  // Path of a file or folder inside, joined with the platform's separator.
  std::string File(const std::string& name) const;
  // Makes folders inside, one in another, until the innermost one's path has
  // exactly length bytes (at least Path().size() + 2), and gives that path.
  std::string MakeFolderOfLength(size_t length) const;
  // Makes the program path <folder><sep><programName> for the code under test
  // until this object ends.
  void UseAsProgramFolder(const std::string& programName = "varnek.exe");

 private:
  std::string m_path;
  bool m_programPathSet = false;
};

}  // namespace testing_support
