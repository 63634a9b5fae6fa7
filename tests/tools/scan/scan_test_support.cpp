#include "scan_test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <thread>

namespace scan_test {

namespace fs = std::filesystem;

void WriteSong(const fs::path& path, const Tags& tags, bool id3v1_only) {
  static const std::map<std::string, int> kFormats = {
      {".wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {".flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
      {".ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
      {".opus", SF_FORMAT_OGG | SF_FORMAT_OPUS},
      {".mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
  };
  fs::create_directories(path.parent_path());
  // Mono at 48 kHz (Opus takes no lower rate).
  SF_INFO info{0, 48000, 1, kFormats.at(path.extension().string()), 0, 0};
  SNDFILE* sound = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(sound, nullptr) << path << ": " << sf_strerror(nullptr);
  std::vector<float> samples(info.samplerate / 5);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.3f * std::sin(i * 0.06f);
  sf_writef_float(sound, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(sound);

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

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.flush()) << path;
}

void SetModified(const fs::path& path, int hours) {
  timespec times[2] = {{0, UTIME_OMIT}, {}};
  clock_gettime(CLOCK_REALTIME, &times[1]);
  times[1].tv_sec += hours * 3600;
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

void WaitUntilSettled(const fs::path& folder) {
  const auto later = [](const timespec& a, const timespec& b) {
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
  };
  timespec newest{};
  std::error_code error;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(
           folder, fs::directory_options::skip_permission_denied, error)) {
    struct stat info;
    if (lstat(entry.path().c_str(), &info) == 0 && later(info.st_ctim, newest)) {
      newest = info.st_ctim;
    }
  }
  const fs::path probe = folder / ".settled-probe";
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < give_up) {
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    struct stat info;
    const bool made = fd >= 0 && fstat(fd, &info) == 0;
    if (fd >= 0) close(fd);
    unlink(probe.c_str());
    ASSERT_TRUE(made) << probe;
    if (later(info.st_ctim, newest)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ADD_FAILURE() << "the file system's clock never passed the files below " << folder;
}

}  // namespace scan_test
