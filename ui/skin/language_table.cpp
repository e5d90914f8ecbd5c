// The language table: tab-separated UTF-16 rows of (class, ID, translations).
#include <map>

#include "ui/skin/skin.h"
#include "utility/handle.h"

namespace {

constexpr LONGLONG kMaxLanguageFileBytes = 4 * 1024 * 1024;
constexpr size_t kMinStoredLanguageBytes = 11;  // 10 bytes or less are ignored
constexpr size_t kMaxTranslateIdLength = 127;

std::map<std::wstring, std::wstring>& table() {
  static std::map<std::wstring, std::wstring> texts;
  return texts;
}

int g_column = 0;

bool isRowEnd(wchar_t c) { return c == L'\r' || c == L'\n'; }

// One row [begin, end): cells split at TAB; a TAB ends a cell, so the empty
// piece after a row's final TAB is not a cell of its own.
void parseRow(const wchar_t* begin, const wchar_t* end) {
  std::vector<std::wstring> cells;
  const wchar_t* cell = begin;
  for (const wchar_t* p = begin; p < end; ++p) {
    if (*p == L'\t') {
      cells.emplace_back(cell, p);
      cell = p + 1;
    }
  }
  if (cell < end) cells.emplace_back(cell, end);
  // No ID without a second cell (a hand-edited line without TAB, for one).
  if (cells.size() < 2) return;
  const size_t wanted = 2 + static_cast<size_t>(g_column < 0 ? 0 : g_column);
  std::wstring text = wanted < cells.size() ? cells[wanted] : cells.back();
  if (text.size() >= 3 && text.front() == L'"' && text.back() == L'"') {
    text = text.substr(1, text.size() - 2);
  }
  setLanguageText(cells[1], text);
}

}  // namespace

int languageColumn() { return g_column; }
void setLanguageColumn(int column) { g_column = column; }

void parseLanguageData(const void* bytes, size_t size) {
  if (!bytes) return;
  // Copy into aligned units: resource and file bytes carry no alignment promise.
  std::vector<wchar_t> units(size / 2);
  if (!units.empty()) memcpy(units.data(), bytes, units.size() * 2);
  const wchar_t* p = units.data();
  const wchar_t* const end = p + units.size();
  while (p < end && *p != 0) {
    while (p < end && (*p == L'\t' || isRowEnd(*p))) ++p;
    if (p >= end || *p == 0) break;
    const wchar_t* rowEnd = p;
    while (rowEnd < end && !isRowEnd(*rowEnd) && *rowEnd != 0) ++rowEnd;
    parseRow(p, rowEnd);
    p = rowEnd;
  }
}

bool loadLanguageFileAt(const std::wstring& path) {
  utility::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
      size.QuadPart > kMaxLanguageFileBytes) {
    return true;
  }
  std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
      read == bytes.size()) {
    parseLanguageData(bytes.data(), bytes.size());
  }
  return true;
}

void loadLanguageFile(const std::wstring& fileName) {
  if (loadLanguageFileAt(skinExecutableFolder() + fileName)) return;
  std::vector<unsigned char> bytes = readSkinFile(fileName);
  if (bytes.size() >= kMinStoredLanguageBytes) parseLanguageData(bytes.data(), bytes.size());
}

void setLanguageText(const std::wstring& id, const std::wstring& text) { table()[id] = text; }

const wchar_t* getLanguageText(const std::wstring& id) {
  auto it = table().find(id);
  return it == table().end() ? nullptr : it->second.c_str();
}

std::wstring resolveTextRef(const std::wstring& value) {
  if (value.empty() || value[0] != L'@') return value;
  const wchar_t* text = getLanguageText(value.substr(1));
  return text ? std::wstring(text) : value;
}

const wchar_t* translate(const char* id) {
  std::wstring wide;
  for (const char* p = id; p && *p && wide.size() < kMaxTranslateIdLength; ++p) {
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
  }
  if (const wchar_t* text = getLanguageText(wide)) return text;
  setLanguageText(wide, wide);
  if (const wchar_t* text = getLanguageText(wide)) return text;
  return L"Untranslated Text";
}

void clearLanguageTable() { table().clear(); }
