// A small XML reader for layouts: UTF-8 input (optional byte-order mark and
// XML declaration), elements with attributes, comments; text content and
// processing instructions are skipped. Malformed input fails with an error
// text. No state is shared; every call is independent.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace DuiLib {

struct CXmlNode {
  std::wstring name;
  std::vector<std::pair<std::wstring, std::wstring>> attributes;  // in document order, entities decoded
  std::vector<CXmlNode> children;                                 // element children only

  // Value of the named attribute, or nullptr when absent.
  const std::wstring* Attribute(const wchar_t* attrName) const;
};

class CXmlReader {
 public:
  // Parses data (UTF-8) into root. Returns false on malformed input; the
  // error text is then one of "Expected start tag", "Error parsing element
  // name", "Expected start-tag closing", "Expected end-tag start", "Unmatched
  // closing tag", "Error while parsing attributes", "Expected attribute
  // value", "Error while parsing attribute string" (plus "Empty document").
  bool Parse(const char* data, size_t size, CXmlNode& root);
  // Error text of the last failed Parse, empty after success.
  const std::wstring& GetLastErrorText() const { return error_; }
  // Byte offset in the input where the last error was noticed.
  size_t GetLastErrorOffset() const { return errorPos_; }

 private:
  bool Fail(const wchar_t* text);
  void SkipSpace();
  bool SkipMisc();  // comments, declarations, processing instructions, white space
  bool ParseElement(CXmlNode& node, int depth);
  bool ParseName(std::string& out);
  bool ParseAttributes(CXmlNode& node);

  const char* p_ = nullptr;
  const char* begin_ = nullptr;
  const char* end_ = nullptr;
  std::wstring error_;
  size_t errorPos_ = 0;
};

// Decodes the entities &lt; &gt; &amp; &quot; &apos; &#N; &#xH; of UTF-8
// text into UTF-16; returns false on an unknown or unterminated entity.
bool DecodeXmlText(const char* begin, const char* end, std::wstring& out);

}  // namespace DuiLib
