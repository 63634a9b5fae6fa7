#include "demo/ogg_vorbis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace demo {
namespace {

std::vector<float> OneSecondOfA440() {
  std::vector<float> samples(22050);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<float>(0.5 * std::sin(i * 2 * std::numbers::pi * 440 / 22050));
  return samples;
}

// Decodes `bytes` with libsndfile, as players will.
struct Decoded {
  bool ok = false;
  SF_INFO info = {};
  std::string title, artist, album;
};

Decoded Decode(std::vector<unsigned char> bytes) {
  ogg::MemoryFile file{std::move(bytes)};
  SF_VIRTUAL_IO io = {ogg::MemoryFile::Length, ogg::MemoryFile::Seek, ogg::MemoryFile::Read,
                      ogg::MemoryFile::Write, ogg::MemoryFile::Tell};
  Decoded d;
  SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &d.info, &file);
  if (sf == nullptr) return d;
  std::vector<float> samples(d.info.frames);
  d.ok = sf_readf_float(sf, samples.data(), d.info.frames) == d.info.frames;
  auto text = [&](int kind) {
    const char* value = sf_get_string(sf, kind);
    return std::string(value != nullptr ? value : "");
  };
  d.title = text(SF_STR_TITLE);
  d.artist = text(SF_STR_ARTIST);
  d.album = text(SF_STR_ALBUM);
  sf_close(sf);
  return d;
}

// libsndfile picks a new stream serial on every call; ours pins it, so equal samples give equal
// files and the pages still pass libogg's checksum.
TEST(EncodeOggVorbisTest, SameSamplesGiveSameBytesThatDecodeWithTheirTags) {
  const SongTags tags = {"Café Noir", "O'Dara", "Élan", "Jazz", "01"};
  std::vector<unsigned char> first, second;
  ASSERT_EQ(EncodeOggVorbis(OneSecondOfA440(), 22050, 0.3, tags, 7, &first), "");
  ASSERT_EQ(EncodeOggVorbis(OneSecondOfA440(), 22050, 0.3, tags, 7, &second), "");
  EXPECT_EQ(first, second);

  Decoded d = Decode(first);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.info.frames, 22050);
  EXPECT_EQ(d.info.channels, 1);
  EXPECT_EQ(d.title, "Café Noir");
  EXPECT_EQ(d.artist, "O'Dara");
  EXPECT_EQ(d.album, "Élan");
}

TEST(SetStreamSerialTest, KeepsTheStreamDecodableAndRejectsWhatIsNoOggStream) {
  std::vector<unsigned char> file;
  ASSERT_EQ(EncodeOggVorbis(OneSecondOfA440(), 22050, 0.3, {}, 1, &file), "");
  ASSERT_TRUE(ogg::SetStreamSerial(file, 0xA1B2C3D4));
  EXPECT_EQ(file[14], 0xD4);
  EXPECT_TRUE(Decode(file).ok);  // libogg drops pages whose checksum does not match

  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
  };
  const Case kBad[] = {
      {"not an Ogg page", {'R', 'I', 'F', 'F', 0, 0, 0, 0}},
      {"header cut short", std::vector<unsigned char>(file.begin(), file.begin() + 20)},
      {"body cut short", std::vector<unsigned char>(file.begin(), file.end() - 1)},
  };
  for (Case c : kBad) EXPECT_FALSE(ogg::SetStreamSerial(c.bytes, 1)) << c.what;
}

}  // namespace
}  // namespace demo
