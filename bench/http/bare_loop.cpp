// The peer of the HTTP client benchmark: the least code that downloads a
// URL over the same API, in 32768-byte pieces, each written with WriteFile.
//   http_bare_loop wininet|socket HOST PORT PATH OUTFILE
// Prints "bytes N"; exit 0 on success.
#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kPiece = 32768;

bool writeAll(HANDLE file, const char* data, DWORD length) {
  DWORD written = 0;
  return WriteFile(file, data, length, &written, nullptr) && written == length;
}

long long viaWinInet(const wchar_t* host, int port, const wchar_t* path, HANDLE file) {
  HINTERNET internet = InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectW(internet, host, static_cast<INTERNET_PORT>(port), nullptr,
                                          nullptr, INTERNET_SERVICE_HTTP, 0, 1);
  const wchar_t* accept[] = {L"*/*", nullptr};
  HINTERNET request = HttpOpenRequestW(connection, L"GET", path, L"HTTP/1.1", nullptr, accept,
                                       0x84000001, 1);
  long long total = -1;
  if (request && HttpSendRequestW(request, nullptr, 0, nullptr, 0)) {
    std::vector<char> buffer(kPiece);
    total = 0;
    for (;;) {
      DWORD got = 0;
      if (!InternetReadFile(request, buffer.data(), kPiece, &got)) {
        total = -1;
        break;
      }
      if (got == 0) break;
      if (!writeAll(file, buffer.data(), got)) {
        total = -1;
        break;
      }
      total += got;
    }
  }
  if (request) InternetCloseHandle(request);
  if (connection) InternetCloseHandle(connection);
  if (internet) InternetCloseHandle(internet);
  return total;
}

long long viaSocket(const char* host, int port, const char* path, HANDLE file) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = inet_addr(host);
  long long total = -1;
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
    std::string request = std::string("GET ") + path + " HTTP/1.1\r\nHost: " + host + ":" +
                          std::to_string(port) + "\r\nConnection: close\r\n\r\n";
    if (send(s, request.data(), static_cast<int>(request.size()), 0) ==
        static_cast<int>(request.size())) {
      std::vector<char> buffer(kPiece);
      std::string head;
      bool inBody = false;
      total = 0;
      for (;;) {
        int n = recv(s, buffer.data(), kPiece, 0);
        if (n < 0) {
          total = -1;
          break;
        }
        if (n == 0) break;
        const char* data = buffer.data();
        if (!inBody) {  // the header ends somewhere in the first pieces
          head.append(data, static_cast<size_t>(n));
          size_t end = head.find("\r\n\r\n");
          if (end == std::string::npos) continue;
          inBody = true;
          size_t skip = n - (head.size() - (end + 4));
          data += skip;
          n -= static_cast<int>(skip);
          if (n == 0) continue;
        }
        if (!writeAll(file, data, static_cast<DWORD>(n))) {
          total = -1;
          break;
        }
        total += n;
      }
    }
  }
  closesocket(s);
  return total;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    fprintf(stderr, "usage: http_bare_loop wininet|socket HOST PORT PATH OUTFILE\n");
    return 2;
  }
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  HANDLE file = CreateFileW(argv[5], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  int port = _wtoi(argv[3]);
  long long total = -1;
  if (wcscmp(argv[1], L"wininet") == 0) {
    total = viaWinInet(argv[2], port, argv[4], file);
  } else {
    char host[256], path[2048];
    WideCharToMultiByte(CP_ACP, 0, argv[2], -1, host, sizeof(host), nullptr, nullptr);
    WideCharToMultiByte(CP_ACP, 0, argv[4], -1, path, sizeof(path), nullptr, nullptr);
    total = viaSocket(host, port, path, file);
  }
  CloseHandle(file);
  WSACleanup();
  printf("bytes %lld\n", total);
  return total >= 0 ? 0 : 1;
}
