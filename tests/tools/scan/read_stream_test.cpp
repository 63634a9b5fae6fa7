#include "scan/read_stream.h"

#include <gtest/gtest.h>
#include <taglib/tfilestream.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace scan {
namespace {

using Position = TagLib::IOStream::Position;

struct Step {
  long offset;
  Position from;
  unsigned long length;  // bytes asked for after the seek
};

// The bytes each step reads, and where the stream is at the end.
std::string Steps(TagLib::IOStream& stream, const std::vector<Step>& steps) {
  std::string got;
  for (const Step& s : steps) {
    stream.seek(s.offset, s.from);
    const TagLib::ByteVector read = stream.readBlock(s.length);
    got += std::string(read.data(), read.size()) + "|";
  }
  return got + std::to_string(stream.tell());
}

// Seeks and reads that hop between blocks, straddle them, run past either end, and exceed the
// two blocks kept, over a file of three and a bit blocks.
TEST(ReadOnlyFileStreamTest, SeeksAndReadsGiveTheFilesBytes) {
  jubo_test::TempDir dir;
  std::string bytes(200'000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  dir.Write("song.mp3", bytes);
  constexpr long kBlock = 64 * 1024;
  struct Case {
    const char* label;
    std::vector<Step> steps;
  };
  const Case kCases[] = {
      {"straddling a block edge", {{kBlock - 6, Position::Beginning, 20}}},
      {"straddling two edges", {{kBlock - 1, Position::Beginning, kBlock + 2}}},
      {"tail as ID3v1 is read", {{-128, Position::End, 128}, {-3, Position::Current, 3}}},
      {"head, tail, head",
       {{0, Position::Beginning, 10}, {-10, Position::End, 10}, {5, Position::Beginning, 10}}},
      {"three blocks in turn",
       {{0, Position::Beginning, 4},
        {kBlock, Position::Beginning, 4},
        {2 * kBlock, Position::Beginning, 4},
        {1, Position::Beginning, 4},
        {kBlock + 1, Position::Beginning, 4}}},
      {"past the end", {{199'990, Position::Beginning, 100}, {0, Position::Current, 5}}},
      {"seek past the end", {{300'000, Position::Beginning, 5}, {-5, Position::End, 100}}},
      {"before the start is refused",
       {{50, Position::Beginning, 0}, {-10, Position::Beginning, 4}, {-100, Position::Current, 4}}},
      {"nothing asked", {{7, Position::Beginning, 0}, {0, Position::Current, 1}}},
  };
  const std::string path = (dir.path() / "song.mp3").string();
  for (const Case& c : kCases) {
    ReadOnlyFileStream stream(path);
    TagLib::FileStream plain(path.c_str(), true);  // TagLib's own: the oracle
    ASSERT_TRUE(stream.isOpen());
    EXPECT_EQ(stream.length(), static_cast<long>(bytes.size()));
    EXPECT_TRUE(Steps(stream, c.steps) == Steps(plain, c.steps)) << c.label;
  }
}

}  // namespace
}  // namespace scan
