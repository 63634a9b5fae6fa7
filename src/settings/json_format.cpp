#include "settings/json_format.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace settings {
namespace {

// The file is never held as one document: nlohmann's ordered objects find a member by a
// search of those before it, which made a key of many values slow to read and write. Values
// are small, and are the only documents made; their objects need no order.
using Json = nlohmann::json;

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

// `j` as the file spells it at the depth of a key's value (four spaces in). Texts never hold a
// line break of their own (it is escaped), so each break is one of the layout's.
std::string Dumped(const Json& j) {
  std::string text = j.dump(2, ' ', false, Json::error_handler_t::replace);
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    text.insert(at + 1, "    ");
  }
  return text;
}

// What `j` shows of itself in a message: its JSON, cut short when long.
std::string Shown(const Json& j) {
  constexpr size_t kMost = 40;
  const std::string text = j.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (text.size() <= kMost) return text;
  size_t cut = kMost;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut) + "...";
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

// A JSON number as a DWORD: its 32 bits, read as signed. Returns "" or what is wrong.
std::string Dword(const Json& j, int32_t* number) {
  const bool fits = j.is_number_unsigned() ? j.get<uint64_t>() <= UINT32_MAX
                                           : j.is_number_integer() && j.get<int64_t>() >= INT32_MIN;
  if (!fits) return Shown(j) + " is not a whole number from -2147483648 to 4294967295";
  *number = static_cast<int32_t>(static_cast<uint32_t>(j.get<int64_t>()));
  return {};
}

// Reads a value; returns "" or what is wrong with it.
std::string ValueFromJson(const Json& j, RegValue* v) {
  if (j.is_string()) {
    v->text = j.get<std::string>();
    v->type = TextType(v->text);
    return {};
  }
  if (j.is_number()) {
    v->type = REG_DWORD;
    return Dword(j, &v->number);
  }
  const TypeName* type = nullptr;
  for (const TypeName& t : kTypeNames) {
    if (j.is_object() && j.size() == 1 && j.begin().key() == t.name) type = &t;
  }
  if (type == nullptr) return Shown(j) + " is not a number, a text or a typed value";
  const Json& data = j.begin().value();
  v->type = type->type;
  if (type->type == REG_DWORD || type->type == REG_DWORD_BIG_ENDIAN) {
    return Dword(data, &v->number);
  }
  if (!data.is_string()) return Shown(data) + " is not a text";
  if (type->type == REG_BINARY) {
    return FromHex(data.get<std::string>(), &v->bytes) ? ""
                                                       : Shown(data) + " is not hexadecimal bytes";
  }
  v->text = data.get<std::string>();
  return {};
}

// Takes the parser's events into a key tree. The top object's members are keys, and theirs are
// values; each value, or a key's member that is no object, is gathered whole as a small
// document and then judged on its own, so that one bad member costs only itself.
class TreeReader : public nlohmann::json_sax<Json> {
 public:
  TreeReader(KeyTree* keys, std::vector<std::string>* skipped) : keys_(keys), skipped_(skipped) {}

  bool null() override { return Scalar(nullptr); }
  bool boolean(bool b) override { return Scalar(b); }
  bool number_integer(number_integer_t n) override { return Scalar(n); }
  bool number_unsigned(number_unsigned_t n) override { return Scalar(n); }
  bool number_float(number_float_t n, const string_t&) override { return Scalar(n); }
  bool string(string_t& s) override { return Scalar(std::move(s)); }
  bool binary(binary_t& b) override { return Scalar(std::move(b)); }
  bool start_object(size_t) override { return Open(Json::object()); }
  bool start_array(size_t) override { return Open(Json::array()); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }

  bool key(string_t& name) override {
    if (!open_.empty()) {
      member_ = std::move(name);
    } else if (depth_ == kInKeys) {
      key_text_ = std::move(name);
    } else {
      value_name_ = std::move(name);
    }
    return true;
  }

