#include "settings/json_file_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>

#include "common/atomic_file.h"

namespace settings {
namespace {

using Json = nlohmann::ordered_json;

// Types a value may be spelled out with, beside a bare number or text.
struct TypeName {
  RegType type;
  const char* name;
};
constexpr TypeName kTypeNames[] = {
    {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},
    {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_MULTI_SZ, "REG_MULTI_SZ"},
};

std::string PathText(const KeyPath& key) {
  std::string text;
  for (const std::string& name : key) text += (text.empty() ? "" : "\\") + name;
  return text;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  char pair[3];
  for (uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", b);
    text += pair;
  }
  return text;
}

bool FromHex(const std::string& text, std::vector<uint8_t>* bytes) {
  if (text.size() % 2 != 0) return false;
  for (size_t i = 0; i < text.size(); i += 2) {
    uint8_t b = 0;
    const char* pair = text.data() + i;
    if (std::from_chars(pair, pair + 2, b, 16).ptr != pair + 2) return false;
    bytes->push_back(b);
  }
  return true;
}

Json ValueJson(const RegValue& v) {
  switch (v.type) {
    case REG_DWORD:
      return v.number;
    case REG_SZ:
    case REG_EXPAND_SZ:
      // A bare text is typed by its percent signs when read back.
      if (TextType(v.text) == v.type) return v.text;
      break;
    default:
      break;
  }
  const char* name = "REG_BINARY";
  for (const TypeName& t : kTypeNames) {
    if (t.type == v.type) name = t.name;
  }
  Json typed = Json::object();
  if (v.type == REG_DWORD_BIG_ENDIAN) {
    typed[name] = v.number;
  } else if (v.type == REG_BINARY) {
    typed[name] = Hex(v.bytes);
  } else {
    typed[name] = v.text;
  }
  return typed;
}

// A JSON number as a DWORD: its 32 bits, read as signed.
bool Dword(const Json& j, int32_t* number) {
  if (j.is_number_unsigned()) {
    const uint64_t u = j.get<uint64_t>();
    *number = static_cast<int32_t>(static_cast<uint32_t>(u));
    return u <= UINT32_MAX;
  }
  if (!j.is_number_integer()) return false;
  const int64_t i = j.get<int64_t>();
  *number = static_cast<int32_t>(i);
  return i >= INT32_MIN && i <= INT32_MAX;
}

bool ValueFromJson(const Json& j, RegValue* v) {
  if (j.is_string()) {
    v->text = j.get<std::string>();
    v->type = TextType(v->text);
    return true;
  }
  if (j.is_number()) {
    v->type = REG_DWORD;
    return Dword(j, &v->number);
  }
  if (!j.is_object() || j.size() != 1) return false;
  const std::string& name = j.begin().key();
  const Json& data = j.begin().value();
  for (const TypeName& t : kTypeNames) {
    if (name != t.name) continue;
    v->type = t.type;
    if (t.type == REG_DWORD || t.type == REG_DWORD_BIG_ENDIAN) return Dword(data, &v->number);
    if (!data.is_string()) return false;
    if (t.type == REG_BINARY) return FromHex(data.get<std::string>(), &v->bytes);
    v->text = data.get<std::string>();
    return true;
  }
  return false;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? "" : path.substr(0, slash);
}

// Makes `folder` and the folders above it that are missing, closed to other users.
std::string MakeFolder(const std::string& folder) {
  if (folder.empty()) return {};
  struct stat info;
  if (stat(folder.c_str(), &info) == 0) return {};
  if (std::string error = MakeFolder(FolderOf(folder)); !error.empty()) return error;
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return "cannot make the folder " + folder + ": " + std::strerror(errno);
  }
  return {};
}

// Reads the file into *bytes. False when there is none; a file that cannot be read gives true
// and the reason in *error.
bool ReadAll(const std::string& path, std::string* bytes, std::string* error) {
  // O_NONBLOCK: a FIFO put in the file's place must not hang the start.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int reason = errno;
    *error = std::strerror(reason);
    // A file in the place of a folder on the way: there is no settings file either.
    return reason != ENOENT && reason != ENOTDIR;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *error = "not a regular file";
  } else {
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes->append(buffer, static_cast<size_t>(n));
    if (n < 0) *error = std::strerror(errno);
  }
  close(fd);
  return true;
}

}  // namespace

std::string ToJson(const KeyTree& keys) {
  Json file = Json::object();
  for (const auto& [path, key] : keys.keys()) {
    // A parent without values of its own comes back with its children.
    if (key.values.empty() && keys.HasSubKeys(path)) continue;
    Json values = Json::object();
    for (const auto& [name, value] : key.values) values[name] = ValueJson(value);
    file[PathText(path)] = std::move(values);
  }
  return file.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string FromJson(std::string_view text, KeyTree* keys) {
  Json file;
  try {
    file = Json::parse(text);
  } catch (const Json::parse_error& e) {
    std::string what = e.what();
    return what.substr(what.find("] ") == std::string::npos ? 0 : what.find("] ") + 2);
  }
  if (!file.is_object()) return "not an object of keys";
  for (const auto& [path, values] : file.items()) {
    const KeyPath key = KeyPathOf(path);
    const std::string where = "key \"" + path + "\"";
    if (key.empty()) return where + ": a key needs a name";
    if (!values.is_object()) return where + ": not an object of values";
    keys->Create(key);
    for (const auto& [name, data] : values.items()) {
      RegValue value;
      if (!ValueFromJson(data, &value)) {
        return where + ": value \"" + name + "\": not a number, a text or a typed value";
      }
      keys->Set(key, name, std::move(value));
    }
  }
  return {};
}

std::string JsonFileStore::Load() {
  keys = KeyTree();
  std::string text, problem;
  if (!ReadAll(path_, &text, &problem)) return {};
  if (problem.empty()) problem = FromJson(text, &keys);
  keys.MarkSaved();
  if (problem.empty()) return {};
  keys = KeyTree();
  const std::string aside = path_ + ".corrupt";
  std::string moved = rename(path_.c_str(), aside.c_str()) == 0
                          ? "it is now " + aside
                          : std::string("it could not be moved aside: ") + std::strerror(errno);
  return "the settings file " + path_ + " cannot be read (" + problem + "); " + moved +
         ", and the default settings are used";
}

std::string JsonFileStore::Save() {
  if (std::string error = MakeFolder(FolderOf(path_)); !error.empty()) return error;
  return common::WriteFileAtomically(path_, ToJson(keys));
}

std::string UserSettingsPath() {
  // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
    return std::string(config) + "/jubo/registry.json";
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || *home == '\0') return {};
  return std::string(home) + "/.config/jubo/registry.json";
}

}  // namespace settings
