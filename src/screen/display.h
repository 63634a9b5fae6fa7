// The display, seen from program code: which forms show (as layers, the last shown on top),
// the mouse pointer, and the system's own screen saver.
#pragma once

#include <cstdint>
#include <functional>

#include "screen/form.h"

namespace screen {

class Display {
 public:
  virtual ~Display() = default;

  // Size of the whole screen (or of the JUBO_WINDOW window) in pixels.
  virtual int WidthPixels() const = 0;
  virtual int HeightPixels() const = 0;

  // Shows `form` above every form showing, or hides it. The form must outlive its showing.
  virtual void Show(const Form* form) = 0;
  virtual void Hide(const Form* form) = 0;

  // Draws the shown forms now, for a form that must show before a long step (the splash).
  virtual void Repaint() = 0;

  // How many pictures have been put on the screen so far, for measuring how often it is drawn.
  virtual int64_t FramesPresented() const = 0;

  virtual void SetPointerVisible(bool visible) = 0;
  // SystemSaverOn / SystemSaverOff: lets the system's screen saver start, or keeps it off.
  virtual void SetSystemSaver(bool enabled) = 0;

  // Called on the loop's thread after each picture put on the screen, which happens only when
  // what the shown forms look like changed: the moment for followers of the screen to look
  // again. One listener; an empty function removes it. A display that draws nothing never
  // calls it.
  virtual void SetFrameListener(std::function<void()> listener) { (void)listener; }
};

}  // namespace screen
