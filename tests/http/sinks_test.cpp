// The memory and file sinks, alone and behind the facade.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/http/http_test_support.h"
#include "utility/http/http_sinks.h"
#include "utility/log.h"

using utility::CHttpClientWrapper;
using utility::CHttpDownload2FileSink;
using utility::CHttpDownload2MemSink;

namespace {

std::vector<std::pair<std::string, std::wstring>> logLines;
void captureLog(const char* function, int, const wchar_t* message) {
  logLines.emplace_back(function, message);
}

struct LogCapture {
  LogCapture() {
    logLines.clear();
    utility::logSink = captureLog;
  }
  ~LogCapture() { utility::logSink = nullptr; }
};

// A scratch folder of the test's own under the working directory.
struct TempDir {
  TempDir() {
    wchar_t base[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, base);
    path = std::wstring(base) + L"\\http_sinks_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path.c_str(), nullptr);
  }
  ~TempDir() {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileW((path + L"\\" + data.cFileName).c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
  }
  std::wstring file(const wchar_t* name) const { return path + L"\\" + name; }
  std::wstring path;
};

std::string readFile(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof(buffer), &got, nullptr) && got > 0) out.append(buffer, got);
  CloseHandle(f);
  return out;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Progress : CHttpClientWrapper::IHttpDownloadSink {
  std::vector<std::pair<int, int>> calls;  // (received, total)
  std::wstring watchedFile;
  std::vector<std::string> fileAtCall;  // file content when told about a piece
  int refuseAt = -1;                    // call index that returns false
  bool onDownloadProgress(const char*, int, int received, int total) override {
    if (!watchedFile.empty()) fileAtCall.push_back(readFile(watchedFile));
    calls.emplace_back(received, total);
    return static_cast<int>(calls.size()) - 1 != refuseAt;
  }
};

}  // namespace

TEST(MemSink, AcceptsOnly2xxAndAppends) {
  std::string target = "kept:";
  CHttpDownload2MemSink sink(target);
  for (int status : {200, 204, 206, 299}) EXPECT_TRUE(sink.onHttpRecvHeader(status, -1)) << status;
  for (int status : {199, 300, 301, 404, 500}) EXPECT_FALSE(sink.onHttpRecvHeader(status, 5)) << status;
  EXPECT_TRUE(sink.onHttpRecvData("ab", 2));
  EXPECT_TRUE(sink.onHttpRecvData("c", 1));
  sink.onHttpFinished();
  EXPECT_EQ(target, "kept:abc");
}

TEST(MemSink, RefusesBodiesBeyondFourMiB) {
  std::string target;
  CHttpDownload2MemSink sink(target);
  std::string piece(32768, 'x');
  for (size_t total = 0; total < CHttpDownload2MemSink::kMaxBody; total += piece.size()) {
    ASSERT_TRUE(sink.onHttpRecvData(piece.data(), static_cast<int>(piece.size())));
  }
  EXPECT_FALSE(sink.onHttpRecvData("y", 1));
  EXPECT_EQ(target.size(), CHttpDownload2MemSink::kMaxBody);
  // The bound is per body: a retry through the same sink starts afresh.
  ASSERT_TRUE(sink.onHttpRecvHeader(200, -1));
  EXPECT_TRUE(sink.onHttpRecvData("y", 1));

  // An endless reply behind the facade ends with code 19.
  for (int type : {0, 1}) {
    std::string body;
    CHttpDownload2MemSink memSink(body);
    CHttpClientWrapper client;
    client.connectionType = type;
    ASSERT_TRUE(client.open(httptest::httpUrl("/endless"), &memSink));
    EXPECT_FALSE(client.perform()) << type;
    EXPECT_LE(body.size(), CHttpDownload2MemSink::kMaxBody);
    EXPECT_GT(body.size(), CHttpDownload2MemSink::kMaxBody - 65536);
  }
}

TEST(FileSink, LogsAndRefusesNon2xxWithoutTouchingFiles) {
  TempDir dir;
  LogCapture capture;
  for (int status : {199, 300, 404}) {
    CHttpDownload2FileSink sink(dir.file(L"out.bin"), nullptr);
    EXPECT_FALSE(sink.onHttpRecvHeader(status, 12));
    EXPECT_FALSE(exists(dir.file(L"out.bin")));
  }
  ASSERT_EQ(logLines.size(), 6u);
  EXPECT_EQ(logLines[0].first, "utility::CHttpDownload2FileSink::onHttpRecvHeader");
  EXPECT_EQ(logLines[0].second, L"onHttpRecvHeader status 199, total 12");
  EXPECT_EQ(logLines[1].second, L"onHttpRecvHeader error");
  EXPECT_EQ(logLines[5].first, "utility::CHttpDownload2FileSink::onHttpRecvHeader");
}

