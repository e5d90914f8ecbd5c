#include "utility/md5.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "utility/handle.h"

namespace utility {

namespace {

inline uint32_t rotl(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline uint32_t load32(const unsigned char* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);  // x86 is little-endian, as MD5 wants
  return v;
}

// The four round functions, written so the compiler can overlap their terms.
#define ZQ_MD5_F(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define ZQ_MD5_G(b, c, d) (((b) & (d)) + ((c) & ~(d)))
#define ZQ_MD5_H(b, c, d) ((b) ^ (c) ^ (d))
#define ZQ_MD5_I(b, c, d) ((c) ^ ((b) | ~(d)))
#define ZQ_MD5_STEP(f, a, b, c, d, x, t, s) \
  (a) += f((b), (c), (d)) + (x) + (t);      \
  (a) = (b) + rotl((a), (s))

// Runs the compression function over `blocks` consecutive 64-byte blocks.
void md5Blocks(uint32_t state[4], const unsigned char* p, size_t blocks) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blocks; --blocks, p += 64) {
    const uint32_t x0 = load32(p), x1 = load32(p + 4), x2 = load32(p + 8), x3 = load32(p + 12),
                   x4 = load32(p + 16), x5 = load32(p + 20), x6 = load32(p + 24),
                   x7 = load32(p + 28), x8 = load32(p + 32), x9 = load32(p + 36),
                   x10 = load32(p + 40), x11 = load32(p + 44), x12 = load32(p + 48),
                   x13 = load32(p + 52), x14 = load32(p + 56), x15 = load32(p + 60);
    const uint32_t aa = a, bb = b, cc = c, dd = d;

    ZQ_MD5_STEP(ZQ_MD5_F, a, b, c, d, x0, 0xd76aa478u, 7);
    ZQ_MD5_STEP(ZQ_MD5_F, d, a, b, c, x1, 0xe8c7b756u, 12);
    ZQ_MD5_STEP(ZQ_MD5_F, c, d, a, b, x2, 0x242070dbu, 17);
    ZQ_MD5_STEP(ZQ_MD5_F, b, c, d, a, x3, 0xc1bdceeeu, 22);
    ZQ_MD5_STEP(ZQ_MD5_F, a, b, c, d, x4, 0xf57c0fafu, 7);
    ZQ_MD5_STEP(ZQ_MD5_F, d, a, b, c, x5, 0x4787c62au, 12);
    ZQ_MD5_STEP(ZQ_MD5_F, c, d, a, b, x6, 0xa8304613u, 17);
    ZQ_MD5_STEP(ZQ_MD5_F, b, c, d, a, x7, 0xfd469501u, 22);
    ZQ_MD5_STEP(ZQ_MD5_F, a, b, c, d, x8, 0x698098d8u, 7);
    ZQ_MD5_STEP(ZQ_MD5_F, d, a, b, c, x9, 0x8b44f7afu, 12);
    ZQ_MD5_STEP(ZQ_MD5_F, c, d, a, b, x10, 0xffff5bb1u, 17);
    ZQ_MD5_STEP(ZQ_MD5_F, b, c, d, a, x11, 0x895cd7beu, 22);
    ZQ_MD5_STEP(ZQ_MD5_F, a, b, c, d, x12, 0x6b901122u, 7);
    ZQ_MD5_STEP(ZQ_MD5_F, d, a, b, c, x13, 0xfd987193u, 12);
    ZQ_MD5_STEP(ZQ_MD5_F, c, d, a, b, x14, 0xa679438eu, 17);
    ZQ_MD5_STEP(ZQ_MD5_F, b, c, d, a, x15, 0x49b40821u, 22);

    ZQ_MD5_STEP(ZQ_MD5_G, a, b, c, d, x1, 0xf61e2562u, 5);
    ZQ_MD5_STEP(ZQ_MD5_G, d, a, b, c, x6, 0xc040b340u, 9);
    ZQ_MD5_STEP(ZQ_MD5_G, c, d, a, b, x11, 0x265e5a51u, 14);
    ZQ_MD5_STEP(ZQ_MD5_G, b, c, d, a, x0, 0xe9b6c7aau, 20);
    ZQ_MD5_STEP(ZQ_MD5_G, a, b, c, d, x5, 0xd62f105du, 5);
    ZQ_MD5_STEP(ZQ_MD5_G, d, a, b, c, x10, 0x02441453u, 9);
    ZQ_MD5_STEP(ZQ_MD5_G, c, d, a, b, x15, 0xd8a1e681u, 14);
    ZQ_MD5_STEP(ZQ_MD5_G, b, c, d, a, x4, 0xe7d3fbc8u, 20);
    ZQ_MD5_STEP(ZQ_MD5_G, a, b, c, d, x9, 0x21e1cde6u, 5);
    ZQ_MD5_STEP(ZQ_MD5_G, d, a, b, c, x14, 0xc33707d6u, 9);
    ZQ_MD5_STEP(ZQ_MD5_G, c, d, a, b, x3, 0xf4d50d87u, 14);
    ZQ_MD5_STEP(ZQ_MD5_G, b, c, d, a, x8, 0x455a14edu, 20);
    ZQ_MD5_STEP(ZQ_MD5_G, a, b, c, d, x13, 0xa9e3e905u, 5);
    ZQ_MD5_STEP(ZQ_MD5_G, d, a, b, c, x2, 0xfcefa3f8u, 9);
    ZQ_MD5_STEP(ZQ_MD5_G, c, d, a, b, x7, 0x676f02d9u, 14);
    ZQ_MD5_STEP(ZQ_MD5_G, b, c, d, a, x12, 0x8d2a4c8au, 20);

    ZQ_MD5_STEP(ZQ_MD5_H, a, b, c, d, x5, 0xfffa3942u, 4);
    ZQ_MD5_STEP(ZQ_MD5_H, d, a, b, c, x8, 0x8771f681u, 11);
    ZQ_MD5_STEP(ZQ_MD5_H, c, d, a, b, x11, 0x6d9d6122u, 16);
    ZQ_MD5_STEP(ZQ_MD5_H, b, c, d, a, x14, 0xfde5380cu, 23);
    ZQ_MD5_STEP(ZQ_MD5_H, a, b, c, d, x1, 0xa4beea44u, 4);
    ZQ_MD5_STEP(ZQ_MD5_H, d, a, b, c, x4, 0x4bdecfa9u, 11);
    ZQ_MD5_STEP(ZQ_MD5_H, c, d, a, b, x7, 0xf6bb4b60u, 16);
    ZQ_MD5_STEP(ZQ_MD5_H, b, c, d, a, x10, 0xbebfbc70u, 23);
    ZQ_MD5_STEP(ZQ_MD5_H, a, b, c, d, x13, 0x289b7ec6u, 4);
    ZQ_MD5_STEP(ZQ_MD5_H, d, a, b, c, x0, 0xeaa127fau, 11);
    ZQ_MD5_STEP(ZQ_MD5_H, c, d, a, b, x3, 0xd4ef3085u, 16);
    ZQ_MD5_STEP(ZQ_MD5_H, b, c, d, a, x6, 0x04881d05u, 23);
    ZQ_MD5_STEP(ZQ_MD5_H, a, b, c, d, x9, 0xd9d4d039u, 4);
    ZQ_MD5_STEP(ZQ_MD5_H, d, a, b, c, x12, 0xe6db99e5u, 11);
    ZQ_MD5_STEP(ZQ_MD5_H, c, d, a, b, x15, 0x1fa27cf8u, 16);
    ZQ_MD5_STEP(ZQ_MD5_H, b, c, d, a, x2, 0xc4ac5665u, 23);

    ZQ_MD5_STEP(ZQ_MD5_I, a, b, c, d, x0, 0xf4292244u, 6);
    ZQ_MD5_STEP(ZQ_MD5_I, d, a, b, c, x7, 0x432aff97u, 10);
    ZQ_MD5_STEP(ZQ_MD5_I, c, d, a, b, x14, 0xab9423a7u, 15);
    ZQ_MD5_STEP(ZQ_MD5_I, b, c, d, a, x5, 0xfc93a039u, 21);
    ZQ_MD5_STEP(ZQ_MD5_I, a, b, c, d, x12, 0x655b59c3u, 6);
    ZQ_MD5_STEP(ZQ_MD5_I, d, a, b, c, x3, 0x8f0ccc92u, 10);
    ZQ_MD5_STEP(ZQ_MD5_I, c, d, a, b, x10, 0xffeff47du, 15);
    ZQ_MD5_STEP(ZQ_MD5_I, b, c, d, a, x1, 0x85845dd1u, 21);
    ZQ_MD5_STEP(ZQ_MD5_I, a, b, c, d, x8, 0x6fa87e4fu, 6);
    ZQ_MD5_STEP(ZQ_MD5_I, d, a, b, c, x15, 0xfe2ce6e0u, 10);
    ZQ_MD5_STEP(ZQ_MD5_I, c, d, a, b, x6, 0xa3014314u, 15);
    ZQ_MD5_STEP(ZQ_MD5_I, b, c, d, a, x13, 0x4e0811a1u, 21);
    ZQ_MD5_STEP(ZQ_MD5_I, a, b, c, d, x4, 0xf7537e82u, 6);
    ZQ_MD5_STEP(ZQ_MD5_I, d, a, b, c, x11, 0xbd3af235u, 10);
    ZQ_MD5_STEP(ZQ_MD5_I, c, d, a, b, x2, 0x2ad7d2bbu, 15);
    ZQ_MD5_STEP(ZQ_MD5_I, b, c, d, a, x9, 0xeb86d391u, 21);

    a += aa;
    b += bb;
    c += cc;
    d += dd;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}

#undef ZQ_MD5_STEP
#undef ZQ_MD5_F
#undef ZQ_MD5_G
#undef ZQ_MD5_H
#undef ZQ_MD5_I

constexpr DWORD kPieceSize = 1u << 20;  // bytes read per ReadFile call

}  // namespace

