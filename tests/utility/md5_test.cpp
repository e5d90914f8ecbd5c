#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "utility/handle.h"
#include "utility/md5.h"

namespace {

std::string hexOf(const std::string& text) {
  std::string out;
  EXPECT_TRUE(utility::md5OfBuffer(text.data(), static_cast<int>(text.size()), out));
  return out;
}

// A file in a fresh temporary folder, removed with it.
class TempFile {
 public:
  explicit TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    path_ = std::wstring(dir) + L"zq_md5_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
  }
  ~TempFile() { DeleteFileW(path_.c_str()); }
  void write(const std::string& bytes) const {
    utility::UniqueFile f(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(f.valid());
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr));
    ASSERT_EQ(done, bytes.size());
  }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

std::string patternBytes(size_t n) {
  std::string bytes(n, '\0');
  uint32_t x = 12345;
  for (auto& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return bytes;
}

}  // namespace

TEST(Md5, Rfc1321TestSuite) {
  struct Case {
    const char* input;
    const char* digest;
  } cases[] = {
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) EXPECT_EQ(hexOf(c.input), c.digest) << c.input;

  // The empty input of the suite goes through the context: md5OfBuffer refuses it.
  utility::Md5Context empty;
  empty.finish();
  char text[33];
  empty.toHex(text);
  EXPECT_STREQ(text, "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5, PiecewiseUpdatesMatchOneUpdate) {
  std::string bytes = patternBytes(1000);
  std::string whole = hexOf(bytes);
  for (uint32_t step : {1u, 3u, 63u, 64u, 65u, 200u}) {
    utility::Md5Context c;
    for (size_t at = 0; at < bytes.size(); at += step)
      c.update(bytes.data() + at, static_cast<uint32_t>(std::min<size_t>(step, bytes.size() - at)));
    c.finish();
    char text[33];
    c.toHex(text);
    EXPECT_EQ(whole, text) << "step " << step;
  }
}

TEST(Md5, ContextRulesAndRefusedBuffers) {
  utility::Md5Context c;
  char text[33] = "x";
  c.toHex(text);
  EXPECT_STREQ(text, "");  // not finished yet
  c.update("abc", 3);
  c.finish();
  c.update("more", 4);  // ignored once finished
  c.finish();           // a second finish changes nothing
  c.toHex(text);
  EXPECT_STREQ(text, "900150983cd24fb0d6963f7d28e17f72");

  std::string out = "kept";
  EXPECT_FALSE(utility::md5OfBuffer("abc", 0, out));
  EXPECT_FALSE(utility::md5OfBuffer("abc", -1, out));
  EXPECT_FALSE(utility::md5OfBuffer(nullptr, 3, out));
  EXPECT_EQ(out, "kept");
}

TEST(Md5, FileDigestMatchesBufferDigest) {
  // Not a multiple of the 1 MiB read piece, nor of the 64-byte block.
  std::string bytes = patternBytes((3u << 20) + 12345);
  TempFile file(L"big.bin");
  file.write(bytes);
  EXPECT_EQ(utility::md5OfFile(file.path()), hexOf(bytes));

  TempFile small(L"abc.txt");
  small.write("abc");
  EXPECT_EQ(utility::md5OfFile(small.path()), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, EmptyMissingAndWriteLockedFilesGiveEmptyText) {
  TempFile empty(L"empty.bin");
  empty.write("");
  EXPECT_EQ(utility::md5OfFile(empty.path()), "");
  EXPECT_EQ(utility::md5OfFile(empty.path() + L".missing"), "");

  TempFile held(L"held.bin");
  held.write("abc");
  utility::UniqueFile writer(CreateFileW(held.path().c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer.valid());
  EXPECT_EQ(utility::md5OfFile(held.path()), "");
  writer.reset();
  EXPECT_EQ(utility::md5OfFile(held.path()), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, FolderGivesEmptyText) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  EXPECT_EQ(utility::md5OfFile(dir), "");
}
