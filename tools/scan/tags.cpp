#include "scan/tags.h"

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "scan/read_stream.h"
#include "scan/tempo.h"
#include "scan/text.h"

namespace scan {

namespace {

std::string Lowercase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; });
  return lower;
}

std::string JoinValues(const TagLib::PropertyMap& properties, const char* key) {
  const auto found = properties.find(key);
  if (found == properties.end()) return {};
  std::string joined;
  for (const TagLib::String& value : found->second) {
    std::string text = CleanText(value.to8Bit(true));
    if (text.empty()) continue;
    if (!joined.empty()) joined += "; ";
    joined += text;
  }
  return joined;
}

// TagLib names the format by the extension it chose the reader by.
std::string NotValid(const std::string& path) {
  std::string format(Extension(path));
  std::transform(format.begin(), format.end(), format.begin(),
                 [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; });
  return "not a valid " + format + " file";
}

// The extensions TagLib reads with its MPEG reader.
bool IsMpegName(const std::string& path) {
  const std::string extension = Lowercase(Extension(path));
  return extension == "mp3" || extension == "mp2" || extension == "aac";
}

// TagLib's MPEG reader takes any bytes, and when the file does not begin with an ID3v2 tag or
// an MPEG frame it searches the whole file for either, slowly. A real MP3 holds one of them
// near its start, after at most a little junk; a file holding no frame sync in its first 64 KiB
// (a block the stream reads for TagLib anyway) is not searched.
bool MayHoldMpeg(ReadOnlyFileStream& stream) {
  stream.seek(0);
  const TagLib::ByteVector head = stream.readBlock(64 * 1024);
  stream.seek(0);
  if (head.startsWith("ID3")) return true;
  const auto* bytes = reinterpret_cast<const unsigned char*>(head.data());
  for (unsigned int i = 0; i + 1 < head.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] != 0xFF && (bytes[i + 1] & 0xE0) == 0xE0) return true;
  }
  return false;
}

}  // namespace

bool IsAudioName(std::string_view file_name) {
  static const std::set<std::string, std::less<>> kExtensions = [] {
    std::set<std::string, std::less<>> extensions;
    for (const TagLib::String& e : TagLib::FileRef::defaultFileExtensions()) {
      extensions.insert(Lowercase(e.to8Bit()));
    }
    return extensions;
  }();
  const std::string_view extension = Extension(file_name);
  return !extension.empty() && kExtensions.count(Lowercase(extension)) > 0;
}

ReadResult ReadSong(const std::string& path) {
  ReadResult result;
  Song& song = result.song;
  song.filename = path;
  ReadOnlyFileStream stream(path);
  TagLib::FileRef file;
  if (stream.isOpen() && (!IsMpegName(path) || MayHoldMpeg(stream))) {
    file = TagLib::FileRef(&stream, true, TagLib::AudioProperties::Fast);
  }
  // What TagLib found before the stream stopped it may be anything: not trusted.
  if (file.isNull() || stream.exhausted()) {
    result.problem = stream.isOpen() ? NotValid(path) : std::strerror(stream.error());
    song.title = FileNameTitle(path);
    return result;
  }
  const TagLib::PropertyMap properties = file.file()->properties();
  song.album = JoinValues(properties, "ALBUM");
  song.artist = JoinValues(properties, "ARTIST");
  song.title = JoinValues(properties, "TITLE");
  song.genre = JoinValues(properties, "GENRE");
  if (const TagLib::Tag* tag = file.tag(); tag != nullptr && tag->track() > 0) {
    song.track = std::to_string(tag->track());
  }
  song.tempo = TempoField(JoinValues(properties, "TEMPO"), JoinValues(properties, "BPM"));

  // MP3 and WAV readers accept any bytes; a file they find neither sound nor tags in is no song.
  const TagLib::AudioProperties* audio = file.audioProperties();
  const bool silent = audio == nullptr || (audio->sampleRate() == 0 && audio->channels() == 0);
  if (silent && properties.isEmpty()) result.problem = "no audio or tags found in it";
  if (song.title.empty()) song.title = FileNameTitle(path);
  return result;
}

}  // namespace scan
