// Small string helpers. Pure functions, any thread.
#pragma once

#include <string>
#include <vector>

namespace utility {

// Cuts `text` at every occurrence of `delim` (left to right); each piece is
// trimmed of U+0020 spaces and kept even when empty, so a trailing delimiter
// gives an empty last piece. Empty text or empty delimiter: empty list.
std::vector<std::wstring> split(const std::wstring& text, const std::wstring& delim);

// Removes leading and trailing U+0020 spaces in place (tabs stay).
void trim(std::wstring& text);
void trim(std::string& text);

// True when `text` ends with `suffix`, compared exactly.
bool endsWith(const std::wstring& text, const std::wstring& suffix);
bool endsWith(const std::string& text, const std::string& suffix);

// True when `text` begins with `prefix` (NUL-terminated), letter case ignored.
bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix);

}  // namespace utility

// Global namespace. Compares the two paths character by character, case-
// sensitively, ignoring every '\\' and '/' in both. True when all of
// `first`'s characters match; `second` may go on beyond them (callers follow
// with an existence check), so pathsEquivalent(L"C:\\a", L"C:/a/b") is true
// and pathsEquivalent(L"C:\\a\\b", L"C:\\a") is false.
bool pathsEquivalent(const std::wstring& first, const std::wstring& second);
