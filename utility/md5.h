// MD5 message digest (RFC 1321) of byte ranges and whole files, as digest
// text: 32 lowercase hexadecimal characters. Reentrant; any thread. Failures
// show only as a false result or an empty text; nothing is logged.
#pragma once

#include <cstdint>
#include <string>

namespace utility {

// Incremental digest state. A new context holds the RFC 1321 initial values
// and a zero length. Not shared between threads without a lock of the caller.
struct Md5Context {
  uint32_t state[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
  uint32_t count[2] = {0, 0};  // message length in bits: low, high
  unsigned char buffer[64] = {};
  unsigned char digest[16] = {};
  bool finished = false;

  // Adds `length` bytes at `data` (may be null only when length is 0).
  // Does nothing once the context is finished.
  void update(const void* data, uint32_t length);

  // Pads, appends the bit length and produces `digest`; a second call does nothing.
  void finish();

  // out: at least 33 bytes. Writes the digest text and a terminating zero when
  // finished, otherwise an empty text.
  void toHex(char* out) const;
};

// False, with `out` unchanged, when data is null or length <= 0; otherwise
// `out` becomes the digest text of the `length` bytes and the result is true.
bool md5OfBuffer(const void* data, int length, std::string& out);

// Digest text of the whole file's content (any size), read in pieces of at
// most 1 MiB. Empty when the file cannot be opened (it is opened with read
// sharing only, so a file another handle holds open for writing fails), has
// no content, or a read fails.
std::string md5OfFile(const std::wstring& path);

}  // namespace utility
