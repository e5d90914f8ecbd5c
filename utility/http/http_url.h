// URL record of the HTTP client and its parser.
#pragma once

#include <cstdint>
#include <string>

namespace utility {

struct HttpUrl {
  std::wstring host;
  uint16_t port = 0;
  std::wstring path;  // request target sent to the server, query included

  // Splits url into host, port and path. Always succeeds (returns true).
  // Scheme prefixes "http://", "https://" and the same preceded by CR LF are
  // recognised ignoring letter case and choose the default port (80 / 443);
  // without one the default is 80. Without a '/' after the authority the
  // path is the whole url as given. A port text is read like wcstol's
  // decimal rule (0 when no digits), truncated to 16 bits. No decoding,
  // no user-info, fragment or IPv6 handling.
  static bool parse(const std::wstring& url, HttpUrl& out);
};

}  // namespace utility
