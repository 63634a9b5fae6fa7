#include "scan/tempo.h"

#include <gtest/gtest.h>

namespace scan {
namespace {

TEST(TempoWordsTest, EdgesOfEachWord) {
  struct Case {
    double bpm;
    std::string_view words;
  };
  const Case kCases[] = {
      {1, "Slow"},        {89, "Slow"},       {89.9, "Slow"},     {90, "Medium"},
      {119, "Medium"},    {119.5, "Medium"},  {120, "Fast"},      {149, "Fast"},
      {150, "Very Fast"}, {151, "Very Fast"}, {400, "Very Fast"},
  };
  for (const Case& c : kCases) EXPECT_EQ(TempoWords(c.bpm), c.words) << "bpm " << c.bpm;
}

TEST(TempoFieldTest, TextTempoFirstThenBeatsInWords) {
  struct Case {
    std::string_view text_tempo, bpm, field;
  };
  const Case kCases[] = {
      {"", "", ""},
      {"", "128", "Fast"},
      {"", " 72 ", "Slow"},
      {"", "119.6", "Medium"},
      {"Moderate", "", "Moderate"},
      {"Moderate", "160", "Moderate"},  // the tagger's own word wins over the beats
      {"  Up-beat ", "", "Up-beat"},
      {"150", "", "Very Fast"},  // beats in the text field
      {"0", "95", "Medium"},     // 0 means unknown: the BPM tag is asked
      {"", "0", ""},
      {"", "-20", ""},
      {"", "fast", ""},
      {"", "120 bpm", ""},
      {"", "inf", ""},
      {"", "nan", ""},
      {" ", "100", "Medium"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(TempoField(c.text_tempo, c.bpm), c.field)
        << "tempo '" << c.text_tempo << "' bpm '" << c.bpm << "'";
  }
}

}  // namespace
}  // namespace scan
