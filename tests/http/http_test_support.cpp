#include "tests/http/http_test_support.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace httptest {

namespace {

// The program starts Winsock at start-up; so does every test program.
struct WinsockStartup {
  WinsockStartup() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockStartup() { WSACleanup(); }
} winsockStartup;

std::map<std::string, int> readPorts() {
  std::map<std::string, int> ports;
  std::string path = std::string("Z:") + ZQ_HTTP_SERVER_DIR + "/ports.txt";
  FILE* f = fopen(path.c_str(), "r");
  if (!f) return ports;
  char name[32];
  int port = 0;
  while (fscanf(f, "%31s %d", name, &port) == 2) ports[name] = port;
  fclose(f);
  return ports;
}

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

int serverPort(const char* name) {
  static const std::map<std::string, int> ports = readPorts();
  auto it = ports.find(name);
  return it == ports.end() ? 0 : it->second;
}

std::wstring httpUrl(const std::string& path) {
  return L"http://127.0.0.1:" + std::to_wstring(serverPort("http")) + widen(path);
}

std::wstring httpsUrl(const std::string& path) {
  return L"https://127.0.0.1:" + std::to_wstring(serverPort("https")) + widen(path);
}

std::string base64Url(const std::string& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                 (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                 static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    if (i + 1 < bytes.size()) out += kAlphabet[(v >> 6) & 63];
  }
  return out;
}

std::string pattern(size_t offset, size_t n) {
  std::string out(n, '\0');
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>((offset + i) % 251);
  return out;
}

Outcome fetch(const std::wstring& url, int connectionType) {
  Outcome outcome;
  utility::CHttpClientWrapper client;
  client.connectionType = connectionType;
  if (client.open(url, &outcome.sink)) outcome.ok = client.perform();
  client.close();
  return outcome;
}

}  // namespace httptest
