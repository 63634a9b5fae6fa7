// The media player on libmpv: one audio file at a time, the one that follows it queued in mpv's
// playlist, opened ahead and played on through the same audio output (a picture or a video's
// picture is never shown: a file without sound fails to open), to the system's default audio output
// or the one named. mpv decodes and plays on threads of its own; they only wake the program's event
// loop, and the player reads mpv's events on the loop's thread, where it raises its own.
//
// How mpv's behaviour maps onto the play states: a loaded file waits paused (Ready); stop
// pauses and goes back to the beginning, keeping the file loaded; fast forward plays at four
// times the speed (faster would be silent); at the end of a song mpv keeps the file open and
// pauses itself, which the player reports as media ended. mpv opens the audio output when a
// song is loaded; when none opens, the song's sound ends at once, and once it is to play the
// player reports the output failure (naming the output, or the outputs mpv tried in turn), not
// an unplayable song.
// The volume starts at half of mpv's full volume. ReplayGain is applied by the player itself, the
// tags' gain folded into mpv's volume: mpv's own replaygain option has no effect on sound that
// passes a filter graph, as it does while the visualisation shows.
// A Snapcast pipe is given to mpv only while a server reads it: mpv would wait forever to open
// one that none reads, and the program with it; a song is refused instead, as when an output
// fails, with the reason.
// The file that follows waits out of mpv's playlist while fast-forwarding.
//
// The visualisation: while it shows, mpv's filters split the sound between the audio output and
// a constant-Q spectrum (notes from low to high across, a scrolling history below), made at
// PictureWidth x PictureHeight, 30 pictures a second; the screen scales it up. The player is
// the VideoSource of those pictures. When mpv cannot draw pictures at all, the player plays as
// before and never makes one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ground/event_loop.h"
#include "platform/video_source.h"
#include "playback/media_player.h"

namespace platform {

class MpvPlayer final : public playback::MediaPlayer, public VideoSource {
 public:
  // Starts mpv. `audio_output` is given to mpv's `ao` option ("null" for no sound, "pulse",
  // "alsa", ...), or is "snapcast:" and the path of a Snapcast server's pipe; empty means the
  // outputs mpv knows, tried in turn (without "sdl" where SDL's silent dummy driver is chosen,
  // which would play into nothing), and a device the user chooses. A named output is fixed: no
  // device chosen later changes it. Returns nullptr, with a reason in *error, when mpv cannot
  // start or does not know the output. The player posts to `loop` until it is destroyed, so it
  // must be destroyed first.
  static std::unique_ptr<MpvPlayer> Create(ground::EventLoop& loop, const std::string& audio_output,
                                           std::string* error);
  ~MpvPlayer() override;
  MpvPlayer(const MpvPlayer&) = delete;
  MpvPlayer& operator=(const MpvPlayer&) = delete;

  const std::string& URL() const override;
  void SetURL(const std::string& url) override;
  const std::string& NextURL() const override;
  void SetNextURL(const std::string& url) override;
  int playState() const override;
  void play() override;
  void pause() override;
  void stop() override;
  void fastForward() override;
  double currentPosition() const override;
  void SetCurrentPosition(double seconds) override;
  double duration() const override;
  void SetVisualization(bool visible) override;
  void SetVolume(int percent, bool muted) override;
  void SetReplayGain(playback::ReplayGain mode) override;
  void SetListener(playback::MediaPlayerEvents* listener) override;
  std::vector<AudioDevice> AudioDevices() const override;
  void SetAudioDevice(const std::string& name) override;
  const std::string& FixedAudioOutput() const override;

  int64_t PicturesMade() const override;
  int PictureWidth() const override;
  int PictureHeight() const override;
  bool DrawPicture(int width, int height, int pitch, void* pixels) override;

 private:
  class Impl;
  explicit MpvPlayer(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
