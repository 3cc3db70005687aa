// A FIFO without a writer: opening it for reading the usual way waits for
// one for ever.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

TEST(Fifo, ReadRegularFileRefusesItAtOnce) {
  testing_support::TempDir dir;
  const std::string fifo = dir.File("list.txt");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string link = dir.File("link.txt");
  ASSERT_EQ(symlink(fifo.c_str(), link.c_str()), 0);
  for (const std::string& path : {fifo, link}) {
    std::string contents;
    EXPECT_EQ(platform::ReadRegularFile(path, 100, contents), platform::FileReadResult::NotRegular)
        << path;
  }
}

}  // namespace
