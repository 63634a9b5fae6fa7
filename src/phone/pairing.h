// What pairing a phone takes: the code shown on the TV, the token a paired phone keeps, the
// address the phone opens and its QR code. Codes and tokens come from the kernel's CSPRNG;
// only a token's SHA-256 is kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "screen/pairing_panel.h"

namespace phone {

// Six decimal digits, each of the million codes as likely.
std::string NewPairingCode();
// 32 random bytes as 64 lowercase hex digits.
std::string NewToken();
// SHA-256 of `text`, as 64 lowercase hex digits.
std::string Sha256Hex(std::string_view text);
// Whether `token` hashes to one of `hashes`, taking the same time whichever (if any) it is.
bool TokenKnown(std::string_view token, const std::vector<std::string>& hashes);

// "http://<first non-loopback IPv4 address>:<port>/", 127.0.0.1 when the machine has none.
std::string PageAddress(int port);
// The QR code of `text` (error correction M); an empty code (size 0) if it cannot be made.
screen::QrModules QrCodeOf(const std::string& text);

}  // namespace phone
