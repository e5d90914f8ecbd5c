#include "model/player_info.h"

#include <rapidjson/document.h>

#include "utility/encoding.h"

namespace model {

// Replies are parsed iteratively: a deeply nested body from the network
// must not run the worker out of stack.
bool parseVersionReply(const std::string& body, VersionReply& reply) {
  rapidjson::Document doc;
  doc.Parse<rapidjson::kParseIterativeFlag>(body.data(), body.size());
  if (doc.HasParseError() || !doc.IsObject()) return false;
  auto mnq = doc.FindMember("mnq");
  if (mnq == doc.MemberEnd() || !mnq->value.IsObject()) return true;
  const auto& obj = mnq->value;
  auto text = [&obj](const char* name) -> std::optional<std::string> {
    auto it = obj.FindMember(name);
    if (it == obj.MemberEnd() || !it->value.IsString()) return std::nullopt;
    return std::string(it->value.GetString(), it->value.GetStringLength());
  };
  if (auto v = text("ver")) reply.version = utility::utf8ToWide(*v);
  if (auto v = text("url")) reply.url = utility::utf8ToWide(*v);
  if (auto v = text("md5")) reply.md5 = *v;
  return true;
}

std::wstring parseGameInfoPackage(const std::string& body) {
  rapidjson::Document doc;
  doc.Parse<rapidjson::kParseIterativeFlag>(body.data(), body.size());
  if (doc.HasParseError() || !doc.IsObject()) return std::wstring();
  auto result = doc.FindMember("result");
  if (result == doc.MemberEnd() || !result->value.IsArray()) return std::wstring();
  for (const auto& element : result->value.GetArray()) {
    if (!element.IsObject()) continue;
    auto name = element.FindMember("app_package_name");
    if (name == element.MemberEnd() || !name->value.IsString()) continue;
    return utility::utf8ToWide(std::string(name->value.GetString(), name->value.GetStringLength()));
  }
  return std::wstring();
}

std::wstring escapeQueryValue(const std::wstring& value) {
  std::string bytes = utility::wideToUtf8(value);
  std::wstring out;
  for (unsigned char c : bytes) {
    bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += static_cast<wchar_t>(c);
    } else {
      static const wchar_t kHex[] = L"0123456789ABCDEF";
      out += L'%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

bool digestsMatchNoCase(const std::string& a, const std::string& b) {
  if (a.empty() || a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

int progressPercent(int received, int total) {
  if (total <= 0) return 0;
  double value = static_cast<double>(received) / static_cast<double>(total) * 100.0;
  if (value <= 0) return 0;
  if (value >= 100) return 100;
  return static_cast<int>(value);
}

}  // namespace model
