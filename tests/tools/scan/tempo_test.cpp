#include "scan/tempo.h"

#include <gtest/gtest.h>

namespace scan {
namespace {

TEST(TempoFieldTest, TextTempoFirstThenBeatsInWords) {
  struct Case {
    std::string_view text_tempo, bpm, field;
  };
  const Case kCases[] = {
      {"", "", ""},
      {"", " 72 ", "Slow"},
      {"", "89.9", "Slow"},
      {"", "90", "Medium"},
      {"", "119.6", "Medium"},
      {"", "120", "Fast"},
      {"", "149", "Fast"},
      {"", "150", "Very Fast"},
      {"Moderate", "160", "Moderate"},  // the tagger's own word wins over the beats
      {"  Up-beat ", "", "Up-beat"},
      {"150", "", "Very Fast"},  // beats in the text field
      {"0", "95", "Medium"},     // 0 means unknown: the BPM tag is asked
      {" ", "100", "Medium"},
      {"", "0", ""},
      {"", "-20", ""},
      {"", "120 bpm", ""},
      {"", "inf", ""},
      {"", "nan", ""},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(TempoField(c.text_tempo, c.bpm), c.field)
        << "tempo '" << c.text_tempo << "' bpm '" << c.bpm << "'";
  }
}

}  // namespace
}  // namespace scan
