#include "utility/http/http_url.h"

#include <cwchar>

#include "utility/strings.h"

namespace utility {

bool HttpUrl::parse(const std::wstring& url, HttpUrl& out) {
  struct Scheme {
    const wchar_t* prefix;
    uint16_t port;
  };
  static const Scheme kSchemes[] = {
      {L"http://", 80}, {L"https://", 443}, {L"\r\nhttp://", 80}, {L"\r\nhttps://", 443}};
  size_t prefixLength = 0;
  uint16_t defaultPort = 80;
  for (const Scheme& scheme : kSchemes) {
    if (startsWithNoCase(url, scheme.prefix)) {
      prefixLength = wcslen(scheme.prefix);
      defaultPort = scheme.port;
      break;
    }
  }

  std::wstring authority;
  size_t slash = url.find(L'/', prefixLength);
  if (slash != std::wstring::npos) {
    authority = url.substr(prefixLength, slash - prefixLength);
    out.path = url.substr(slash);
  } else {
    authority = url.substr(prefixLength);
    out.path = url;
  }

  size_t colon = authority.find(L':');
  if (colon != std::wstring::npos) {
    out.host = authority.substr(0, colon);
    std::wstring portText = authority.substr(colon + 1);
    out.port = static_cast<uint16_t>(wcstol(portText.c_str(), nullptr, 10));
  } else {
    out.host = authority;
    out.port = defaultPort;
  }
  return true;
}

}  // namespace utility
