// The phone remote, seen from the views: the Settings view switches it and forgets the paired
// phones through this; the edge that serves the phone page (phone/) answers.
#pragma once

#include <string>

namespace screen {

class PhoneRemote {
 public:
  virtual ~PhoneRemote() = default;
  // Starts serving the phone page and shows the pairing panel (`on`), or stops serving. Returns
  // "" once done, else why the page cannot be served ("port 8765 is in use ..."); it is then off.
  virtual std::string Switch(bool on) = 0;
  // Every paired phone's token stops working, now and after a restart.
  virtual void ForgetPhones() = 0;
};

}  // namespace screen
