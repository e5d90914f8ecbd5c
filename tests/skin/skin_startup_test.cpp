// Start-up from this program's own "ZIPRES" 130 (the lzma2 fixture) with
// skin and language files put next to the executable. Every test runs in a
// process of its own, so duilibInit2 runs once per process as in the product.
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

#include "tests/skin/skin_test_util.h"
#include "ui/skin/skin.h"

namespace {

const wchar_t* const kEntries[] = {L"downloader_skin\\multi_language.txt",
                                   L"downloader_skin\\mainframe.xml", L"downloader_skin",
                                   L"multi_language.txt", L"multi_language_patch.txt"};

std::wstring exeFolder() {
  wchar_t name[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, name, MAX_PATH);
  std::wstring path(name, length);
  return path.substr(0, path.rfind(L'\\') + 1);
}

void removeEntries() {
  for (const wchar_t* entry : kEntries) {
    const std::wstring path = exeFolder() + entry;
    if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
  }
}

// Leaves the executable folder as it found it (leftovers of a crashed run too).
class SkinStartup : public testing::Test {
 protected:
  void SetUp() override { removeEntries(); }
  void TearDown() override { removeEntries(); }

  static void mkdirSkin() { ASSERT_TRUE(CreateDirectoryW((exeFolder() + L"downloader_skin").c_str(), nullptr)); }
  static void write(const std::wstring& name, const std::string& bytes) {
    ASSERT_TRUE(skintest::writeBytes(exeFolder() + name, bytes.data(), bytes.size()));
  }
  static void writeTable(const std::wstring& name, const std::wstring& utf16) {
    ASSERT_TRUE(skintest::writeText(exeFolder() + name, utf16));
  }
  static std::string text(const std::wstring& skinName) {
    std::vector<unsigned char> bytes = readSkinFile(skinName);
    return std::string(bytes.begin(), bytes.end());
  }
  static std::wstring lang(const wchar_t* id) {
    const wchar_t* t = getLanguageText(id);
    return t ? t : L"<unknown>";
  }
};

const char kStoreMainframe[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window size=\"610,480\" />\n";

}  // namespace

TEST_F(SkinStartup, EmbeddedArchiveFillsStoreAndTable) {
  duilibInit2(GetModuleHandleW(nullptr));
  EXPECT_EQ(skinExecutableFolder(), exeFolder());
  EXPECT_EQ(skinFolder(), L"");
  EXPECT_GE(skinOsMajorVersion(), 5u);
  // Six non-empty files; the folder entry and the 0-byte file stay out.
  EXPECT_EQ(skinFileCount(), skintest::expectedLines(L"lzma2.7z").size() - 1);
  EXPECT_TRUE(readSkinFile(L"zero.txt").empty());
  EXPECT_EQ(text(L"mainframe.xml"), kStoreMainframe);
  EXPECT_FALSE(readSkinFile(L"msg\\xml_messagebox.xml").empty());
  EXPECT_TRUE(readSkinFile(L"MainFrame.xml").empty());
  // The table comes from the store when nothing lies next to the executable.
  EXPECT_EQ(lang(L"confirm"), L"确定");
  EXPECT_EQ(lang(L"store_only"), L"来自存档");
  EXPECT_EQ(resolveTextRef(L"@prompt"), L"提示");
}

TEST_F(SkinStartup, SkinFolderOverridesOnlyItsFiles) {
  mkdirSkin();
  write(L"downloader_skin\\mainframe.xml", "<Window/>");
  duilibInit2(GetModuleHandleW(nullptr));
  EXPECT_EQ(skinFolder(), exeFolder() + L"downloader_skin\\");
  EXPECT_EQ(text(L"mainframe.xml"), "<Window/>");
  EXPECT_FALSE(readSkinFile(L"scrollbar.xml").empty());
  EXPECT_EQ(lang(L"confirm"), L"确定");
}

TEST_F(SkinStartup, PlainFileNamedLikeTheSkinFolder) {
  write(L"downloader_skin", "not a folder");
  duilibInit2(GetModuleHandleW(nullptr));
  EXPECT_EQ(skinFolder(), exeFolder() + L"downloader_skin\\");
  EXPECT_EQ(text(L"mainframe.xml"), kStoreMainframe);
  EXPECT_EQ(lang(L"confirm"), L"确定");
}

TEST_F(SkinStartup, TableNextToExeReplacesTheStoredOne) {
  writeTable(L"multi_language.txt", L"\uFEFFLabel\tprompt\t本地\t\t\t\r\n");
  duilibInit2(GetModuleHandleW(nullptr));
  EXPECT_EQ(lang(L"prompt"), L"本地");
  EXPECT_EQ(lang(L"confirm"), L"<unknown>");
  EXPECT_EQ(lang(L"store_only"), L"<unknown>");
}

// An empty or oversized file next to the executable loads nothing, and the
// stored table is not consulted either.
TEST_F(SkinStartup, UnusableTableNextToExeLeavesTableEmpty) {
  for (size_t size : {size_t(0), size_t(4 * 1024 * 1024 + 2)}) {
    SCOPED_TRACE(size);
    std::wstring big(size / 2, L'\t');
    if (!big.empty()) big.replace(0, 12, L"L\tconfirm\tX\t");
    writeTable(L"multi_language.txt", big);
    clearLanguageTable();
    loadLanguageFile(L"multi_language.txt");
    EXPECT_EQ(lang(L"confirm"), L"<unknown>");
    EXPECT_EQ(lang(L"store_only"), L"<unknown>");
  }
}

TEST_F(SkinStartup, PatchFileReplacesOneRow) {
  // A hand-edited last line without TAB must not disturb anything.
  writeTable(L"multi_language_patch.txt", L"Label\tprompt\tHint\t\r\nhand edited");
  duilibInit2(GetModuleHandleW(nullptr));
  EXPECT_EQ(lang(L"prompt"), L"Hint");
  EXPECT_EQ(lang(L"confirm"), L"确定");
  EXPECT_EQ(lang(L"hand edited"), L"<unknown>");
}

// A skin-folder copy of 10 bytes or less is ignored; a longer one is parsed.
TEST_F(SkinStartup, SmallTableInSkinFolderIsIgnored) {
  mkdirSkin();
  writeTable(L"downloader_skin\\multi_language.txt", L"L\tk\tv\t\n");  // 7 units, 14 bytes
  write(L"downloader_skin\\mainframe.xml", "x");
  duilibInit2(GetModuleHandleW(nullptr));
  EXPECT_EQ(lang(L"k"), L"v");
  EXPECT_EQ(lang(L"confirm"), L"<unknown>");
  writeTable(L"downloader_skin\\multi_language.txt", L"L\tk\tw\t\n"s.substr(0, 5));  // 10 bytes
  clearLanguageTable();
  loadLanguageFile(L"multi_language.txt");
  EXPECT_EQ(lang(L"k"), L"<unknown>");
  EXPECT_EQ(lang(L"confirm"), L"<unknown>");
}

namespace {

// Wine's per-program setting of the reported Windows version, removed again.
class WineVersionOverride {
 public:
  explicit WineVersionOverride(const wchar_t* version) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_,
                        nullptr) == ERROR_SUCCESS) {
      RegSetValueExW(key_, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                     static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
    }
  }
  ~WineVersionOverride() {
    if (key_) RegCloseKey(key_);
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
  }
  WineVersionOverride(const WineVersionOverride&) = delete;
  WineVersionOverride& operator=(const WineVersionOverride&) = delete;
  bool ok() const { return key_ != nullptr; }

 private:
  static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\skin_startup_tests.exe";
  HKEY key_ = nullptr;
};

}  // namespace

// Child mode: ZQ_EXPECT_OS_MAJOR names the major version start-up must record.
TEST(SkinStartupOs, RecordsOsMajorVersion) {
  duilibInit2(GetModuleHandleW(nullptr));
  wchar_t expected[16] = L"";
  if (GetEnvironmentVariableW(L"ZQ_EXPECT_OS_MAJOR", expected, 16)) {
    EXPECT_EQ(skinOsMajorVersion(), static_cast<unsigned>(_wtoi(expected)));
  } else {
    EXPECT_GE(skinOsMajorVersion(), 6u);
  }
}

TEST(SkinStartupOs, RecordsWinXpAsMajorVersion5) {
  WineVersionOverride winxp(L"winxp");
  ASSERT_TRUE(winxp.ok());
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) +
                         L"\" --gtest_filter=SkinStartupOs.RecordsOsMajorVersion";
  SetEnvironmentVariableW(L"ZQ_EXPECT_OS_MAJOR", L"5");
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &si, &pi));
  SetEnvironmentVariableW(L"ZQ_EXPECT_OS_MAJOR", nullptr);
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(code, 0u);
}
