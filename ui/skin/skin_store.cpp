// The in-memory skin store and the skin-folder override.
#include <map>

#include "ui/skin/skin.h"
#include "utility/handle.h"

namespace {

std::map<std::wstring, std::vector<unsigned char>>& store() {
  static std::map<std::wstring, std::vector<unsigned char>> files;
  return files;
}

// The whole file, or empty when it cannot be opened, is empty or reads short.
std::vector<unsigned char> readFolderFile(const std::wstring& path) {
  utility::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > 0x7fffffff) {
    return {};
  }
  std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size()) {
    return {};
  }
  return bytes;
}

}  // namespace

void addSkinFile(const std::wstring& path, const unsigned char* bytes, size_t size) {
  if (size == 0 || !bytes) return;
  store()[path] = std::vector<unsigned char>(bytes, bytes + size);
}

size_t skinFileCount() { return store().size(); }

void clearSkinStore() { store().clear(); }

std::vector<unsigned char> readSkinFile(const std::wstring& name) {
  const std::wstring folder = skinFolder();
  if (!folder.empty()) {
    std::vector<unsigned char> bytes = readFolderFile(folder + name);
    if (!bytes.empty()) return bytes;
  }
  std::wstring key = name;
  for (wchar_t& c : key) {
    if (c == L'\\') c = L'/';
  }
  auto it = store().find(key);
  if (it == store().end()) return {};
  return it->second;
}
