#include "utility/strings.h"

#include <cwchar>
#include <cwctype>

namespace utility {

namespace {

template <class S>
void trimSpaces(S& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == S::npos) {
    text.clear();
    return;
  }
  const auto last = text.find_last_not_of(' ');
  text = text.substr(first, last - first + 1);
}

template <class S>
bool endsWithImpl(const S& text, const S& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::vector<std::wstring> split(const std::wstring& text, const std::wstring& delim) {
  std::vector<std::wstring> pieces;
  if (text.empty() || delim.empty()) return pieces;
  std::wstring::size_type begin = 0;
  for (;;) {
    const auto at = text.find(delim, begin);
    std::wstring piece = text.substr(begin, at == std::wstring::npos ? std::wstring::npos : at - begin);
    trim(piece);
    pieces.push_back(std::move(piece));
    if (at == std::wstring::npos) break;
    begin = at + delim.size();
  }
  return pieces;
}

void trim(std::wstring& text) { trimSpaces(text); }
void trim(std::string& text) { trimSpaces(text); }

bool endsWith(const std::wstring& text, const std::wstring& suffix) { return endsWithImpl(text, suffix); }
bool endsWith(const std::string& text, const std::string& suffix) { return endsWithImpl(text, suffix); }

bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  const size_t n = wcslen(prefix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (towlower(text[i]) != towlower(prefix[i])) return false;
  }
  return true;
}

}  // namespace utility

bool pathsEquivalent(const std::wstring& first, const std::wstring& second) {
  auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  std::wstring::size_type j = 0;
  for (wchar_t c : first) {
    if (isSeparator(c)) continue;
    while (j < second.size() && isSeparator(second[j])) ++j;
    if (j == second.size() || second[j] != c) return false;
    ++j;
  }
  return true;
}