void Md5Context::update(const void* data, uint32_t length) {
  if (finished || length == 0) return;
  const unsigned char* p = static_cast<const unsigned char*>(data);
  uint32_t used = (count[0] >> 3) & 63;
  uint32_t low = count[0] + (length << 3);
  if (low < count[0]) ++count[1];
  count[0] = low;
  count[1] += length >> 29;

  if (used) {
    uint32_t take = 64 - used;
    if (length < take) {
      std::memcpy(buffer + used, p, length);
      return;
    }
    std::memcpy(buffer + used, p, take);
    md5Blocks(state, buffer, 1);
    p += take;
    length -= take;
  }
  // Whole blocks straight from the caller's memory, no copy.
  size_t blocks = length / 64;
  if (blocks) {
    md5Blocks(state, p, blocks);
    p += blocks * 64;
    length -= static_cast<uint32_t>(blocks * 64);
  }
  if (length) std::memcpy(buffer, p, length);
}

void Md5Context::finish() {
  if (finished) return;
  unsigned char bits[8];
  for (int i = 0; i < 4; ++i) {
    bits[i] = static_cast<unsigned char>(count[0] >> (8 * i));
    bits[4 + i] = static_cast<unsigned char>(count[1] >> (8 * i));
  }
  static const unsigned char padding[64] = {0x80};
  uint32_t used = (count[0] >> 3) & 63;
  uint32_t padLength = used < 56 ? 56 - used : 120 - used;
  update(padding, padLength);
  update(bits, 8);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<unsigned char>(state[i] >> (8 * j));
  finished = true;
}

