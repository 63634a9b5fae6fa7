// Leaving the program: the exit question that Escape raises, and the ending itself.
#pragma once

namespace app {

struct Jubo;

// Escape: closes the screen saver if it shows, asks "Exit Jubo Player?" and, on Yes, ends the
// program. Returns true when the program is ending.
bool ExitRequest(Jubo& jubo);

// Ends the program with `status` as a confirmed exit does: settings saved, the system's screen
// saver allowed again, the remotes stopped; every event loop then unwinds. Window close,
// SIGTERM and SIGINT come here without the question.
void EndProgram(Jubo& jubo, int status);

// Stops every way in from outside: the socket, MPRIS, lircd and the phone remote. No key is
// taken from them after this.
void StopRemotes(Jubo& jubo);

}  // namespace app
