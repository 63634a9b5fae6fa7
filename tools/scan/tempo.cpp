#include "scan/tempo.h"

#include <charconv>
#include <optional>

namespace scan {

namespace {

std::string_view Trim(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// A number making up the whole text ("128", "92.5"), as taggers write beats per minute.
std::optional<double> Number(std::string_view text) {
  text = Trim(text);
  double value = 0;
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;  // no "inf", "nan"
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string_view TempoWords(double bpm) {
  if (bpm < 90) return "Slow";
  if (bpm < 120) return "Medium";
  if (bpm < 150) return "Fast";
  return "Very Fast";
}

std::string TempoField(std::string_view text_tempo, std::string_view bpm) {
  text_tempo = Trim(text_tempo);
  // Some taggers put the beats into the text field; listed as words they sort with the rest.
  const std::optional<double> text_beats = Number(text_tempo);
  if (!text_tempo.empty() && !text_beats) return std::string(text_tempo);
  if (text_beats && *text_beats > 0) return std::string(TempoWords(*text_beats));
  if (const std::optional<double> beats = Number(bpm); beats && *beats > 0) {
    return std::string(TempoWords(*beats));
  }
  return {};
}

}  // namespace scan
