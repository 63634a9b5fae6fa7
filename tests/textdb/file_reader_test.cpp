#include "textdb/file_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace textdb {
namespace {

// What is not a regular file is refused without waiting on it (a FIFO with no writer would
// block an ordinary open forever); a file rewritten while it is read is read again, and one
// that keeps changing is read as found with a note, never a signal.
TEST(FileReaderTest, ReadsRegularFilesAndRefusesTheRest) {
  jubo_test::TempDir dir;
  const std::string file = (dir.path() / "jubodb.txt").string();
  const std::string fifo = (dir.path() / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  int rewrites = 0;
  struct Case {
    std::string_view name;
    std::string path;
    std::function<void()> after_chunk;
    ErrorCode code;
    std::string_view bytes;
    bool noted;
  };
  const Case kCases[] = {
      {"regular", file, nullptr, ErrorCode::kNone, "Album\nA long first line\n", false},
      {"missing", file + ".not", nullptr, ErrorCode::kNotFound, "", false},
      {"FIFO", fifo, nullptr, ErrorCode::kRefused, "", false},
      {"folder", dir.path().string(), nullptr, ErrorCode::kRefused, "", false},
      {"device", "/dev/null", nullptr, ErrorCode::kRefused, "", false},
      {"cut short while read", file,
       [&] {
         if (rewrites++ == 0) dir.Write("jubodb.txt", "Album\nA\n");
       },
       ErrorCode::kNone, "Album\nA\n", false},
      {"rewritten after every chunk", file,
       [&] { dir.Write("jubodb.txt", ++rewrites % 2 == 0 ? "Album\nA\n" : "Album\nAB\n"); },
       ErrorCode::kNone, "", true},
  };
  for (const Case& c : kCases) {
    dir.Write("jubodb.txt", "Album\nA long first line\n");
    std::string bytes;
    std::vector<LoadNote> notes;
    Status s = ReadFileBytes(c.path, "jubodb.txt", &bytes, &notes, c.after_chunk);
    EXPECT_EQ(s.code(), c.code) << c.name << ": " << s.message();
    if (c.code == ErrorCode::kRefused) {
      EXPECT_NE(s.message().find("not a regular file"), std::string::npos) << c.name;
    }
    if (!c.bytes.empty()) {
      EXPECT_EQ(bytes, c.bytes) << c.name;
    }
    EXPECT_EQ(!notes.empty(), c.noted) << c.name;
  }
}

}  // namespace
}  // namespace textdb
