// Moving pictures made outside the screen (the media player's visualisation of the sound), for
// the screen's Video controls to show. Everything here runs on the event loop's thread: a
// source that makes its pictures on threads of its own only posts a task to the loop when one
// is ready, and counts it from that task. The posted task is what makes the loop look at the
// screen again, so a new picture is drawn with no timer and no polling.
#pragma once

#include <cstdint>

namespace platform {

class VideoSource {
 public:
  virtual ~VideoSource() = default;

  // How many pictures the source has made so far. It grows by one for each new picture, and
  // only from a task the source posted to the loop; it stays put while none are made.
  virtual int64_t PicturesMade() const = 0;

  // The size in pixels of the pictures the source makes; drawn at that size, a picture needs
  // no scaling of its own.
  virtual int PictureWidth() const = 0;
  virtual int PictureHeight() const = 0;

  // Draws the newest picture into `pixels`, a surface `width` x `height` pixels large whose rows
  // start `pitch` bytes apart (a multiple of 4, at least 4 * `width`). Each pixel is 4 bytes: blue,
  // green, red, then a byte of no meaning, in increasing address order. A picture of another
  // size is scaled to fit, keeping its proportions, with black bars where it does not fill.
  // Returns false when it cannot draw (the source has never made a picture, or fails); the
  // pixels are then left undefined.
  virtual bool DrawPicture(int width, int height, int pitch, void* pixels) = 0;
};

}  // namespace platform
