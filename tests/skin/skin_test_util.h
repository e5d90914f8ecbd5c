// Helpers of the skin tests: fixture files, and byte blocks that end right
// before a no-access page, so a read past their end faults.
#pragma once

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "utility/encoding.h"

namespace skintest {

inline std::wstring fixture(const std::wstring& name) {
  return std::wstring(ZQ_SKIN_FIXTURES) + L"/" + name;
}

inline std::vector<unsigned char> readBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
}

inline bool writeBytes(const std::wstring& path, const void* bytes, size_t size) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
  return static_cast<bool>(out);
}

inline bool writeText(const std::wstring& path, const std::wstring& utf16) {
  return writeBytes(path, utf16.data(), utf16.size() * sizeof(wchar_t));
}

// The NAME.expected file of a fixture archive: "path size" lines, then
// "result CODE"; returned as wide lines, the last one the result.
inline std::vector<std::wstring> expectedLines(const std::wstring& archive) {
  std::vector<unsigned char> bytes = readBytes(fixture(archive + L".expected"));
  std::wstring text = utility::utf8ToWide(std::string(bytes.begin(), bytes.end()));
  std::vector<std::wstring> lines;
  std::wistringstream in(text);
  for (std::wstring line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class GuardedBytes {
 public:
  GuardedBytes(const void* bytes, size_t size) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    const size_t dataPages = (size + page - 1) / page;
    total_ = (dataPages + 1) * page;
    base_ = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, total_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &old);
    data_ = base_ + dataPages * page - size;
    if (size) memcpy(data_, bytes, size);
    size_ = size;
  }
  ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  const unsigned char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  unsigned char* base_ = nullptr;
  unsigned char* data_ = nullptr;
  size_t size_ = 0;
  size_t total_ = 0;
};

}  // namespace skintest
