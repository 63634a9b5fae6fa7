#include "scan/text.h"

namespace scan {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at the start of non-empty `s`, or 0 if none is there.
size_t SequenceLength(std::string_view s) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range allowed for the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (s.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    const size_t length = SequenceLength(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::string CleanText(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  while (!text.empty()) {
    const size_t length = SequenceLength(text);
    const unsigned char c = static_cast<unsigned char>(text[0]);
    if (length == 0) {
      clean += kReplacement;
      text.remove_prefix(1);
      continue;
    }
    if (length == 1 && (c < 0x20 || c == 0x7F)) {
      clean += ' ';
    } else {
      clean += text.substr(0, length);
    }
    text.remove_prefix(length);
  }
  const size_t begin = clean.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  return clean.substr(begin, clean.find_last_not_of(' ') - begin + 1);
}

std::string_view Extension(std::string_view path) {
  const std::string_view name = path.substr(path.rfind('/') + 1);  // npos + 1 is 0
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  return name.substr(dot + 1);
}

std::string FileNameTitle(std::string_view path) {
  std::string_view name = path.substr(path.rfind('/') + 1);
  const std::string_view extension = Extension(name);
  if (!extension.empty()) name.remove_suffix(extension.size() + 1);
  return CleanText(name);
}

}  // namespace scan
