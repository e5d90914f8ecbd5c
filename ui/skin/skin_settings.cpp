// Process-wide skin settings and the start-up that fills store and table.
#include "ui/skin/skin.h"

namespace {

enum SkinSourceKind { kSourceArchiveFile = 1, kSourceResource = 2 };

struct SkinSettings {
  HINSTANCE module = nullptr;
  unsigned osMajorVersion = 0;
  std::wstring languageFileName;
  std::wstring archiveFilePath;
  std::wstring skinFolder;
  WORD archiveResourceId = 0;
  int sourceKind = kSourceArchiveFile;
};

SkinSettings& settings() {
  static SkinSettings values;
  return values;
}

// Major version from the extended structure, the basic one when that fails.
unsigned readOsMajorVersion() {
  OSVERSIONINFOEXW extended{};
  extended.dwOSVersionInfoSize = sizeof(extended);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) {
    return extended.dwMajorVersion;
  }
  OSVERSIONINFOW basic{};
  basic.dwOSVersionInfoSize = sizeof(basic);
  return GetVersionExW(&basic) ? basic.dwMajorVersion : 0;
}

std::wstring moduleFolder(HINSTANCE module) {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      break;
    }
    if (name.size() >= 32768) return {};
    name.resize(name.size() * 2);
  }
  const size_t slash = name.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : name.substr(0, slash + 1);
}

// Any entry of that name counts, even a plain file or one in use.
bool entryExists(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

void storeFile(void*, const wchar_t* path, const unsigned char* bytes, int size) {
  addSkinFile(path, bytes, static_cast<size_t>(size));
}

void loadResourceArchive() {
  SkinSettings& s = settings();
  HRSRC info = FindResourceW(s.module, MAKEINTRESOURCEW(s.archiveResourceId), L"ZIPRES");
  if (!info) return;
  HGLOBAL loaded = LoadResource(s.module, info);
  if (!loaded) return;
  const DWORD size = SizeofResource(s.module, info);
  const void* bytes = LockResource(loaded);
  if (size != 0 && bytes) extractArchiveFromMemory(bytes, size, storeFile, nullptr);
  FreeResource(loaded);
}

}  // namespace

void duilibInit2(HINSTANCE module) {
  SkinSettings& s = settings();
  s.module = module;
  s.osMajorVersion = readOsMajorVersion();
  setLanguageColumn(0);
  s.languageFileName = L"multi_language.txt";
  const std::wstring folder = skinExecutableFolder();
  const std::wstring candidate = folder + L"downloader_skin";
  s.archiveFilePath = folder + L"downloader_skin.rcc";
  setSkinFolder(entryExists(candidate) ? candidate : std::wstring());
  s.archiveResourceId = 130;
  s.sourceKind = kSourceResource;
  loadSkinResources();
}

void loadSkinResources() {
  SkinSettings& s = settings();
  if (s.sourceKind == kSourceArchiveFile) {
    if (!s.archiveFilePath.empty()) extractArchiveFromFile(s.archiveFilePath, storeFile, nullptr);
  } else if (s.sourceKind == kSourceResource) {
    loadResourceArchive();
  }
  if (!s.languageFileName.empty()) loadLanguageFile(s.languageFileName);
  loadLanguageFile(L"multi_language_patch.txt");
}

unsigned skinOsMajorVersion() { return settings().osMajorVersion; }
void setSkinOsMajorVersion(unsigned major) { settings().osMajorVersion = major; }

std::wstring skinExecutableFolder() {
  // Before start-up records the module, the executable's own module serves.
  return moduleFolder(settings().module);
}

HINSTANCE skinModule() { return settings().module; }

std::wstring skinFolder() { return settings().skinFolder; }

void setSkinFolder(const std::wstring& folder) {
  std::wstring value = folder;
  if (!value.empty() && value.back() != L'\\' && value.back() != L'/') value += L'\\';
  settings().skinFolder = value;
}