void Md5Context::toHex(char* out) const {
  if (!finished) {
    out[0] = '\0';
    return;
  }
  static const char hex[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) {
    out[2 * i] = hex[digest[i] >> 4];
    out[2 * i + 1] = hex[digest[i] & 15];
  }
  out[32] = '\0';
}

bool md5OfBuffer(const void* data, int length, std::string& out) {
  if (!data || length <= 0) return false;
  Md5Context context;
  context.update(data, static_cast<uint32_t>(length));
  context.finish();
  char text[33];
  context.toHex(text);
  out.assign(text, 32);
  return true;
}

std::string md5OfFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return {};
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};

  // Plain reads rather than a mapped view: a device error then comes back as
  // a failed call instead of an access fault in the middle of the digest.
  std::unique_ptr<unsigned char[]> piece(new (std::nothrow) unsigned char[kPieceSize]);
  if (!piece) return {};
  Md5Context context;
  unsigned long long total = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), piece.get(), kPieceSize, &got, nullptr)) return {};
    if (got == 0) break;
    context.update(piece.get(), got);
    total += got;
  }
  // Nobody else can write the file while we hold it; a short count means trouble.
  if (total != static_cast<unsigned long long>(size.QuadPart)) return {};
  context.finish();
  char text[33];
  context.toHex(text);
  return std::string(text, 32);
}

}  // namespace utility
