#include "duilib/xml_reader.h"

#include <windows.h>

#include <cstring>

namespace DuiLib {

namespace {

constexpr int kMaxDepth = 256;  // guards the recursion against hostile nesting

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameStart(unsigned char c) { return c == '_' || c == ':' || c >= 0x80 || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }
bool IsNameChar(unsigned char c) { return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9'); }

void AppendUtf8(const char* b, const char* e, std::wstring& out) {
  if (b >= e) return;
  int n = MultiByteToWideChar(CP_UTF8, 0, b, static_cast<int>(e - b), nullptr, 0);
  if (n <= 0) return;
  size_t old = out.size();
  out.resize(old + n);
  MultiByteToWideChar(CP_UTF8, 0, b, static_cast<int>(e - b), &out[old], n);
}

void AppendCodePoint(unsigned long cp, std::wstring& out) {
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    cp -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (cp >> 10));
    out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  } else if (cp > 0 && cp < 0x10000) {
    out += static_cast<wchar_t>(cp);
  }
}

}  // namespace

const std::wstring* CXmlNode::Attribute(const wchar_t* attrName) const {
  for (const auto& a : attributes) {
    if (a.first == attrName) return &a.second;
  }
  return nullptr;
}

bool DecodeXmlText(const char* begin, const char* end, std::wstring& out) {
  out.clear();
  const char* run = begin;
  for (const char* p = begin; p < end; ++p) {
    if (*p != '&') continue;
    AppendUtf8(run, p, out);
    const char* semi = static_cast<const char*>(memchr(p, ';', end - p));
    if (!semi || semi - p > 12) return false;
    std::string ent(p + 1, semi);
    if (ent == "lt") out += L'<';
    else if (ent == "gt") out += L'>';
    else if (ent == "amp") out += L'&';
    else if (ent == "quot") out += L'"';
    else if (ent == "apos") out += L'\'';
    else if (ent.size() > 1 && ent[0] == '#') {
      char* stop = nullptr;
      unsigned long cp = (ent[1] == 'x' || ent[1] == 'X') ? strtoul(ent.c_str() + 2, &stop, 16)
                                                          : strtoul(ent.c_str() + 1, &stop, 10);
      if (!stop || *stop) return false;
      AppendCodePoint(cp, out);
    } else {
      return false;
    }
    p = semi;
    run = semi + 1;
  }
  AppendUtf8(run, end, out);
  return true;
}

bool CXmlReader::Fail(const wchar_t* text) {
  error_ = text;
  errorPos_ = static_cast<size_t>(p_ - begin_);
  return false;
}

void CXmlReader::SkipSpace() {
  while (p_ < end_ && IsSpace(*p_)) ++p_;
}

bool CXmlReader::SkipMisc() {
  for (;;) {
    SkipSpace();
    if (end_ - p_ >= 4 && memcmp(p_, "<!--", 4) == 0) {
      const char* stop = nullptr;
      for (const char* q = p_ + 4; q + 3 <= end_; ++q) {
        if (memcmp(q, "-->", 3) == 0) { stop = q; break; }
      }
      if (!stop) return Fail(L"Expected start tag");
      p_ = stop + 3;
    } else if (end_ - p_ >= 2 && (memcmp(p_, "<?", 2) == 0 || memcmp(p_, "<!", 2) == 0)) {
      const char* stop = static_cast<const char*>(memchr(p_, '>', end_ - p_));
      if (!stop) return Fail(L"Expected start tag");
      p_ = stop + 1;
    } else {
      return true;
    }
  }
}

bool CXmlReader::ParseName(std::string& out) {
  const char* start = p_;
  if (p_ >= end_ || !IsNameStart(static_cast<unsigned char>(*p_))) return false;
  while (p_ < end_ && IsNameChar(static_cast<unsigned char>(*p_))) ++p_;
  out.assign(start, p_);
  return true;
}

