// Reading a song's tags through TagLib.
#pragma once

#include <string>
#include <string_view>

#include "scan/song.h"

namespace scan {

// True when the name ends in an extension TagLib reads (".mp3", ".FLAC", ".ogg", ".opus",
// ".m4a", ".wma", ".wav" ...), in any case. Only such files are opened.
bool IsAudioName(std::string_view file_name);

// What reading one file gave: the song, always filled (Filename is `path`, Title at least the
// file name), and, when the tags could not be read, why (e.g. "Permission denied",
// "not a valid FLAC file"); empty on success.
struct ReadResult {
  Song song;
  std::string problem;
};

// Reads the tags of the audio file at `path` (absolute). Multiple values of a field are joined
// with "; "; every field is cleaned (CleanText). Never throws.
ReadResult ReadSong(const std::string& path);

}  // namespace scan
