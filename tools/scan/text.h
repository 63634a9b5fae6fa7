// Text as the library file needs it: UTF-8, one line per field.
#pragma once

#include <string>
#include <string_view>

namespace scan {

// True when `text` is valid UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsUtf8(std::string_view text);

// Text fit for a field: invalid UTF-8 replaced by U+FFFD, control characters (line breaks,
// tabs, NUL) by spaces, spaces at either end removed.
std::string CleanText(std::string_view text);

// The extension after the last dot of the path's last component ("flac" for "/m/a.b.flac");
// empty when there is none or the name only begins with a dot.
std::string_view Extension(std::string_view path);

// The path's last component without its extension, cleaned ("/m/01 Intro.ogg" gives "01 Intro").
std::string FileNameTitle(std::string_view path);

}  // namespace scan
