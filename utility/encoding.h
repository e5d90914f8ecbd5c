// Conversions between the program's UTF-16 text and the byte strings of the
// outside world. Reentrant; any thread. They never fail: what the platform
// cannot convert becomes an empty or substituted result.
#pragma once

#include <string>

namespace utility {

// bytes: may be null (empty result). length: byte count, or -1 for
// "up to the first zero byte" (terminator not included); below -1 gives "".
std::wstring multiByteToWide(const char* bytes, int length, unsigned codePage);

// To the system ANSI code page; characters it lacks become its default
// character. Same rules for null input, -1 and lengths below -1.
std::string wideToAnsi(const wchar_t* text, int length);
std::string wideToAnsi(const std::wstring& text);

std::wstring ansiToWide(const std::string& bytes);
std::wstring utf8ToWide(const std::string& bytes);
std::string wideToUtf8(const std::wstring& text);

}  // namespace utility
