#include <gtest/gtest.h>

#include <string>

#include "tests/skin/skin_test_util.h"
#include "ui/skin/skin.h"

namespace {

// Parses UTF-16 text that ends right before a no-access page.
void parseGuarded(const std::wstring& text, size_t extraBytes = 0) {
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  bytes.append(extraBytes, 'x');
  skintest::GuardedBytes guarded(bytes.data(), bytes.size());
  parseLanguageData(guarded.data(), guarded.size());
}

struct ParseCase {
  const char* what;
  std::wstring data;
  int column;
  const wchar_t* id;
  const wchar_t* text;  // null: the ID must be unknown
  size_t extraBytes = 0;
};

}  // namespace

TEST(LanguageTable, ParsesRowsCellsAndQuotes) {
  const ParseCase cases[] = {
      {"header row behind a BOM", L"\uFEFFClass\tID\t中文简体\t中文繁体\t\t\t\r\n", 0, L"ID",
       L"中文简体"},
      {"shipped row, column 3", L"Button\tconfirm\t确定\t確定\t확인\tConfirm\t\t\t\r\n", 3,
       L"confirm", L"Confirm"},
      {"quoted cell loses its quotes", L"Button\tok\t\"OK\"\t\t\t\r\n", 0, L"ok", L"OK"},
      {"two quotes stay", L"Button\tq\t\"\"\t\t\t\r\n", 0, L"q", L"\"\""},
      {"fewer cells, column 0", L"Label\tshort\tonly\t\r\n", 0, L"short", L"only"},
      {"fewer cells than the column", L"Label\tshort\tonly\t\r\n", 4, L"short", L"only"},
      {"empty translation", L"Label\tblank\t\t\t\t\r\n", 0, L"blank", L""},
      {"last cell without TAB", L"Label\ttail\ttext\r\nLabel\tnext\tn\t\r\n", 0, L"tail",
       L"text"},
      {"data ends inside a cell", L"Label\tend\ttext", 0, L"end", L"text"},
      {"LF-only rows", L"A\ta\t1\t\nB\tb\t2\t\n", 0, L"b", L"2"},
      {"later row replaces", L"A\tk\t1\t\r\nA\tk\t2\t\r\n", 0, L"k", L"2"},
      {"line without TAB has no ID", L"hand edited\r\nLabel\tprompt\tHint\t\r\n", 0,
       L"prompt", L"Hint"},
      {"line without TAB is no ID", L"hand edited\r\nLabel\tprompt\tHint\t\r\n", 0,
       L"hand edited", nullptr},
      {"line without TAB at the data end", L"Label\tprompt\tHint\t\r\nhand edited", 0,
       L"prompt", L"Hint"},
      {"NUL unit ends the data", std::wstring(L"A\ta\t1\t\r\n\0B\tb\t2\t\r\n", 19), 0, L"b",
       nullptr},
      {"odd byte size rounds down", L"A\todd\t12", 0, L"odd", L"12", 1},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.what);
    clearLanguageTable();
    setLanguageColumn(c.column);
    parseGuarded(c.data, c.extraBytes);
    const wchar_t* text = getLanguageText(c.id);
    if (!c.text) {
      EXPECT_EQ(text, nullptr);
    } else {
      ASSERT_NE(text, nullptr);
      EXPECT_STREQ(text, c.text);
    }
  }
  setLanguageColumn(0);
}

TEST(LanguageTable, ResolvesOnlyKnownReferences) {
  clearLanguageTable();
  setLanguageText(L"confirm", L"确定");
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"@confirm", L"确定"}, {L"@unknown", L"@unknown"}, {L"confirm", L"confirm"},
      {L"@Confirm", L"@Confirm"}, {L"@", L"@"}, {L"", L""}};
  for (const auto& [value, shown] : cases) EXPECT_EQ(resolveTextRef(value), shown);
}

TEST(LanguageTable, TranslateAddsUnknownIds) {
  clearLanguageTable();
  setLanguageText(L"confirm", L"确定");
  EXPECT_STREQ(translate("confirm"), L"确定");
  EXPECT_EQ(getLanguageText(L"fresh_id"), nullptr);
  EXPECT_STREQ(translate("fresh_id"), L"fresh_id");
  ASSERT_NE(getLanguageText(L"fresh_id"), nullptr);
  EXPECT_EQ(resolveTextRef(L"@fresh_id"), L"fresh_id");
  const std::string longId(200, 'x');
  EXPECT_EQ(std::wstring(translate(longId.c_str())), std::wstring(127, L'x'));
}
