// What the scan tests share: tagged songs written the way taggers leave them.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "scan/song.h"
#include "support/run_program.h"

namespace scan {

// Prints a song as its fields, so a failed comparison shows them.
inline void PrintTo(const Song& s, std::ostream* out) {
  *out << "{album '" << s.album << "' artist '" << s.artist << "' title '" << s.title << "' track '"
       << s.track << "' file '" << s.filename << "' genre '" << s.genre << "' tempo '" << s.tempo
       << "'}";
}

}  // namespace scan

namespace scan_test {

using jubo_test::ReadFile;
using jubo_test::RunProgram;
using jubo_test::RunResult;

// Tags to write; empty ones are left out. `artist` may hold several values separated by '\n'.
struct Tags {
  std::string title, artist, album, track, genre, bpm, tempo;
};

// Writes a fifth of a second of sound at `path` (its folders made as needed) in the format its
// extension names (wav, flac, ogg, opus, mp3 by libsndfile; m4a by ffmpeg), then writes `tags`
// into it with TagLib (an MP3 gets ID3v2, or only ID3v1 when `id3v1_only`). Untagged when `tags`
// is all empty. A failure fails the calling test.
inline void WriteSong(const std::filesystem::path& path, const Tags& tags,
                      bool id3v1_only = false) {
  static const std::map<std::string, int> kFormats = {
      {".wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {".flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
      {".ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
      {".opus", SF_FORMAT_OGG | SF_FORMAT_OPUS},
      {".mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
  };
  std::filesystem::create_directories(path.parent_path());
  if (path.extension() == ".m4a") {  // AAC, which libsndfile does not write
    const RunResult made = RunProgram("/usr/bin/ffmpeg",
                                      {"-loglevel", "error", "-f", "lavfi", "-i",
                                       "sine=duration=0.2", "-c:a", "aac", path.string()},
                                      ".");
    ASSERT_EQ(made.status, 0) << path << ": " << made.err;
  } else {
    // Mono at 48 kHz (Opus takes no lower rate).
    SF_INFO info{0, 48000, 1, kFormats.at(path.extension().string()), 0, 0};
    SNDFILE* sound = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(sound, nullptr) << path << ": " << sf_strerror(nullptr);
    std::vector<float> samples(info.samplerate / 5);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.3f * std::sin(i * 0.06f);
    sf_writef_float(sound, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(sound);
  }

  TagLib::PropertyMap properties;
  const std::pair<const char*, const std::string*> kFields[] = {
      {"TITLE", &tags.title},       {"ARTIST", &tags.artist}, {"ALBUM", &tags.album},
      {"TRACKNUMBER", &tags.track}, {"GENRE", &tags.genre},   {"BPM", &tags.bpm},
      {"TEMPO", &tags.tempo}};
  for (const auto& [key, value] : kFields) {
    if (!value->empty()) properties[key] = TagLib::String(*value, TagLib::String::UTF8).split("\n");
  }
  if (properties.isEmpty()) return;
  if (id3v1_only) {
    TagLib::MPEG::File file(path.c_str());
    ASSERT_TRUE(file.isValid()) << path;
    file.ID3v1Tag(true)->setProperties(properties);
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripOthers)) << path;
    return;
  }
  TagLib::FileRef file(path.c_str(), false);
  ASSERT_FALSE(file.isNull()) << path;
  const TagLib::PropertyMap refused = file.file()->setProperties(properties);
  ASSERT_TRUE(refused.isEmpty()) << path << " refused " << refused.toString().to8Bit(true);
  ASSERT_TRUE(file.save()) << path;
}

// Writes `bytes` at `path`, making the folders it needs.
inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.flush()) << path;
}

}  // namespace scan_test
