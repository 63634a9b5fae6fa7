// Text ordering of the driver: ICU root collation at secondary strength, so comparison is
// case-insensitive and accent-aware ("amber" < "Blue", "Élan" next to "Elan", "élan" == "Élan").
// Sort keys compare bytewise (memcmp) in the same order as the collation.
#pragma once

#include <string>
#include <string_view>

namespace textdb {

// Sort key of a UTF-8 text under the driver's collation. Thread-safe.
std::string CollationKey(std::string_view utf8);

// Sort key of a `Track` value: texts that begin with digits (after blanks) sort first, by the
// value of those leading digits ("3" and "03/12" both as 3), ties by the whole text; texts that
// are no number sort after every number, by collation.
std::string TrackKey(std::string_view utf8);

}  // namespace textdb
