// The media player component, as program code sees it: one file at a time, loaded by name, and
// the file that follows it without a gap, transport controls, position and length, and its events.
// Play-state codes are the component's: 1 Stopped, 2 Paused, 3 Playing, 4 fast-forwarding, 8 media
// ended, 10 Ready; 9 while a file is being opened (neither ready nor stopped).
//
// Everything here is called on the UI thread, and events arrive there too, always after the
// call that caused them has returned (never from inside a call). An event is delivered only
// while the file it concerns is still the one loaded: setting URL drops the old file's events
// that have not been delivered yet.
#pragma once

#include <string>
#include <vector>

namespace playback {

inline constexpr int kStopped = 1;
inline constexpr int kPaused = 2;
inline constexpr int kPlaying = 3;
inline constexpr int kFastForward = 4;
inline constexpr int kMediaEnded = 8;
inline constexpr int kTransitioning = 9;
inline constexpr int kReady = 10;

// Why no sound could be played: no audio output opened. Not the song's fault.
// Which of a file's ReplayGain tags evens its loudness: none, the song's own, or its album's
// (which keeps an album's quiet and loud songs as they were mastered).
enum class ReplayGain { kOff, kTrack, kAlbum };

struct AudioOutputFailure {
  std::string output;   // the output tried; several, tried in turn, are separated by commas
  std::string message;  // the player's reason, e.g. "audio output initialization failed"
};

// What the player tells the program. The player does not own the listener.
class MediaPlayerEvents {
 public:
  virtual ~MediaPlayerEvents() = default;
  // The open state changed: a file began opening, finished opening, or could not be opened.
  virtual void OpenStateChange() = 0;
  // The play state became `NewState`: kMediaEnded when the song played to its end, kPlaying
  // whenever playing starts or resumes (after a pause or a fast forward too).
  virtual void PlayStateChange(int NewState) = 0;
  // The loaded file cannot be opened or played. The player is then Stopped.
  virtual void Error() = 0;
  // A song was to play but no audio output could be opened for it. The player is then
  // Stopped, the file still its URL; play tries again. Raised instead of Error: the song
  // itself may be fine.
  virtual void AudioOutputFailed(const AudioOutputFailure&) {}
  // An audio output opened: sound reaches it (raised again whenever one opens anew).
  virtual void AudioOutputOpened() {}

  // The song played to its end and the player moved into NextURL by itself: URL() is now that
  // file and NextURL() empty. Raised instead of PlayStateChange(kMediaEnded); what follows is
  // what follows a file set and asked to play: PlayStateChange(kPlaying) once it plays, or
  // OpenStateChange and Error when it cannot be played.
  virtual void MovedToNext() {}
};

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;

  // The file loaded, as it was given; empty before the first. Setting it stops what plays and
  // opens the file, which settles in Ready without playing (or raises Error later). Opening
  // is not finished when SetURL returns: transport calls made meanwhile take effect once the
  // file is open (play then starts it, stop leaves it Stopped).
  virtual const std::string& URL() const = 0;
  virtual void SetURL(const std::string& url) = 0;

  // The file that follows URL without a gap: when the song plays to its end at normal speed
  // (not while fast-forwarding), the player moves into it, opened ahead of time, and raises
  // MovedToNext. Empty (the default) for none: the song then ends with kMediaEnded. Setting
  // URL empties it; setting it again replaces the file that follows. A player that cannot keeps
  // none (these defaults): its songs end with kMediaEnded.
  virtual const std::string& NextURL() const {
    static const std::string kNone;
    return kNone;
  }
  virtual void SetNextURL(const std::string& url) { (void)url; }

  virtual int playState() const = 0;

  // controls.play starts the song, resumes it after a pause, returns to normal speed from fast
  // forward, and starts over from the beginning once the song has ended or was stopped. With
  // a file that failed to open, play tries to open it again.
  virtual void play() = 0;
  virtual void pause() = 0;
  // Stops and returns to the beginning; the file stays loaded.
  virtual void stop() = 0;
  virtual void fastForward() = 0;

  // controls.currentPosition in seconds, within [0, duration]. Setting a position outside
  // that range goes to the nearest end: a negative one starts the song from its beginning.
  virtual double currentPosition() const = 0;
  virtual void SetCurrentPosition(double seconds) = 0;
  // currentMedia.duration: the loaded song's length in seconds; 0 until it is known.
  virtual double duration() const = 0;

  // The player window: while it shows, the player turns the sound it plays into a moving
  // picture (its visualisation), which a screen::Video control shows; hidden, it makes none
  // (making it costs processor time all along). Switching either way keeps the song playing
  // where it is, without a gap, and holds for the songs that follow.
  virtual void SetVisualization(bool visible) = 0;

  // Volume and loudness, each held from the call on, for the file loaded and those after.
  // SetVolume: `percent` 0 to 100 of the player's full volume; muted plays silence, the level
  // kept. SetReplayGain: the file's tagged gain of that kind is applied, lowered where it would
  // make the song's tagged peak clip; a file without the tags plays as it is.
  virtual void SetVolume(int percent, bool muted) = 0;
  virtual void SetReplayGain(ReplayGain mode) = 0;

  // Where events go; nullptr for nowhere.
  virtual void SetListener(MediaPlayerEvents* listener) = 0;

  // Where the sound goes. A device is named as the player's list names it: "auto" (the
  // system's choice), "pulse/alsa_output.pci-0000_00_1f.3.hdmi-stereo" ..., or kSnapcast and a
  // pipe's path: raw 48 kHz 16-bit stereo into the pipe a Snapcast server reads, paced by it.
  struct AudioDevice {
    std::string name;
    std::string description;  // what a person reads: "HDMI / DisplayPort (HDA Intel PCH)"
  };
  static constexpr const char* kSnapcast = "snapcast:";
  // The devices the system offers now, "auto" first (a Snapcast pipe is never among them).
  virtual std::vector<AudioDevice> AudioDevices() const = 0;
  // Sends the sound to `name` from now on, also for the song playing. A device that does not
  // open (gone, or a pipe no server reads) is told as AudioOutputFailed, naming the device,
  // when a song is to play; it never holds the program up. Ignored while FixedAudioOutput is
  // set.
  virtual void SetAudioDevice(const std::string& name) = 0;
  // The output named from outside when the player was made (JUBO_AUDIO_OUTPUT), which no
  // choice overrides; empty when the user chooses.
  virtual const std::string& FixedAudioOutput() const = 0;
};

}  // namespace playback
