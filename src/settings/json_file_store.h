// The settings as a JSON file the user can read and edit: one member per key, named by its
// full path, holding the key's values in the order they were written:
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
// written sorted by path; a key that is only the parent of others is left out.
#pragma once

#include <string>
#include <string_view>

#include "settings/store.h"

namespace settings {

// The file's text for `keys`.
std::string ToJson(const KeyTree& keys);
// Reads a file's text into `keys` (which should be empty). Returns "" on success, else what is
// wrong and where ("key \"...\": value \"Type\": not a number, a text or a typed value");
// `keys` may then hold part of the file.
std::string FromJson(std::string_view text, KeyTree* keys);

class JsonFileStore : public Store {
 public:
  explicit JsonFileStore(std::string path) : path_(std::move(path)) {}

  // Reads the file. A missing file is an empty store, the first run. A file that cannot be read
  // or is not a settings file is renamed aside (its name with ".corrupt" appended) so the next
  // save does not destroy it, and the store starts empty; the returned line then tells the
  // user so. Otherwise returns "".
  std::string Load();

  // Writes the whole tree to the file: into a temporary file beside it, synced, renamed over
  // it, so a process killed half-way leaves the old file or the new one, whole. The folder is
  // made (mode 0700) if it is missing.
  std::string Save() override;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// $XDG_CONFIG_HOME/jubo/registry.json, else ~/.config/jubo/registry.json; "" when neither the
// variable nor a home folder is known.
std::string UserSettingsPath();

}  // namespace settings
