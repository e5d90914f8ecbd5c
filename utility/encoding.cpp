#include "utility/encoding.h"

#include <windows.h>

namespace utility {

namespace {

// Measure first, convert second; an empty measurement is an empty result.
std::string fromWide(const wchar_t* text, int length, unsigned codePage) {
  if (!text || length < -1 || length == 0) return {};
  int n = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  n = WideCharToMultiByte(codePage, 0, text, length, out.data(), n, nullptr, nullptr);
  if (n <= 0) return {};
  out.resize(static_cast<size_t>(n));
  if (length == -1 && !out.empty() && out.back() == '\0') out.pop_back();
  return out;
}

}  // namespace

std::wstring multiByteToWide(const char* bytes, int length, unsigned codePage) {
  if (!bytes || length < -1 || length == 0) return {};
  int n = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  n = MultiByteToWideChar(codePage, 0, bytes, length, out.data(), n);
  if (n <= 0) return {};
  out.resize(static_cast<size_t>(n));
  if (length == -1 && !out.empty() && out.back() == L'\0') out.pop_back();
  return out;
}

std::string wideToAnsi(const wchar_t* text, int length) { return fromWide(text, length, CP_ACP); }

std::string wideToAnsi(const std::wstring& text) {
  return wideToAnsi(text.data(), static_cast<int>(text.size()));
}

std::wstring ansiToWide(const std::string& bytes) {
  return multiByteToWide(bytes.data(), static_cast<int>(bytes.size()), CP_ACP);
}

std::wstring utf8ToWide(const std::string& bytes) {
  return multiByteToWide(bytes.data(), static_cast<int>(bytes.size()), CP_UTF8);
}

std::string wideToUtf8(const std::wstring& text) {
  return fromWide(text.data(), static_cast<int>(text.size()), CP_UTF8);
}

}  // namespace utility
