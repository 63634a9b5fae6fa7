#include "textdb/collation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace textdb {
namespace {

// One collator for the process; ICU allows concurrent use of a collator's const operations.
const UCollator* RootCollator() {
  static const UCollator* collator = [] {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open("", &status);
    if (U_FAILURE(status)) {
      // Without ICU's data nothing can be ordered; this is an installation fault.
      std::fprintf(stderr, "jubo: cannot open the ICU collator: %s\n", u_errorName(status));
      std::abort();
    }
    ucol_setStrength(c, UCOL_SECONDARY);
    return c;
  }();
  return collator;
}

}  // namespace

std::string CollationKey(std::string_view utf8) {
  thread_local std::vector<UChar> utf16;
  thread_local std::vector<uint8_t> key;
  if (utf16.size() < utf8.size() + 1) utf16.resize(utf8.size() + 1);
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  // Invalid sequences become U+FFFD rather than failing: the loader already hands us UTF-8.
  u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, utf8.data(),
                       static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) length = 0;
  if (key.size() < 64) key.resize(64);
  for (;;) {
    int32_t needed = ucol_getSortKey(RootCollator(), utf16.data(), length, key.data(),
                                     static_cast<int32_t>(key.size()));
    if (needed <= static_cast<int32_t>(key.size())) {
      // The key ends with a NUL terminator that carries no ordering information.
      return std::string(reinterpret_cast<const char*>(key.data()), needed > 0 ? needed - 1 : 0);
    }
    key.resize(needed);
  }
}

std::string TrackKey(std::string_view utf8) {
  size_t i = 0;
  while (i < utf8.size() && (utf8[i] == ' ' || utf8[i] == '\t')) ++i;
  if (i == utf8.size() || utf8[i] < '0' || utf8[i] > '9') {
    std::string key(1, '\x02');
    key += CollationKey(utf8);
    return key;
  }
  uint64_t value = 0;
  for (; i < utf8.size() && utf8[i] >= '0' && utf8[i] <= '9'; ++i) {
    uint64_t digit = static_cast<uint64_t>(utf8[i] - '0');
    value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
  }
  std::string key(1, '\x01');
  for (int shift = 56; shift >= 0; shift -= 8) key.push_back(static_cast<char>(value >> shift));
  key += CollationKey(utf8);
  return key;
}

}  // namespace textdb
