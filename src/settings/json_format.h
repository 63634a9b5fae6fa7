// The settings as JSON text the user can read and edit: one member per key, named by its full
// path, holding the key's values in the order they were written:
//
//   {
//     "HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\Screensaver": {
//       "Timeout": 15,
//       "Type": 2
//     }
//   }
//
// A number is a REG_DWORD (-2147483648 to 4294967295, the larger ones read as negative); a
// text is a REG_SZ, or a REG_EXPAND_SZ when it names a variable between percent signs
// ("%HOME%/beep.wav"); any type may be spelled out as {"REG_SZ": "50%%"}, with REG_BINARY as
// hexadecimal text and REG_MULTI_SZ as its text, each string followed by "\u0000". Keys are
// written sorted by path; a key that is only the parent of others is left out. Both directions
// take time in proportion to the text, however many values a key holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/key_tree.h"

namespace settings {

// The text for `keys`, as nlohmann::json writes it with an indent of 2, and a line break.
std::string ToJson(const KeyTree& keys);

// Reads a text into `keys` (which should be empty). Returns "" when the text is a JSON object,
// else what is wrong with it ("parse error at line 3, column 1: ..." or "not an object of
// keys"); `keys` may then hold part of it. Within the object, a member that is not a key of
// values, and a value the store cannot hold, is left out, and one line in `*skipped` says
// which and why: `key "K": 5 is not an object of values`, `key "K", value "Timeout": 15.5 is
// not a whole number from -2147483648 to 4294967295`.
std::string FromJson(std::string_view text, KeyTree* keys, std::vector<std::string>* skipped);

}  // namespace settings
