// Registry reads, service replies and the small text rules of the model.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "model/player_info.h"
#include "model/registry_value.h"
#include "model/zq_downloader_model.h"

namespace {

void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, model::kPlayerRegistryKey, 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(PlayerRegistry, MissingKeyIsCreatedAndReadsEmpty) {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tessarin2");
  EXPECT_EQ(ZQDownloaderModel::readRegistryVersion(), L"");
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, model::kPlayerRegistryKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  if (key) RegCloseKey(key);
}

TEST(PlayerRegistry, ValueFillingTheBufferStaysInside) {
  // 1024 UTF-16 units without NUL: exactly the 2048-byte buffer.
  std::vector<wchar_t> full(1024, L'7');
  setRaw(L"Version", REG_BINARY, full.data(), 2048);
  std::wstring text = ZQDownloaderModel::readRegistryVersion();
  EXPECT_EQ(text.size(), 1024u);
  EXPECT_EQ(text, std::wstring(1024, L'7'));
  // Larger than the buffer: the read fails, the text is empty.
  std::vector<wchar_t> over(1100, L'8');
  setRaw(L"Version", REG_BINARY, over.data(), 2200);
  EXPECT_EQ(ZQDownloaderModel::readRegistryVersion(), L"");
  // Type ignored, text up to the first NUL.
  const wchar_t withNul[] = L"12\0" L"34";
  setRaw(L"Version", REG_BINARY, withNul, sizeof(withNul));
  EXPECT_EQ(ZQDownloaderModel::readRegistryVersion(), L"12");
  const wchar_t sz[] = L"6.1";
  setRaw(L"InstallDir", REG_SZ, sz, sizeof(sz));
  EXPECT_EQ(model::readPlayerRegistryValue(L"InstallDir"), L"6.1");
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tessarin2");
}

TEST(ServiceReplies, VersionReply) {
  model::VersionReply r;
  ASSERT_TRUE(model::parseVersionReply(
      R"({"mnq":{"ver":"5.2","url":"http://h/p","md5":"abc"},"x":1})", r));
  EXPECT_EQ(r.version.value(), L"5.2");
  EXPECT_EQ(r.url.value(), L"http://h/p");
  EXPECT_EQ(r.md5.value(), "abc");

  model::VersionReply numberUrl;
  ASSERT_TRUE(model::parseVersionReply(R"({"mnq":{"ver":"5","url":7,"md5":"d"}})", numberUrl));
  EXPECT_FALSE(numberUrl.url.has_value());
  EXPECT_TRUE(numberUrl.version && numberUrl.md5);

  model::VersionReply noMnq;
  EXPECT_TRUE(model::parseVersionReply(R"({"other":{}})", noMnq));
  EXPECT_FALSE(noMnq.version || noMnq.url || noMnq.md5);
  EXPECT_TRUE(model::parseVersionReply(R"({"mnq":[1]})", noMnq));
  EXPECT_FALSE(noMnq.version || noMnq.url || noMnq.md5);

  model::VersionReply bad;
  EXPECT_FALSE(model::parseVersionReply(R"([{"mnq":{"ver":"5"}}])", bad));
  EXPECT_FALSE(model::parseVersionReply("not json", bad));
  EXPECT_FALSE(model::parseVersionReply("", bad));

  model::VersionReply utf8;
  ASSERT_TRUE(model::parseVersionReply("{\"mnq\":{\"ver\":\"\xE7\x89\x88 5\"}}", utf8));
  EXPECT_EQ(utf8.version.value(), L"\u7248 5");
}

TEST(ServiceReplies, GameInfo) {
  EXPECT_EQ(model::parseGameInfoPackage(
                R"({"result":[{"gamename":"a"},{"app_package_name":"com.b"},{"app_package_name":"com.c"}]})"),
            L"com.b");
  EXPECT_EQ(model::parseGameInfoPackage(R"({"result":[{"app_package_name":5},"x",{"app_package_name":"p"}]})"),
            L"p");
  EXPECT_EQ(model::parseGameInfoPackage(R"({"result":[]})"), L"");
  EXPECT_EQ(model::parseGameInfoPackage(R"({"result":{"app_package_name":"p"}})"), L"");
  EXPECT_EQ(model::parseGameInfoPackage(R"([{"app_package_name":"p"}])"), L"");
  EXPECT_EQ(model::parseGameInfoPackage("{"), L"");
}

TEST(ServiceReplies, DeeplyNestedReplyDoesNotCrash) {
  // Fits the memory sink's 4 MiB bound, nests far deeper than a thread's stack.
  const std::string open(1 << 20, '['), close(1 << 20, ']');
  model::VersionReply reply;
  EXPECT_TRUE(model::parseVersionReply("{\"mnq\":" + open + close + "}", reply));
  EXPECT_FALSE(reply.url.has_value());
  EXPECT_FALSE(model::parseVersionReply(open, reply));
  EXPECT_EQ(model::parseGameInfoPackage("{\"result\":" + open + close + "}"), L"");
}

TEST(ServiceReplies, ModelRefusesUnsafePackageFromReply) {
  ZQDownloaderModel* m = ZQDownloaderModel::instance();
  m->parseGameInfo(R"({"result":[{"app_package_name":"com.x -path=C:\\evil"}]})");
  EXPECT_EQ(m->package(), L"");
  m->parseGameInfo(R"({"result":[{"app_package_name":"com.example.game"}]})");
  EXPECT_EQ(m->package(), L"com.example.game");
  ZQDownloaderModel::destroyInstance();
}

TEST(TextRules, QueryEscapingAndDigestComparison) {
  EXPECT_EQ(model::escapeQueryValue(L"123456"), L"123456");
  EXPECT_EQ(model::escapeQueryValue(L"a b&c=d#e"), L"a%20b%26c%3Dd%23e");
  EXPECT_EQ(model::escapeQueryValue(L"\u00e9"), L"%C3%A9");
  EXPECT_TRUE(model::digestsMatchNoCase("0a1B", "0A1b"));
  EXPECT_FALSE(model::digestsMatchNoCase("0a1b", "0a1c"));
  EXPECT_FALSE(model::digestsMatchNoCase("", ""));
  EXPECT_FALSE(model::digestsMatchNoCase("0a1b", "0a1b0"));
}

TEST(TextRules, ProgressPercent) {
  EXPECT_EQ(model::progressPercent(0, 100), 0);
  EXPECT_EQ(model::progressPercent(1, 3), 33);
  EXPECT_EQ(model::progressPercent(2, 3), 66);
  EXPECT_EQ(model::progressPercent(100, 100), 100);
  EXPECT_EQ(model::progressPercent(5000, 100), 100);      // a piece past the announced length
  EXPECT_EQ(model::progressPercent(2147483647, 1), 100);
  EXPECT_EQ(model::progressPercent(500, -1), 0);          // unknown length
  EXPECT_EQ(model::progressPercent(500, 0), 0);
  EXPECT_EQ(model::progressPercent(-5, 100), 0);
}

}  // namespace
