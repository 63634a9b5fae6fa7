// The settings kept in a JSON file the user can read and edit (its text: json_format.h).
#pragma once

#include <functional>
#include <string>

#include "settings/json_format.h"
#include "settings/store.h"

namespace settings {

class JsonFileStore : public Store {
 public:
  explicit JsonFileStore(std::string path);

  // Reads the file. A missing file, or a link to one, is an empty store: the first run. A file
  // that cannot be read or is not a JSON object is set aside, so the next save does not
  // destroy it (the file a link leads to is moved, and the link stays: see common::SetAside),
  // and the store starts empty; the returned line then tells the user so and where the file
  // is now. Otherwise returns "", and each member of the file the store cannot hold (a value
  // of a wrong type, a key that is no object of values) is left out and reported in one line
  // through the report function: its default is used, and the next save leaves it out.
  std::string Load();

  // Writes the whole tree to the file (through a link, to the file it leads to): into a
  // temporary file beside it, synced, renamed over it, so a process killed half-way leaves the
  // old file or the new one, whole. The folder is made (mode 0700) if it is missing.
  std::string Save() override;

  // Where Load reports the members it leaves out, one line each; standard error by default.
  void set_report(std::function<void(const std::string& line)> report) {
    report_ = std::move(report);
  }

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::function<void(const std::string&)> report_;
};

// $XDG_CONFIG_HOME/jubo/registry.json, else ~/.config/jubo/registry.json; "" when neither the
// variable nor a home folder is known.
std::string UserSettingsPath();

}  // namespace settings
