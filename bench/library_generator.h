// Made-up music libraries for benchmarks and tests: a `jubodb.txt` shaped like a tagging
// program's export of a real collection, at any size.
//
// The shape: about 12 songs an album and 33 an artist (artists have one to a couple of dozen
// albums), a few compilations whose songs are by many artists, 20 genres of uneven popularity,
// five tempos, a few percent of songs without genre or tempo. Names carry what real tags carry:
// quotes (O'Dara, Rock 'n' Roll), accents (Élan, Ölsen), digits and punctuation first (10 Rivers,
// 'Round Midnight), [Live] and (Remastered), commas and double quotes, lower-case first letters,
// album titles shared by several artists (Greatest Hits). Track reads "01", "7" or "3/12";
// Filename is an absolute path such as /music/Artist/Album/07 Title.ogg. Rows come grouped by
// album folder, the folders in no particular order, as a tagger walking a disk writes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bench {

// Writes `folder`/jubodb.txt (UTF-8, CRLF, header Album,Artist,Title,Track,Filename,Genre,Tempo)
// with `songs` rows, replacing the file if it exists; `folder` must exist. The same songs and
// seed always give the same bytes. Returns "" on success, else a message naming the file and
// the failure; a failed write leaves no partial jubodb.txt behind.
std::string WriteLibrary(const std::string& folder, int64_t songs, uint64_t seed);

// A count as typed on a command line (songs, a seed): digits, optionally followed by k
// (thousands) or M (millions), e.g. "2500", "100k", "1M". nullopt for anything else, for a
// count below 1 and for one above a trillion.
std::optional<int64_t> ParseCount(std::string_view text);

}  // namespace bench
