// Temporary folders and whole-file reads for the common module's tests.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "utility/handle.h"

namespace zqtest {

// A fresh, empty folder under the temporary folder, removed with its content.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"zq_common_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(counter++);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    std::filesystem::create_directories(path_, ec);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const wchar_t* name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// The file's bytes; empty when it cannot be read. Shares with the writer.
inline std::string readAll(const std::wstring& path) {
  utility::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string out;
  if (!f) return out;
  char piece[65536];
  DWORD got = 0;
  while (ReadFile(f.get(), piece, sizeof piece, &got, nullptr) && got) out.append(piece, got);
  return out;
}

inline bool writeAll(const std::wstring& path, const std::string& bytes) {
  utility::UniqueFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD done = 0;
  return f && WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
         done == bytes.size();
}

inline bool isFolder(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool isFile(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace zqtest
