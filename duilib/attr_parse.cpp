#include "duilib/attr_parse.h"

#include <cwchar>
#include <cwctype>

namespace DuiLib {

namespace {

// Reads up to `count` comma-separated integers into out; returns how many were read.
int ParseIntList(const std::wstring& value, long* out, int count) {
  const wchar_t* p = value.c_str();
  int n = 0;
  while (n < count && *p) {
    while (*p == L' ' || *p == L'\t') ++p;
    if (!*p) break;
    wchar_t* end = nullptr;
    long v = wcstol(p, &end, 10);
    if (end == p) break;
    out[n++] = v;
    p = end;
    while (*p == L' ' || *p == L'\t') ++p;
    if (*p != L',') break;
    ++p;
  }
  return n;
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

}  // namespace

RECT ParseRect(const std::wstring& value) {
  long v[4] = {0, 0, 0, 0};
  ParseIntList(value, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

SIZE ParseSize(const std::wstring& value) {
  long v[2] = {0, 0};
  ParseIntList(value, v, 2);
  return SIZE{v[0], v[1]};
}

int ParseInt(const std::wstring& value) { return static_cast<int>(wcstol(value.c_str(), nullptr, 10)); }

bool ParseBool(const std::wstring& value) { return _wcsicmp(value.c_str(), L"true") == 0 || value == L"1"; }

DWORD ParseColor(const std::wstring& value, bool* ok) {
  const wchar_t* p = value.c_str();
  while (IsSpace(*p)) ++p;
  if (*p == L'#') {
    ++p;
  } else if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) {
    p += 2;
  }
  wchar_t* end = nullptr;
  unsigned long v = wcstoul(p, &end, 16);
  size_t digits = static_cast<size_t>(end - p);
  if (ok) *ok = digits > 0;
  if (digits == 0) return 0;
  if (digits <= 6) v |= 0xFF000000ul;  // "#RRGGBB": opaque
  return static_cast<DWORD>(v);
}

TImageInfo ParseImageString(const std::wstring& value) {
  TImageInfo info;
  if (value.find(L'=') == std::wstring::npos || value.find(L'\'') == std::wstring::npos) {
    info.file = value;  // a plain file name
    return info;
  }
  size_t i = 0;
  const size_t n = value.size();
  while (i < n) {
    while (i < n && IsSpace(value[i])) ++i;
    size_t keyStart = i;
    while (i < n && value[i] != L'=' && !IsSpace(value[i])) ++i;
    std::wstring key = value.substr(keyStart, i - keyStart);
    while (i < n && IsSpace(value[i])) ++i;
    if (i >= n || value[i] != L'=') break;
    ++i;
    while (i < n && IsSpace(value[i])) ++i;
    if (i >= n || value[i] != L'\'') break;
    size_t close = value.find(L'\'', i + 1);
    if (close == std::wstring::npos) break;
    std::wstring v = value.substr(i + 1, close - i - 1);
    i = close + 1;
    if (key == L"file" || key == L"res") {
      info.file = v;
    } else if (key == L"source") {
      info.source = ParseRect(v);
      info.hasSource = true;
    } else if (key == L"corner") {
      info.corner = ParseRect(v);
    } else if (key == L"dest") {
      info.dest = ParseRect(v);
      info.hasDest = true;
    } else if (key == L"mask") {
      info.mask = ParseColor(v, &info.hasMask);
    } else if (key == L"fade") {
      int f = ParseInt(v);
      info.fade = static_cast<BYTE>(f < 0 ? 0 : (f > 255 ? 255 : f));
    } else if (key == L"hole") {
      info.hole = ParseBool(v);
    }
    // Other keys (restype, xtiled, ytiled) are accepted and ignored.
  }
  return info;
}

std::vector<std::pair<std::wstring, std::wstring>> ParseAttributeList(const std::wstring& list) {
  std::vector<std::pair<std::wstring, std::wstring>> out;
  size_t i = 0;
  const size_t n = list.size();
  while (i < n) {
    while (i < n && IsSpace(list[i])) ++i;
    if (i >= n) break;
    size_t keyStart = i;
    while (i < n && list[i] != L'=' && !IsSpace(list[i])) ++i;
    std::wstring key = list.substr(keyStart, i - keyStart);
    while (i < n && IsSpace(list[i])) ++i;
    if (i >= n || list[i] != L'=' || key.empty()) break;
    ++i;
    while (i < n && IsSpace(list[i])) ++i;
    if (i >= n || list[i] != L'"') break;
    size_t close = list.find(L'"', i + 1);
    if (close == std::wstring::npos) break;
    out.emplace_back(key, list.substr(i + 1, close - i - 1));
    i = close + 1;
  }
  return out;
}

}  // namespace DuiLib
