// Where the settings persist. A store holds the key tree the registry class works on and makes
// it persist on Save. The program wires the JSON file (json_file_store.h); tests and a machine
// without a configuration folder use the store in memory below.
#pragma once

#include <string>

#include "settings/key_tree.h"

namespace settings {

class Store {
 public:
  virtual ~Store() = default;

  // Makes the tree as it is now persist. Returns "" on success, else a message a user can act
  // on ("cannot write /home/ann/.config/jubo/registry.json: Read-only file system"); what was
  // persisted before stays whole then.
  virtual std::string Save() = 0;

  KeyTree keys;
};

// Keeps the settings for the run only.
class MemoryStore : public Store {
 public:
  std::string Save() override {
    ++saves;
    return refusal;
  }

  int saves = 0;
  std::string refusal;  // when set, every Save fails with it (a full disk)
};

}  // namespace settings
