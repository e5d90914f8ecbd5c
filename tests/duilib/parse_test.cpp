// Parse step: XML reader, attribute values, image strings, inline markup.
#include <gtest/gtest.h>

#include <cstring>

#include "duilib/attr_parse.h"
#include "duilib/render.h"
#include "duilib/xml_reader.h"

using namespace DuiLib;

namespace {

bool ParseText(const char* text, CXmlNode& root, std::wstring* error = nullptr) {
  CXmlReader reader;
  bool ok = reader.Parse(text, strlen(text), root);
  if (error) *error = reader.GetLastErrorText();
  return ok;
}

}  // namespace

TEST(XmlReader, ReadsElementsAttributesAndEntities) {
  const char* text =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- layout -->\n"
      "<Window size=\"610,480\">\n  <Label text=\"&lt;c #e29022&gt;&apos;x&apos; &amp; &quot;\xE8\xAE\xB8&#x41;&#66;\" />"
      "\n  <VerticalLayout name='v'><Control/></VerticalLayout>\n</Window>\n";
  CXmlNode root;
  ASSERT_TRUE(ParseText(text, root));
  EXPECT_EQ(root.name, L"Window");
  ASSERT_NE(root.Attribute(L"size"), nullptr);
  EXPECT_EQ(*root.Attribute(L"size"), L"610,480");
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_EQ(*root.children[0].Attribute(L"text"), L"<c #e29022>'x' & \"\u8BB8AB");
  EXPECT_EQ(root.children[1].children.size(), 1u);
  EXPECT_EQ(*root.children[1].Attribute(L"name"), L"v");
  EXPECT_EQ(root.children[0].Attribute(L"missing"), nullptr);
}

TEST(XmlReader, RejectsMalformedInputWithItsErrorText) {
  struct Case {
    const char* text;
    const wchar_t* error;
  } cases[] = {
      {"", L"Empty document"},
      {"hello", L"Expected start tag"},
      {"<1abc/>", L"Error parsing element name"},
      {"<Window size=\"1\"", L"Expected start-tag closing"},
      {"<Window><Control/>", L"Expected end-tag start"},
      {"<Window></Control>", L"Unmatched closing tag"},
      {"<Window size/>", L"Error while parsing attributes"},
      {"<Window size=1/>", L"Expected attribute value"},
      {"<Window size=\"1/>", L"Error while parsing attribute string"},
      {"<Window text=\"&bogus;\"/>", L"Error while parsing attribute string"},
      {"<Window/><Second/>", L"Expected start tag"},
  };
  for (const Case& c : cases) {
    CXmlNode root;
    std::wstring error;
    EXPECT_FALSE(ParseText(c.text, root, &error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

TEST(AttrParse, ColoursRectsAndBooleans) {
  EXPECT_EQ(ParseColor(L"#FF8c98ae"), 0xFF8C98AEu);
  EXPECT_EQ(ParseColor(L"#00FFFFFF"), 0x00FFFFFFu);
  EXPECT_EQ(ParseColor(L"0XFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseColor(L"0xffff00ff"), 0xFFFF00FFu);
  EXPECT_EQ(ParseColor(L"#e29022"), 0xFFE29022u);  // six digits: opaque
  bool ok = true;
  EXPECT_EQ(ParseColor(L"#", &ok), 0u);
  EXPECT_FALSE(ok);
  RECT r = ParseRect(L"10, 20,30,40");
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 40);
  RECT partial = ParseRect(L"0,0,0,60");
  EXPECT_EQ(partial.bottom, 60);
  SIZE s = ParseSize(L"590,430");
  EXPECT_EQ(s.cx, 590);
  EXPECT_EQ(s.cy, 430);
  EXPECT_TRUE(ParseBool(L"true"));
  EXPECT_TRUE(ParseBool(L"TRUE"));
  EXPECT_FALSE(ParseBool(L"false"));
  EXPECT_FALSE(ParseBool(L""));
}

TEST(AttrParse, ImageStringsInEveryForm) {
  TImageInfo plain = ParseImageString(L"bg.png");
  EXPECT_EQ(plain.file, L"bg.png");
  EXPECT_FALSE(plain.hasSource);
  EXPECT_FALSE(plain.hasMask);

  // No separator between pairs.
  TImageInfo packed = ParseImageString(L"file='shadow.png'dest='0,0,610,480'");
  EXPECT_EQ(packed.file, L"shadow.png");
  EXPECT_TRUE(packed.hasDest);
  EXPECT_EQ(packed.dest.right, 610);
  EXPECT_EQ(packed.dest.bottom, 480);

  TImageInfo full = ParseImageString(
      L"file='installnow_bg.png' source='10,0,20,10' corner='4,4,4,4' mask='0xffff00ff' fade='128'");
  EXPECT_EQ(full.file, L"installnow_bg.png");
  EXPECT_TRUE(full.hasSource);
  EXPECT_EQ(full.source.left, 10);
  EXPECT_EQ(full.source.right, 20);
  EXPECT_EQ(full.corner.left, 4);
  EXPECT_EQ(full.corner.bottom, 4);
  EXPECT_TRUE(full.hasMask);
  EXPECT_EQ(full.mask, 0xFFFF00FFu);
  EXPECT_EQ(full.fade, 128);
}

TEST(AttrParse, AttributeListsOfDefaults) {
  auto list = ParseAttributeList(L"width=\"8\" bknormalimage=\"file='scrollbar.bmp' source='0,0,16,16'\"  showbutton1=\"false\"");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].first, L"width");
  EXPECT_EQ(list[0].second, L"8");
  EXPECT_EQ(list[1].second, L"file='scrollbar.bmp' source='0,0,16,16'");
  EXPECT_EQ(list[2].first, L"showbutton1");
  EXPECT_TRUE(ParseAttributeList(L"broken").empty());
}

TEST(Markup, ColourAndUnderlineTagsOfTheLicenceRow) {
  auto runs = ParseMarkup(L"已阅读并同意Zavrian <c #e29022><u #e29022>许可协议</u></c>");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].text, L"已阅读并同意Zavrian ");
  EXPECT_FALSE(runs[0].style.hasColor);
  EXPECT_FALSE(runs[0].style.underline);
  EXPECT_EQ(runs[1].text, L"许可协议");
  EXPECT_TRUE(runs[1].style.hasColor);
  EXPECT_EQ(runs[1].style.color, 0xFFE29022u);
  EXPECT_TRUE(runs[1].style.underline);
  EXPECT_TRUE(runs[1].style.hasUnderlineColor);
  EXPECT_EQ(runs[1].style.underlineColor, 0xFFE29022u);
  EXPECT_EQ(StripMarkup(L"a<c #ff0000>b</c>c"), L"abc");
}

TEST(Markup, PlainTextAndStrayTagsStayText) {
  struct Case {
    const wchar_t* in;
    const wchar_t* plain;
  } cases[] = {
      {L"plain text", L"plain text"},
      {L"a < b > c", L"a < b > c"},
      {L"<x>unknown</x>", L"<x>unknown</x>"},
      {L"close </c> without open", L"close </c> without open"},
      {L"<b>bold</b><n>next", L"bold\nnext"},
      {L"<c #ff0000>unclosed", L"unclosed"},
  };
  for (const Case& c : cases) EXPECT_EQ(StripMarkup(c.in), c.plain) << c.in;
}