  bool parse_error(size_t, const std::string&, const nlohmann::detail::exception& e) override {
    // What follows nlohmann's "[json.exception.parse_error.101] " is for the user.
    const std::string what = e.what();
    const size_t start = what.find("] ");
    error_ = what.substr(start == std::string::npos ? 0 : start + 2);
    return false;
  }

  const std::string& error() const { return error_; }

 private:
  // Where the parser is, outside any document being gathered.
  enum Depth { kOutside, kInKeys, kInValues };

  bool Scalar(Json j) {
    if (!open_.empty()) {
      Add(std::move(j));
      return true;
    }
    if (depth_ == kOutside) return NotAnObject();
    gathered_ = std::move(j);
    Judge();
    return true;
  }

  bool Open(Json container) {
    if (!open_.empty()) {
      open_.push_back(Add(std::move(container)));
      return true;
    }
    if (depth_ == kOutside) {
      if (!container.is_object()) return NotAnObject();
      depth_ = kInKeys;
      return true;
    }
    if (depth_ == kInKeys && container.is_object() && !KeyPathOf(key_text_).empty()) {
      key_ = KeyPathOf(key_text_);
      keys_->Create(key_);
      depth_ = kInValues;
      return true;
    }
    gathered_ = std::move(container);
    open_.push_back(&gathered_);
    return true;
  }

  bool Close() {
    if (open_.empty()) {
      depth_ = depth_ == kInValues ? kInKeys : kOutside;
      return true;
    }
    open_.pop_back();
    if (open_.empty()) Judge();
    return true;
  }

  // Puts `j` into the innermost document being gathered; returns where it went.
  Json* Add(Json j) {
    Json& into = *open_.back();
    if (into.is_object()) return &(into[member_] = std::move(j));
    into.push_back(std::move(j));
    return &into.back();
  }

  // A gathered member whole: a value written into the key, or what is wrong with it.
  void Judge() {
    if (depth_ == kInKeys) {
      skipped_->push_back("key \"" + key_text_ + "\": " +
                          (KeyPathOf(key_text_).empty()
                               ? "a key needs a name"
                               : Shown(gathered_) + " is not an object of values"));
      return;
    }
    RegValue value;
    if (std::string why = ValueFromJson(gathered_, &value); !why.empty()) {
      skipped_->push_back("key \"" + key_text_ + "\", value \"" + value_name_ + "\": " + why);
      return;
    }
    keys_->Set(key_, value_name_, std::move(value));
  }

  bool NotAnObject() {
    error_ = "not an object of keys";
    return false;
  }

  KeyTree* keys_;
  std::vector<std::string>* skipped_;
  std::string error_;
  Depth depth_ = kOutside;
  std::string key_text_;     // the member naming the key being read, as written
  KeyPath key_;              // its path, once it has one and its values are read
  std::string value_name_;   // the value being read
  Json gathered_;            // the member being gathered whole
  std::vector<Json*> open_;  // its containers still open, innermost last
  std::string member_;       // the name of the next member of the innermost open object
};

}  // namespace

std::string ToJson(const KeyTree& keys) {
  std::string text = "{";
  const char* before_key = "\n";
  for (const auto& [path, key] : keys.keys()) {
    // A parent without values of its own comes back with its children.
    if (key.values().empty() && keys.HasSubKeys(path)) continue;
    text += before_key;
    before_key = ",\n";
    text += "  " + Dumped(PathText(path)) + ": {";
    const char* before_value = "\n";
    for (const auto& [name, value] : key.values()) {
      text += before_value;
      before_value = ",\n";
      text += "    " + Dumped(name) + ": " + Dumped(ValueJson(value));
    }
    text += key.values().empty() ? "}" : "\n  }";
  }
  text += text.size() == 1 ? "}\n" : "\n}\n";
  return text;
}

std::string FromJson(std::string_view text, KeyTree* keys, std::vector<std::string>* skipped) {
  TreeReader reader(keys, skipped);
  if (Json::sax_parse(text, &reader)) return {};
  return reader.error();
}

}  // namespace settings
