#include "phone/pairing.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <openssl/crypto.h>
#include <openssl/sha.h>
#include <qrencode.h>
#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace phone {
namespace {

void RandomBytes(void* out, size_t n) {
  auto* bytes = static_cast<uint8_t*>(out);
  while (n > 0) {
    ssize_t got = getrandom(bytes, n, 0);
    if (got < 0 && errno == EINTR) continue;
    // Without the kernel's randomness no secret can be made; nothing sensible goes on.
    if (got < 0) throw std::runtime_error("getrandom failed");
    bytes += got;
    n -= static_cast<size_t>(got);
  }
}

std::string Hex(const uint8_t* bytes, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < n; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  return hex;
}

}  // namespace

std::string NewPairingCode() {
  // Below the largest multiple of a million, so that no code is likelier than another.
  constexpr uint32_t kLimit = UINT32_MAX - UINT32_MAX % 1000000;
  uint32_t n = 0;
  do RandomBytes(&n, sizeof n);
  while (n >= kLimit);
  char code[8];
  std::snprintf(code, sizeof code, "%06u", n % 1000000);
  return code;
}

std::string NewToken() {
  uint8_t bytes[32];
  RandomBytes(bytes, sizeof bytes);
  return Hex(bytes, sizeof bytes);
}

std::string Sha256Hex(std::string_view text) {
  uint8_t digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const uint8_t*>(text.data()), text.size(), digest);
  return Hex(digest, sizeof digest);
}

bool TokenKnown(std::string_view token, const std::vector<std::string>& hashes) {
  const std::string hash = Sha256Hex(token);
  int known = 0;
  for (const std::string& stored : hashes) {
    if (stored.size() == hash.size()) {
      known |= CRYPTO_memcmp(stored.data(), hash.data(), hash.size()) == 0;
    }
  }
  return known != 0;
}

std::string PageAddress(int port) {
  std::string ip = "127.0.0.1";
  ifaddrs* interfaces = nullptr;
  if (getifaddrs(&interfaces) == 0) {
    for (ifaddrs* i = interfaces; i != nullptr; i = i->ifa_next) {
      if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
      if ((i->ifa_flags & IFF_LOOPBACK) != 0 || (i->ifa_flags & IFF_UP) == 0) continue;
      char text[INET_ADDRSTRLEN];
      const auto* address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
      if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
        ip = text;
        break;
      }
    }
    freeifaddrs(interfaces);
  }
  return "http://" + ip + ":" + std::to_string(port) + "/";
}

screen::QrModules QrCodeOf(const std::string& text) {
  screen::QrModules qr;
  QRcode* code = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
  if (code == nullptr) return qr;
  qr.size = code->width;
  qr.dark.resize(static_cast<size_t>(code->width * code->width));
  for (size_t i = 0; i < qr.dark.size(); ++i) qr.dark[i] = (code->data[i] & 1) != 0;
  QRcode_free(code);
  return qr;
}

}  // namespace phone
