#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/skin/skin_test_util.h"
#include "ui/skin/skin.h"

namespace {

std::vector<unsigned char> bytesOf(const std::string& text) {
  return std::vector<unsigned char>(text.begin(), text.end());
}

void put(const std::wstring& path, const std::string& text) {
  addSkinFile(path, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// A private folder under the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"zq_skin_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
    CreateDirectoryW((path_ + L"\\msg").c_str(), nullptr);
  }
  ~TempFolder() {
    for (const std::wstring& f : files_) DeleteFileW(f.c_str());
    RemoveDirectoryW((path_ + L"\\msg").c_str());
    RemoveDirectoryW(path_.c_str());
  }
  void write(const std::wstring& name, const std::string& text) {
    files_.push_back(path_ + L"\\" + name);
    ASSERT_TRUE(skintest::writeBytes(files_.back(), text.data(), text.size()));
  }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
  std::vector<std::wstring> files_;
};

}  // namespace

TEST(SkinStore, LooksUpWithSlashesAndCase) {
  clearSkinStore();
  put(L"msg/xml_messagebox.xml", "box");
  put(L"mainframe.xml", "first");
  put(L"mainframe.xml", "second");  // a later file of the same path wins
  put(L"empty.png", "");            // never stored
  EXPECT_EQ(skinFileCount(), 2u);
  EXPECT_EQ(readSkinFile(L"msg\\xml_messagebox.xml"), bytesOf("box"));
  EXPECT_EQ(readSkinFile(L"msg/xml_messagebox.xml"), bytesOf("box"));
  EXPECT_EQ(readSkinFile(L"mainframe.xml"), bytesOf("second"));
  EXPECT_TRUE(readSkinFile(L"MainFrame.xml").empty());
  EXPECT_TRUE(readSkinFile(L"empty.png").empty());
  EXPECT_TRUE(readSkinFile(L"").empty());
}

TEST(SkinStore, SkinFolderFileWinsUnlessEmptyOrMissing) {
  clearSkinStore();
  put(L"mainframe.xml", "store main");
  put(L"scrollbar.xml", "store scroll");
  put(L"blank.png", "store blank");
  put(L"msg/xml_messagebox.xml", "store box");
  TempFolder folder;
  folder.write(L"mainframe.xml", "folder main");
  folder.write(L"blank.png", "");
  folder.write(L"msg\\xml_messagebox.xml", "folder box");
  setSkinFolder(folder.path());
  EXPECT_EQ(readSkinFile(L"mainframe.xml"), bytesOf("folder main"));
  EXPECT_EQ(readSkinFile(L"scrollbar.xml"), bytesOf("store scroll"));
  EXPECT_EQ(readSkinFile(L"blank.png"), bytesOf("store blank"));
  EXPECT_EQ(readSkinFile(L"msg\\xml_messagebox.xml"), bytesOf("folder box"));
  setSkinFolder(L"");
  EXPECT_EQ(readSkinFile(L"mainframe.xml"), bytesOf("store main"));
}

TEST(SkinStore, SkinFolderSetterAddsOneSeparator) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:\\skin", L"C:\\skin\\"}, {L"C:\\skin\\", L"C:\\skin\\"},
      {L"C:/skin/", L"C:/skin/"},   {L"", L""}};
  for (const auto& [given, stored] : cases) {
    setSkinFolder(given);
    EXPECT_EQ(skinFolder(), stored);
  }
  setSkinFolder(L"");
}
