#include "tests/duilib/test_support.h"

#include <cstring>

#include "ui/skin/skin.h"

namespace duitest {

void AddText(const wchar_t* name, const char* text) {
  addSkinFile(name, reinterpret_cast<const unsigned char*>(text), strlen(text));
}

bool AddPng(const wchar_t* name, const std::vector<DWORD>& argb, int w, int h) {
  // SavePixelsAsPng takes premultiplied pixels.
  std::vector<DWORD> pre(argb.size());
  for (size_t i = 0; i < argb.size(); ++i) {
    DWORD p = argb[i], a = p >> 24;
    pre[i] = (a << 24) | ((((p >> 16) & 0xFF) * a / 255) << 16) | ((((p >> 8) & 0xFF) * a / 255) << 8) |
             ((p & 0xFF) * a / 255);
  }
  wchar_t dir[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  GetTempFileNameW(dir, L"dui", 0, path);
  bool ok = DuiLib::SavePixelsAsPng(pre.data(), w, h, path);
  if (ok) {
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ok = f != INVALID_HANDLE_VALUE;
    if (ok) {
      std::vector<unsigned char> bytes(GetFileSize(f, nullptr));
      DWORD read = 0;
      ok = ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
      CloseHandle(f);
      if (ok) addSkinFile(name, bytes.data(), bytes.size());
    }
  }
  DeleteFileW(path);
  return ok;
}

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  return s.substr(0, s.rfind(L'\\') + 1);
}

}  // namespace duitest
