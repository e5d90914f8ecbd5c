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
