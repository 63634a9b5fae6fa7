// The MPRIS remote: the player on the session bus as org.mpris.MediaPlayer2.jubo (object
// /org/mpris/MediaPlayer2, interfaces org.mpris.MediaPlayer2 and .Player), so that desktop
// media keys, playerctl, KDE Connect and phone apps drive it and show its song.
//
// A thread of its own serves the bus and only posts into the event loop: every method becomes
// the key that does the same (P, S, N, B), delivered as if pressed, or, where no key exists
// (a seek, an absolute volume), the one engine function the keys use too. What the bus reads is
// a copy of the player's state (MprisState) that the loop's thread publishes after a change; the
// bus thread then signals PropertiesChanged for what differs. The position is asked of the
// loop's thread when read, and never signalled.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace screen {
struct ScreenContext;
}

namespace remote {

// What the bus shows of the player.
struct MprisState {
  std::string status = "Stopped";  // PlaybackStatus: "Playing", "Paused" or "Stopped"
  bool repeat = false;             // LoopStatus "Playlist", else "None"
  double volume = 0;               // 0 to 1; 0 while muted
  int32_t entry = -1;              // the playlist's current entry; -1 for none
  std::string title, artist, album;
  std::string url;         // the entry's file as a file:// URL
  int64_t length_us = 0;   // the song's length in microseconds; 0 until known
  double position = 0;     // seconds, when published (the answer when the loop is too busy)
  bool has_songs = false;  // the playlist holds a song: it can play, pause, move and seek

  bool operator==(const MprisState&) const = default;
};

// The state as the program holds it now. On the loop's thread.
MprisState ReadMprisState(const screen::ScreenContext& jubo);

// The level 0 to 100 a player volume of 0 to 1 stands for, to the nearest volume-key step.
int VolumeLevel(double volume);

class Mpris {
 public:
  // Connects to the session bus and takes the player's name (a second copy on the same bus, as
  // in tests, takes org.mpris.MediaPlayer2.jubo.instance<pid>). `jubo` is read and changed on
  // the loop's thread only; `quit` ends the program as SIGTERM does. Returns nullptr with the
  // reason in *error when there is no session bus or it refuses the name.
  static std::unique_ptr<Mpris> Start(screen::ScreenContext& jubo, std::function<void()> quit,
                                      std::string* error);
  // Leaves the bus; a method that arrives meanwhile is not delivered.
  ~Mpris();
  Mpris(const Mpris&) = delete;
  Mpris& operator=(const Mpris&) = delete;

  // On the loop's thread, after the player, its song, the playlist or the volume changed: the
  // bus shows the state from now on and signals what differs.
  void Publish();

 private:
  class Bus;
  explicit Mpris(std::unique_ptr<Bus> bus);
  std::unique_ptr<Bus> bus_;
};

}  // namespace remote
