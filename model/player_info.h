// The replies of the vendor's version and game-info services (UTF-8 JSON)
// and the request URLs built for them. Pure functions, any thread.
#pragma once

#include <optional>
#include <string>

namespace model {

// Members of the version reply's "mnq" object; each is set only when the
// member is present and a string.
struct VersionReply {
  std::optional<std::wstring> version;  // "ver"
  std::optional<std::wstring> url;      // "url"
  std::optional<std::string> md5;       // "md5", bytes as sent
};

// false when the body is not a JSON object (parse error or other root):
// nothing may be taken from it. true otherwise, with whatever "mnq" holds
// (nothing when "mnq" is missing or not an object).
bool parseVersionReply(const std::string& body, VersionReply& reply);

// The "app_package_name" string of the first element of the array "result"
// that has one; "" when the body is no object with such an array, or no
// element qualifies.
std::wstring parseGameInfoPackage(const std::string& body);

// Percent-escapes (UTF-8, %XX upper case) every character that is not an
// unreserved query character (ASCII letters, digits, '-', '.', '_', '~').
std::wstring escapeQueryValue(const std::wstring& value);

// True when two digest texts hold the same hex digits ignoring letter case
// (and both are non-empty).
bool digestsMatchNoCase(const std::string& a, const std::string& b);

// Percent of a download shown to the user: received / total * 100 in double
// precision, truncated, clamped to 0..100; 0 when the total is unknown
// (-1) or 0.
int progressPercent(int received, int total);

}  // namespace model
