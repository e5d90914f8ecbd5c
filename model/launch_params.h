// Launch parameters of a channel installer, read from the program's own file
// name (type_package_openID.exe). Pure functions, any thread.
#pragma once

#include <string>

namespace model {

// Default openID of a plain install.
inline constexpr wchar_t kDefaultOpenId[] = L"100";
// Package piece meaning "no package, look it up by openID".
inline constexpr wchar_t kNoPackagePlaceholder[] = L"zv";

struct LaunchParams {
  std::wstring fileName;  // bare name without extension and copy suffix
  std::wstring type;      // first piece (only logged)
  bool threePieces = false;
  std::wstring openID = kDefaultOpenId;
  std::wstring package;   // empty: none known
};

// Bare file name of a full path: the text after the last '\\', else after the
// last '/', else "" when the path has neither. Then cut at the last dot.
std::wstring bareFileName(const std::wstring& modulePath);

// Removes one trailing browser copy suffix " (N)" (N: one or more ASCII
// digits) so that "x_zv_123456 (1)" is still channel 123456.
std::wstring stripCopySuffix(const std::wstring& name);

// True when `text` is non-empty and made only of ASCII letters, digits,
// '.', '_' and '-'. Parameters that reach elevated command lines must be.
bool isSafeParameter(const std::wstring& text);

// Splits the bare name (copy suffix removed) at '_'. With exactly three
// pieces: a safe non-empty third piece becomes openID; a safe non-empty
// second piece other than "zv" becomes package. Unsafe pieces count as
// absent. Logs the lines of the start-up sequence under
// "ZQDownloaderModel::init".
LaunchParams parseLaunchParams(const std::wstring& modulePath);

}  // namespace model
