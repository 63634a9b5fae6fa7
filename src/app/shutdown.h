// Leaving the program: the exit question that Escape raises, and the ending itself.
#pragma once

namespace app {

struct Jubo;

// Escape: closes the screen saver if it shows, asks "Exit Jubo Player?" and, on Yes, ends the
// program. Returns true when the program is ending.
bool ExitRequest(Jubo& jubo);

// Ends the program with `status` as a confirmed exit does: settings saved, the system's screen
// saver allowed again, the remote endpoint closed; every event loop then unwinds. Window close,
// SIGTERM and SIGINT come here without the question.
void EndProgram(Jubo& jubo, int status);

}  // namespace app
