// Encodes mono samples as an Ogg Vorbis file in memory through libsndfile, tagged with the
// song's title, artist, album, genre and track number.
//
// libsndfile draws each stream's serial number from the clock; EncodeOggVorbis replaces it
// with the caller's, so the same samples always give the same bytes.
#pragma once

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace demo {

struct SongTags {
  std::string title, artist, album, genre, track;  // empty ones are left out
};

namespace ogg {

// A growable in-memory file for libsndfile's virtual I/O.
struct MemoryFile {
  std::vector<unsigned char> bytes;
  sf_count_t position = 0;

  static MemoryFile& Of(void* user) { return *static_cast<MemoryFile*>(user); }
  static sf_count_t Length(void* user) { return Of(user).bytes.size(); }
  static sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    MemoryFile& f = Of(user);
    sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f.position : f.bytes.size();
    if (base + offset < 0) return -1;
    return f.position = base + offset;
  }
  static sf_count_t Read(void* ptr, sf_count_t count, void* user) {
    MemoryFile& f = Of(user);
    sf_count_t available = std::max<sf_count_t>(0, f.bytes.size() - f.position);
    count = std::min(count, available);
    std::memcpy(ptr, f.bytes.data() + f.position, count);
    f.position += count;
    return count;
  }
  static sf_count_t Write(const void* ptr, sf_count_t count, void* user) {
    MemoryFile& f = Of(user);
    if (f.position + count > static_cast<sf_count_t>(f.bytes.size())) {
      f.bytes.resize(f.position + count);
    }
    std::memcpy(f.bytes.data() + f.position, ptr, count);
    f.position += count;
    return count;
  }
  static sf_count_t Tell(void* user) { return Of(user).position; }
};

// The Ogg page checksum: CRC-32, polynomial 0x04C11DB7, not reflected, starting at 0.
inline uint32_t PageCrc(const unsigned char* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
      t[i] = r;
    }
    return t;
  }();
  uint32_t crc = 0;
  for (size_t i = 0; i < size; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
  return crc;
}

inline void PutLittleEndian32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Rewrites every page's stream serial number and checksum. Returns false when the bytes are
// not a well-formed sequence of Ogg pages.
inline bool SetStreamSerial(std::vector<unsigned char>& file, uint32_t serial) {
  constexpr size_t kHeader = 27;  // up to and including the segment count
  size_t at = 0;
  while (at < file.size()) {
    if (file.size() - at < kHeader || std::memcmp(&file[at], "OggS", 4) != 0) return false;
    const size_t segments = file[at + 26];
    if (file.size() - at < kHeader + segments) return false;
    size_t page = kHeader + segments;
    for (size_t i = 0; i < segments; ++i) page += file[at + kHeader + i];
    if (file.size() - at < page) return false;
    PutLittleEndian32(&file[at + 14], serial);
    PutLittleEndian32(&file[at + 22], 0);
    PutLittleEndian32(&file[at + 22], PageCrc(&file[at], page));
    at += page;
  }
  return true;
}

}  // namespace ogg

// Encodes `samples` (mono, in [-1, 1]) at `sample_rate` with Vorbis `quality` (0 smallest ..
// 1 best) into *out. Returns an empty string on success, else libsndfile's message.
inline std::string EncodeOggVorbis(const std::vector<float>& samples, int sample_rate,
                                   double quality, const SongTags& tags, uint32_t serial,
                                   std::vector<unsigned char>* out) {
  ogg::MemoryFile file;
  SF_VIRTUAL_IO io = {ogg::MemoryFile::Length, ogg::MemoryFile::Seek, ogg::MemoryFile::Read,
                      ogg::MemoryFile::Write, ogg::MemoryFile::Tell};
  SF_INFO info = {};
  info.samplerate = sample_rate;
  info.channels = 1;
  info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &file);
  if (sf == nullptr) return sf_strerror(nullptr);

  std::string error;
  sf_command(sf, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
  const std::pair<int, const std::string*> strings[] = {{SF_STR_TITLE, &tags.title},
                                                        {SF_STR_ARTIST, &tags.artist},
                                                        {SF_STR_ALBUM, &tags.album},
                                                        {SF_STR_GENRE, &tags.genre},
                                                        {SF_STR_TRACKNUMBER, &tags.track}};
  for (const auto& [kind, text] : strings) {
    if (!text->empty() && sf_set_string(sf, kind, text->c_str()) != 0) error = sf_strerror(sf);
  }
  // libvorbis shifts its whole pending buffer after every block it encodes: handing it the
  // song in one piece makes encoding quadratic in the song's length.
  constexpr size_t kChunk = 4096;
  for (size_t at = 0; error.empty() && at < samples.size(); at += kChunk) {
    const auto frames = static_cast<sf_count_t>(std::min(kChunk, samples.size() - at));
    if (sf_writef_float(sf, samples.data() + at, frames) != frames) error = sf_strerror(sf);
  }
  // Closing flushes the last pages.
  if (sf_close(sf) != 0 && error.empty()) error = "cannot finish the Ogg stream";
  if (!error.empty()) return error;
  if (!ogg::SetStreamSerial(file.bytes, serial)) return "libsndfile wrote no Ogg pages";
  *out = std::move(file.bytes);
  return {};
}

}  // namespace demo