bool CXmlReader::ParseAttributes(CXmlNode& node) {
  for (;;) {
    SkipSpace();
    if (p_ >= end_) return Fail(L"Expected start-tag closing");
    if (*p_ == '>' || *p_ == '/') return true;
    std::string name;
    if (!ParseName(name)) return Fail(L"Error while parsing attributes");
    SkipSpace();
    if (p_ >= end_ || *p_ != '=') return Fail(L"Error while parsing attributes");
    ++p_;
    SkipSpace();
    if (p_ >= end_ || (*p_ != '"' && *p_ != '\'')) return Fail(L"Expected attribute value");
    char quote = *p_++;
    const char* vstart = p_;
    const char* vend = static_cast<const char*>(memchr(p_, quote, end_ - p_));
    if (!vend) return Fail(L"Error while parsing attribute string");
    if (memchr(vstart, '<', vend - vstart)) return Fail(L"Error while parsing attribute string");
    std::wstring wname, wvalue;
    AppendUtf8(name.data(), name.data() + name.size(), wname);
    if (!DecodeXmlText(vstart, vend, wvalue)) return Fail(L"Error while parsing attribute string");
    node.attributes.emplace_back(std::move(wname), std::move(wvalue));
    p_ = vend + 1;
    if (p_ < end_ && !IsSpace(*p_) && *p_ != '>' && *p_ != '/') return Fail(L"Error while parsing attributes");
  }
}

bool CXmlReader::ParseElement(CXmlNode& node, int depth) {
  if (depth > kMaxDepth) return Fail(L"Error parsing element name");
  if (p_ >= end_ || *p_ != '<') return Fail(L"Expected start tag");
  ++p_;
  std::string name;
  if (!ParseName(name)) return Fail(L"Error parsing element name");
  AppendUtf8(name.data(), name.data() + name.size(), node.name);
  if (!ParseAttributes(node)) return false;
  if (*p_ == '/') {
    ++p_;
    if (p_ >= end_ || *p_ != '>') return Fail(L"Expected start-tag closing");
    ++p_;
    return true;
  }
  ++p_;  // '>'
  for (;;) {
    // Text content is skipped, but must not hold a stray '<'.
    while (p_ < end_ && *p_ != '<') ++p_;
    if (p_ >= end_) return Fail(L"Expected end-tag start");
    if (end_ - p_ >= 4 && memcmp(p_, "<!--", 4) == 0) {
      if (!SkipMisc()) return false;
      continue;
    }
    if (end_ - p_ >= 9 && memcmp(p_, "<![CDATA[", 9) == 0) {
      const char* stop = nullptr;
      for (const char* q = p_ + 9; q + 3 <= end_; ++q) {
        if (memcmp(q, "]]>", 3) == 0) { stop = q; break; }
      }
      if (!stop) return Fail(L"Expected end-tag start");
      p_ = stop + 3;
      continue;
    }
    if (end_ - p_ >= 2 && p_[1] == '/') {
      p_ += 2;
      std::string closing;
      if (!ParseName(closing) || closing != name) return Fail(L"Unmatched closing tag");
      SkipSpace();
      if (p_ >= end_ || *p_ != '>') return Fail(L"Unmatched closing tag");
      ++p_;
      return true;
    }
    node.children.emplace_back();
    if (!ParseElement(node.children.back(), depth + 1)) return false;
  }
}

bool CXmlReader::Parse(const char* data, size_t size, CXmlNode& root) {
  error_.clear();
  errorPos_ = 0;
  root = CXmlNode{};
  begin_ = p_ = data;
  end_ = data + size;
  if (size >= 3 && memcmp(data, "\xEF\xBB\xBF", 3) == 0) p_ += 3;
  if (!SkipMisc()) return false;
  if (p_ >= end_) return Fail(L"Empty document");
  if (!ParseElement(root, 0)) return false;
  if (!SkipMisc()) return false;
  // Trailing NULs are tolerated (files padded by tools); anything else is not.
  while (p_ < end_ && *p_ == '\0') ++p_;
  if (p_ < end_) return Fail(L"Expected start tag");
  return true;
}

}  // namespace DuiLib