TEST(FileSink, DownloadWritesTheBodyAndTellsProgressFirst) {
  TempDir dir;
  LogCapture capture;
  std::wstring path = dir.file(L"pkg.bin");
  {  // an existing file is emptied when the header is accepted
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, "old content", 11, &written, nullptr);
    CloseHandle(f);
  }
  for (int type : {0, 1}) {
    Progress progress;
    progress.watchedFile = path;
    CHttpClientWrapper client;
    client.connectionType = type;
    ASSERT_TRUE(client.download(httptest::httpUrl("/fixed?n=100000"), path, &progress)) << type;
    EXPECT_EQ(readFile(path), httptest::pattern(0, 100000));
    ASSERT_FALSE(progress.calls.empty());
    EXPECT_EQ(progress.calls.back().first, 100000);
    EXPECT_EQ(progress.calls.back().second, 100000);
    EXPECT_EQ(progress.fileAtCall.front(), "") << "emptied before the first byte, piece not yet written";
  }
  EXPECT_EQ(logLines.back().first, "utility::CHttpDownload2FileSink::onHttpFinished");
  EXPECT_EQ(logLines.back().second, L"http finish");

  // No length: -1 with every piece.
  Progress progress;
  CHttpClientWrapper client;
  ASSERT_TRUE(client.download(httptest::httpUrl("/chunked?sizes=40000,3"), path, &progress));
  for (auto& call : progress.calls) EXPECT_EQ(call.second, -1);
  EXPECT_EQ(readFile(path), httptest::pattern(0, 40003));
  // 204: accepted, the file is created empty.
  ASSERT_TRUE(client.download(httptest::httpUrl("/status?code=204"), path, nullptr));
  EXPECT_EQ(readFile(path), "");
}

TEST(FileSink, FailuresKeepWhatWasWritten) {
  TempDir dir;
  LogCapture capture;
  std::wstring path = dir.file(L"cut.bin");
  for (int type : {0, 1}) {
    CHttpClientWrapper client;
    client.connectionType = type;
    // Cut short: a failure, the partial file stays (and is closed).
    EXPECT_FALSE(client.download(httptest::httpUrl("/short?n=5000&send=3000"), path, nullptr));
    EXPECT_EQ(readFile(path), httptest::pattern(0, 3000));
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "the file must be closed";
    // Progress refuses the second piece: that piece is not written.
    Progress progress;
    progress.refuseAt = 1;
    EXPECT_FALSE(client.download(httptest::httpUrl("/fixed?n=300000"), path, &progress));
    std::string content = readFile(path);
    EXPECT_EQ(content.size(), static_cast<size_t>(progress.calls[0].first));
    EXPECT_TRUE(DeleteFileW(path.c_str()));
  }
}

TEST(FileSink, MissingFolderIsLoggedAndRefused) {
  TempDir dir;
  LogCapture capture;
  std::wstring path = dir.file(L"no_such_folder\\x.bin");
  struct Recorder : utility::IHttpClientSink {
    CHttpDownload2FileSink inner;
    explicit Recorder(const std::wstring& p) : inner(p, nullptr) {}
    std::vector<int> codes;
    void onHttpError(int code, int) override { codes.push_back(code); }
    bool onHttpRecvHeader(int s, int t) override { return inner.onHttpRecvHeader(s, t); }
    bool onHttpRecvData(const char* d, int n) override { return inner.onHttpRecvData(d, n); }
    void onHttpFinished() override { inner.onHttpFinished(); }
  } sink(path);
  CHttpClientWrapper client;
  ASSERT_TRUE(client.open(httptest::httpUrl("/fixed?n=10"), &sink));
  std::string head;
  int status = 0, total = 0;
  EXPECT_FALSE(client.request(head, status, total));
  EXPECT_TRUE(sink.codes.empty());
  ASSERT_EQ(logLines.size(), 2u);
  EXPECT_EQ(logLines[1].second,
            L"create file error; filename " + path + L" lasterror:" + std::to_wstring(ERROR_PATH_NOT_FOUND));
}

TEST(FileSink, FailedWriteRefusesThePiece) {
  TempDir dir;
  std::wstring path = dir.file(L"ro.bin");
  CHttpDownload2FileSink sink(path, nullptr);
  ASSERT_TRUE(sink.onHttpRecvHeader(200, 10));
  EXPECT_TRUE(sink.onHttpRecvData("abc", 3));
  sink.closeFile();  // the next write fails like a vanished handle or a full disk would
  EXPECT_FALSE(sink.onHttpRecvData("def", 3));
  EXPECT_EQ(readFile(path), "abc");
}
