// The `Tempo` column of a scanned song: the words Jubo lists tempos by.
#pragma once

#include <string>
#include <string_view>

namespace scan {

// The word for a tempo in beats per minute: under 90 "Slow", 90 to under 120 "Medium",
// 120 to under 150 "Fast", 150 and over "Very Fast".
std::string_view TempoWords(double bpm);

// The `Tempo` field from a song's tags: the text tempo tag when it holds words; a number
// there, or else the BPM tag, in words (TempoWords). Empty when neither holds a tempo; a BPM
// of 0 or less, or one that is no number, is no tempo (taggers write 0 for "unknown").
std::string TempoField(std::string_view text_tempo, std::string_view bpm);

}  // namespace scan
