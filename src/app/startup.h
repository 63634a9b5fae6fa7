// The program's life: start-up in its fixed order, the Main Menu, the event loop until the
// program ends.
#pragma once

namespace app {

struct Jubo;

inline constexpr const char* kProductName = "Jubo Music Player";
inline constexpr const char* kVersionText = "Version 1.2.0";
inline constexpr const char* kMissingLibrary =
    "jubodb.txt file not found.  Please see the Setup section of the help file for details";

// Runs the program on a wired context (outside world set, `folder` the program's folder) and
// returns its exit status: 0 after a confirmed exit or a request to end, 1 when the library is
// missing or cannot be read (after the message has been shown and dismissed, from the keyboard
// or the remote control: with a runtime folder set, the remote listens from before the library
// opens until the program ends).
int RunJubo(Jubo& jubo);

}  // namespace app
