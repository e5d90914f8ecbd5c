#include "model/registry_value.h"

#include "utility/handle.h"

namespace model {

std::wstring readPlayerRegistryValue(const wchar_t* valueName) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kPlayerRegistryKey, 0, nullptr, 0, KEY_QUERY_VALUE,
                      nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    return std::wstring();
  }
  utility::UniqueRegKey key(raw);
  constexpr size_t kChars = kRegistryBufferBytes / sizeof(wchar_t);
  wchar_t buffer[kChars] = {};
  DWORD size = kRegistryBufferBytes;
  if (RegQueryValueExW(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                       &size) != ERROR_SUCCESS) {
    return std::wstring();
  }
  size_t length = 0;
  while (length < kChars && buffer[length] != L'\0') ++length;
  return std::wstring(buffer, length);
}

}  // namespace model
