#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/skin/skin_test_util.h"
#include "ui/skin/skin.h"

namespace {

struct Delivered {
  std::vector<std::wstring> lines;  // "path size", then "result CODE"
  std::vector<std::vector<unsigned char>> contents;
};

void collect(void* context, const wchar_t* path, const unsigned char* bytes, int size) {
  auto* d = static_cast<Delivered*>(context);
  d->lines.push_back(std::wstring(path) + L" " + std::to_wstring(size));
  d->contents.emplace_back(bytes, bytes + size);
}

Delivered fromFile(const std::wstring& name) {
  Delivered d;
  const int code = extractArchiveFromFile(skintest::fixture(name), collect, &d);
  d.lines.push_back(L"result " + std::to_wstring(code));
  return d;
}

Delivered fromMemory(const std::wstring& name) {
  std::vector<unsigned char> bytes = skintest::readBytes(skintest::fixture(name));
  // The archive ends at a no-access page: the reader must stay inside it.
  skintest::GuardedBytes guarded(bytes.data(), bytes.size());
  Delivered d;
  const int code = extractArchiveFromMemory(guarded.data(), guarded.size(), collect, &d);
  d.lines.push_back(L"result " + std::to_wstring(code));
  return d;
}

}  // namespace

// Every fixture, from file and from memory: the same files in archive order,
// without directories, 0-byte files or over-long paths, and the same code.
TEST(SkinArchive, DeliversFilesInArchiveOrderWithResultCode) {
  const wchar_t* archives[] = {L"lzma2.7z", L"lzma.7z", L"bcj.7z", L"multi.7z",
                               L"crc.7z", L"longpath.7z"};
  for (const wchar_t* name : archives) {
    SCOPED_TRACE(utility::wideToUtf8(name));
    const std::vector<std::wstring> expected = skintest::expectedLines(name);
    ASSERT_GE(expected.size(), 2u);
    Delivered file = fromFile(name);
    Delivered memory = fromMemory(name);
    EXPECT_EQ(file.lines, expected);
    EXPECT_EQ(memory.lines, expected);
    EXPECT_EQ(file.contents, memory.contents);
  }
}

TEST(SkinArchive, CodecsDeliverTheSameBytes) {
  auto byLine = [](const Delivered& d) {
    std::map<std::wstring, std::vector<unsigned char>> files;
    for (size_t i = 0; i < d.contents.size(); ++i) files[d.lines[i]] = d.contents[i];
    return files;
  };
  const auto lzma2 = byLine(fromMemory(L"lzma2.7z"));
  for (const wchar_t* name : {L"lzma.7z", L"bcj.7z", L"multi.7z"}) {
    SCOPED_TRACE(utility::wideToUtf8(name));
    EXPECT_EQ(byLine(fromMemory(name)), lzma2);
  }
  const std::string mainframe =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window size=\"610,480\" />\n";
  auto it = lzma2.find(L"mainframe.xml " + std::to_wstring(mainframe.size()));
  ASSERT_NE(it, lzma2.end());
  EXPECT_EQ(std::string(it->second.begin(), it->second.end()), mainframe);
}

TEST(SkinArchive, DamagedOrMissingArchivesGiveTheirCodes) {
  EXPECT_EQ(fromMemory(L"truncated.7z").lines, std::vector<std::wstring>{L"result 1006"});
  EXPECT_EQ(fromFile(L"truncated.7z").lines, std::vector<std::wstring>{L"result 1006"});
  EXPECT_EQ(fromMemory(L"garbage.7z").lines, std::vector<std::wstring>{L"result 1014"});
  EXPECT_EQ(fromFile(L"no-such-archive.7z").lines, std::vector<std::wstring>{L"result 1008"});
  EXPECT_EQ(extractArchiveFromMemory(nullptr, 10, collect, nullptr), kArchiveBadParameter);
  Delivered none;
  EXPECT_NE(extractArchiveFromMemory("", 0, collect, &none), 0);
  EXPECT_TRUE(none.lines.empty());
}

TEST(SkinArchive, NullCallbackStillChecksTheArchive) {
  std::vector<unsigned char> bytes = skintest::readBytes(skintest::fixture(L"crc.7z"));
  EXPECT_EQ(extractArchiveFromMemory(bytes.data(), bytes.size(), nullptr, nullptr),
            kArchiveCrcMismatch);
}
