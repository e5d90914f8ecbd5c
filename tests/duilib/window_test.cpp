// Window base, input and paint steps over small layouts of our own:
// layout rules, notifications from real mouse messages, message-map order,
// the Escape pre-filter, caption drag, and images drawn on screen.
#include <gtest/gtest.h>

#include "tests/duilib/test_support.h"
#include "ui/skin/skin.h"

using namespace DuiLib;
using duitest::Click;
using duitest::Pump;
using duitest::ScreenPixel;
using duitest::TestWindow;

namespace {

const char kBasic[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="300,200" caption="0,0,0,30">
  <Font id="0" name="微软雅黑" size="12" default="true" />
  <Font id="1" name="微软雅黑" size="16" bold="true" />
  <VerticalLayout bkcolor="#FF102030">
    <HorizontalLayout name="bar" height="30">
      <Label name="title" text="@test_title" />
      <Button name="minbtn" width="30" height="30" />
      <Button name="closebtn" width="30" height="30" />
    </HorizontalLayout>
    <HorizontalLayout name="row" height="40" padding="10,5,10,5">
      <Button name="okbtn" text="OK" width="80" />
      <Option name="opt" width="20" height="20" padding="10,10,0,0" />
      <Edit name="edit" width="100" height="30" padding="10,5,0,0" bkcolor="#FFFFFFFF" />
      <Control />
    </HorizontalLayout>
    <Control name="spacer" />
    <Control name="fixed" height="20" />
    <Button name="offbtn" text="@no_such_id" float="true" pos="250,150,0,0" width="30" height="10" enabled="false" />
  </VerticalLayout>
</Window>
)";

const char kImages[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="200,100">
  <VerticalLayout bkcolor="#FF000000">
    <Control name="src" float="true" pos="0,0,10,10" bkimage="file='test/strip.png' source='10,0,20,10'" />
    <Control name="nine" float="true" pos="20,0,60,20" bkimage="file='test/strip.png' source='0,0,10,10' corner='2,2,2,2'" />
    <Control name="masked" float="true" pos="70,0,80,10" bkcolor="#FF0000FF" bkimage="file='test/strip.png' source='20,0,30,10' mask='0xffff00ff'" />
    <Control name="dest" float="true" pos="90,0,110,20" bkimage="file='test/strip.png'source='10,0,20,10'dest='5,5,15,15'" />
    <Control name="plain" float="true" pos="120,0,150,10" bkimage="test/strip.png" />
    <Progress name="bar" float="true" pos="0,40,100,50" min="0" max="100" value="150" foreimage="file='test/strip.png' source='10,0,20,10'" />
  </VerticalLayout>
</Window>
)";

const char kShared[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Shared>
  <Default name="Button" value="height=&quot;25&quot; width=&quot;40&quot;" />
  <Font id="3" name="微软雅黑" size="20" bold="true" />
</Shared>
)";

const char kDefaults[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="200,100">
  <Include source="test/shared.xml" />
  <HorizontalLayout>
    <Button name="b1" />
    <Button name="b2" height="30" tooltip="@test_title" />
    <Label name="l1" />
  </HorizontalLayout>
</Window>
)";

constexpr DWORD kYellow = 0xFFFFFF00, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kMagenta = 0xFFFF00FF,
                kWhite = 0xFFFFFFFF;

// 30 x 10: block 0 yellow frame (2 px) round red, block 1 green, block 2 magenta with a white centre.
std::vector<DWORD> Strip() {
  std::vector<DWORD> px(30 * 10);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 30; ++x) {
      DWORD c;
      if (x < 10) c = (x < 2 || x >= 8 || y < 2 || y >= 8) ? kYellow : kRed;
      else if (x < 20) c = kGreen;
      else c = (x >= 24 && x < 26 && y >= 4 && y < 6) ? kWhite : kMagenta;
      px[y * 30 + x] = c;
    }
  }
  return px;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    duitest::AddText(L"test/basic.xml", kBasic);
    duitest::AddText(L"test/images.xml", kImages);
    duitest::AddText(L"test/shared.xml", kShared);
    duitest::AddText(L"test/defaults.xml", kDefaults);
    ASSERT_TRUE(duitest::AddPng(L"test/strip.png", Strip(), 30, 10));
    setLanguageText(L"test_title", L"Title");
    setSkinOsMajorVersion(6);
  }
};

RECT Pos(TestWindow& w, const wchar_t* name) {
  CControlUI* c = w.FindControl(name);
  return c ? c->GetPos() : RECT{-1, -1, -1, -1};
}

void ExpectRect(const RECT& r, int l, int t, int rr, int b, const char* what) {
  EXPECT_EQ(r.left, l) << what;
  EXPECT_EQ(r.top, t) << what;
  EXPECT_EQ(r.right, rr) << what;
  EXPECT_EQ(r.bottom, b) << what;
}

void Close(TestWindow& w) {
  if (w.GetHWND()) DestroyWindow(w.GetHWND());
  Pump(20);
}

}  // namespace

TEST_F(WindowTest, BuildsLayoutAtTheLayoutSize) {
  TestWindow w(L"test/basic.xml");
  ASSERT_TRUE(duitest::Open(w));
  RECT wr;
  GetWindowRect(w.GetHWND(), &wr);
  EXPECT_EQ(wr.right - wr.left, 300);
  EXPECT_EQ(wr.bottom - wr.top, 200);
  EXPECT_FALSE(GetWindowLongW(w.GetHWND(), GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongW(w.GetHWND(), GWL_STYLE) & WS_CLIPCHILDREN);
  ExpectRect(Pos(w, L"bar"), 0, 0, 300, 30, "bar");
  ExpectRect(Pos(w, L"title"), 0, 0, 240, 30, "title takes the rest");
  ExpectRect(Pos(w, L"closebtn"), 270, 0, 300, 30, "closebtn");
  ExpectRect(Pos(w, L"row"), 10, 35, 290, 75, "row padding");
  ExpectRect(Pos(w, L"okbtn"), 10, 35, 90, 75, "okbtn");
  ExpectRect(Pos(w, L"opt"), 100, 45, 120, 65, "opt padding");
  ExpectRect(Pos(w, L"edit"), 130, 40, 230, 70, "edit");
  ExpectRect(Pos(w, L"spacer"), 0, 80, 300, 180, "spacer");
  ExpectRect(Pos(w, L"fixed"), 0, 180, 300, 200, "fixed");
  ExpectRect(Pos(w, L"offbtn"), 250, 150, 280, 160, "float pos");
  EXPECT_EQ(w.FindControl(L"title")->GetText(), L"Title");           // "@ID" resolved
  EXPECT_EQ(w.FindControl(L"offbtn")->GetText(), L"@no_such_id");    // unknown ID kept
  EXPECT_EQ(w.FindControl(L"nosuch"), nullptr);
  EXPECT_EQ(w.FindControl(L""), nullptr);
  CControlUI* edit = w.FindControl(L"edit");
  ASSERT_NE(edit->GetInterface(L"Edit"), nullptr);
  EXPECT_EQ(edit->GetInterface(L"Button"), nullptr);
  ASSERT_NE(edit->GetNativeWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(edit->GetNativeWindow()));
  // Hiding a control hides its native child; the parent lays out again.
  edit->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(edit->GetNativeWindow()));
  w.FindControl(L"row")->SetVisible(false);
  Pump(50);
  ExpectRect(Pos(w, L"spacer"), 0, 30, 300, 180, "spacer after hiding the row");
  Close(w);
  EXPECT_TRUE(w.destroyed);
}

TEST_F(WindowTest, ClicksRaiseClickAndSelectChanged) {
  TestWindow w(L"test/basic.xml");
  ASSERT_TRUE(duitest::Open(w));
  Click(w.GetHWND(), duitest::Center(w.FindControl(L"okbtn")));
  EXPECT_TRUE(w.Has(L"click", L"okbtn"));

  auto* opt = static_cast<COptionUI*>(w.FindControl(L"opt")->GetInterface(L"Option"));
  ASSERT_NE(opt, nullptr);
  EXPECT_FALSE(opt->IsSelected());
  Click(w.GetHWND(), duitest::Center(opt));
  EXPECT_TRUE(opt->IsSelected());
  EXPECT_TRUE(w.Has(L"click", L"opt"));
  EXPECT_TRUE(w.Has(L"selectchanged", L"opt"));
  w.notes.clear();
  Click(w.GetHWND(), duitest::Center(opt));
  EXPECT_FALSE(opt->IsSelected());
  EXPECT_TRUE(w.Has(L"selectchanged", L"opt"));

  // A disabled button and a press released outside raise nothing.
  w.notes.clear();
  Click(w.GetHWND(), duitest::Center(w.FindControl(L"offbtn")));
  POINT in = duitest::Center(w.FindControl(L"okbtn"));
  PostMessageW(w.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(in.x, in.y));
  PostMessageW(w.GetHWND(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 150));
  PostMessageW(w.GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
  Pump(100);
  EXPECT_FALSE(w.Has(L"click", L"offbtn"));
  EXPECT_FALSE(w.Has(L"click", L"okbtn"));
  Close(w);
}

TEST_F(WindowTest, LeavingTheEditRaisesKillFocus) {
  TestWindow w(L"test/basic.xml");
  ASSERT_TRUE(duitest::Open(w));
  CControlUI* edit = w.FindControl(L"edit");
  ::SetFocus(edit->GetNativeWindow());
  Pump(50);
  EXPECT_EQ(w.GetPaintManager().GetFocus(), edit);
  EXPECT_TRUE(w.Has(L"setfocus", L"edit"));
  Click(w.GetHWND(), duitest::Center(w.FindControl(L"okbtn")));
  EXPECT_TRUE(w.Has(L"killfocus", L"edit"));
  EXPECT_NE(GetFocus(), edit->GetNativeWindow());
  // Exactly one killfocus for one departure.
  int count = 0;
  for (const auto& n : w.notes) count += n.first == L"killfocus" && n.second == L"edit";
  EXPECT_EQ(count, 1);
  Close(w);
}

TEST_F(WindowTest, EscapeClosesEnterPasses) {
  {
    TestWindow w(L"test/basic.xml");
    ASSERT_TRUE(duitest::Open(w));
    PostMessageW(w.GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
    Pump(100);
    EXPECT_FALSE(w.destroyed);
    PostMessageW(w.GetHWND(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(100);
    EXPECT_TRUE(w.destroyed);
  }
  {
    // Escape typed into the native edit child reaches the window's filter.
    TestWindow w(L"test/basic.xml");
    ASSERT_TRUE(duitest::Open(w));
    HWND edit = w.FindControl(L"edit")->GetNativeWindow();
    ::SetFocus(edit);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    Pump(100);
    EXPECT_FALSE(w.destroyed);
    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(100);
    EXPECT_TRUE(w.destroyed);
  }
}

TEST_F(WindowTest, CaptionDragsOutsideMouseTakingControls) {
  TestWindow w(L"test/basic.xml");
  ASSERT_TRUE(duitest::Open(w));
  auto hit = [&](int x, int y) {
    POINT pt{x, y};
    ClientToScreen(w.GetHWND(), &pt);
    return SendMessageW(w.GetHWND(), WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
  };
  EXPECT_EQ(hit(100, 10), HTCAPTION);   // over the title label
  EXPECT_EQ(hit(285, 10), HTCLIENT);    // over the close button
  EXPECT_EQ(hit(100, 100), HTCLIENT);   // below the caption
  Close(w);
}

namespace {

class MappedWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  void onOwnClose(TNotifyUI&) { ++ownClose; }
  void onOk(TNotifyUI&) { ++ok; }
  int ownClose = 0, ok = 0;
  DUI_DECLARE_MESSAGE_MAP()
};

DUI_BEGIN_MESSAGE_MAP(MappedWindow, TestWindow)
  DUI_ON_CLICK_CTRNAME(L"closebtn", onOwnClose)
  DUI_ON_CLICK_CTRNAME(L"okbtn", onOk)
DUI_END_MESSAGE_MAP()

class CatchAllWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  void onOk(TNotifyUI&) { ++ok; }
  void onAny(TNotifyUI&) { ++any; }
  int ok = 0, any = 0;
  DUI_DECLARE_MESSAGE_MAP()
};

DUI_BEGIN_MESSAGE_MAP(CatchAllWindow, TestWindow)
  DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, onAny)
  DUI_ON_CLICK_CTRNAME(L"okbtn", onOk)
DUI_END_MESSAGE_MAP()

}  // namespace

TEST_F(WindowTest, MessageMapOwnEntriesFirstThenBase) {
  {
    TestWindow plain(L"test/basic.xml");  // base table only
    ASSERT_TRUE(duitest::Open(plain));
    Click(plain.GetHWND(), duitest::Center(plain.FindControl(L"closebtn")));
    Pump(100);
    EXPECT_TRUE(plain.destroyed);
  }
  {
    MappedWindow w(L"test/basic.xml");
    ASSERT_TRUE(duitest::Open(w));
    Click(w.GetHWND(), duitest::Center(w.FindControl(L"closebtn")));
    Pump(100);
    EXPECT_EQ(w.ownClose, 1);
    EXPECT_FALSE(w.destroyed);  // the own entry replaced the base closing
    Click(w.GetHWND(), duitest::Center(w.FindControl(L"okbtn")));
    EXPECT_EQ(w.ok, 1);
    Click(w.GetHWND(), duitest::Center(w.FindControl(L"minbtn")));  // no own entry: base minimises
    Pump(100);
    EXPECT_TRUE(IsIconic(w.GetHWND()));
    Close(w);
  }
  {
    // Within one table the named entry wins; the unnamed one takes the rest,
    // so the base table is not reached.
    CatchAllWindow w(L"test/basic.xml");
    ASSERT_TRUE(duitest::Open(w));
    Click(w.GetHWND(), duitest::Center(w.FindControl(L"okbtn")));
    EXPECT_EQ(w.ok, 1);
    EXPECT_EQ(w.any, 0);
    Click(w.GetHWND(), duitest::Center(w.FindControl(L"closebtn")));
    Pump(100);
    EXPECT_EQ(w.any, 1);
    EXPECT_FALSE(w.destroyed);
    Close(w);
  }
}

TEST_F(WindowTest, ImagesDrawWithSourceCornerMaskAndDest) {
  TestWindow w(L"test/images.xml");
  ASSERT_TRUE(duitest::Open(w));
  HWND h = w.GetHWND();
  struct Probe {
    int x, y;
    DWORD rgb;
    const char* what;
  } probes[] = {
      {5, 5, kGreen, "source part"},
      {21, 1, kYellow, "9-slice corner"},
      {23, 10, kRed, "9-slice middle starts after the corner"},
      {40, 10, kRed, "9-slice centre"},
      {58, 18, kYellow, "9-slice far corner unscaled"},
      {70, 0, 0xFF0000FF, "mask colour transparent over bkcolor"},
      {74, 4, kWhite, "unmasked pixel"},
      {92, 2, 0xFF000000, "outside dest"},
      {100, 10, kGreen, "inside dest"},
      {135, 5, kGreen, "plain file name, whole image"},
      {25, 45, kGreen, "progress fore image"},
  };
  for (const Probe& p : probes) {
    EXPECT_TRUE(duitest::Near(ScreenPixel(h, p.x, p.y), p.rgb & 0xFFFFFF))
        << p.what << " got " << std::hex << ScreenPixel(h, p.x, p.y);
  }
  auto* bar = static_cast<CProgressUI*>(w.FindControl(L"bar")->GetInterface(L"Progress"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetValue(), 100);  // 150 clamped
  bar->SetValue(-5);
  EXPECT_EQ(bar->GetValue(), 0);
  bar->SetValue(50);
  EXPECT_EQ(bar->GetValue(), 50);
  Pump(100);
  EXPECT_TRUE(duitest::Near(ScreenPixel(h, 25, 45), kGreen & 0xFFFFFF));
  EXPECT_TRUE(duitest::Near(ScreenPixel(h, 75, 45), 0));
  // The same pixels come out of the snapshot used by zqtool render.
  std::vector<DWORD> pixels;
  int sw = 0, sh = 0;
  ASSERT_TRUE(w.GetPaintManager().RenderSnapshot(pixels, sw, sh));
  ASSERT_EQ(sw, 200);
  EXPECT_TRUE(duitest::Near(pixels[10 * 200 + 23], kRed));
  Close(w);
}

TEST_F(WindowTest, ControlOperationsOfTheWindows) {
  TestWindow w(L"test/basic.xml");
  ASSERT_TRUE(duitest::Open(w));
  CControlUI* ok = w.FindControl(L"okbtn");
  ok->SetAttribute(L"text", L"@test_title");  // resolved like a layout attribute
  EXPECT_EQ(ok->GetText(), L"Title");
  ok->SetText(L"@test_title");  // set directly: not resolved
  EXPECT_EQ(ok->GetText(), L"@test_title");
  ok->SetEnabled(false);
  Click(w.GetHWND(), duitest::Center(ok));
  EXPECT_FALSE(w.Has(L"click", L"okbtn"));
  ok->SetEnabled(true);
  ok->SetAttribute(L"width", L"50");
  Pump(50);
  EXPECT_EQ(ok->GetPos().right - ok->GetPos().left, 50);
  auto* row = static_cast<IContainerUI*>(w.FindControl(L"row")->GetInterface(L"IContainer"));
  ASSERT_NE(row, nullptr);
  int before = row->GetCount();
  auto* added = new CButtonUI;
  added->SetName(L"addedbtn");
  added->SetFixedWidth(30);
  EXPECT_TRUE(row->Add(added));
  EXPECT_EQ(row->GetCount(), before + 1);
  EXPECT_EQ(w.FindControl(L"addedbtn"), added);
  Pump(50);
  Click(w.GetHWND(), duitest::Center(added));
  EXPECT_TRUE(w.Has(L"click", L"addedbtn"));
  Close(w);
}

TEST_F(WindowTest, IncludedDefaultsFontsAndTooltips) {
  TestWindow w(L"test/defaults.xml");
  ASSERT_TRUE(duitest::Open(w));
  CControlUI* b1 = w.FindControl(L"b1");
  CControlUI* b2 = w.FindControl(L"b2");
  EXPECT_EQ(b1->GetFixedWidth(), 40);
  EXPECT_EQ(b1->GetFixedHeight(), 25);
  EXPECT_EQ(b2->GetFixedWidth(), 40);
  EXPECT_EQ(b2->GetFixedHeight(), 30);  // its own attribute after the class default
  EXPECT_EQ(w.FindControl(L"l1")->GetFixedWidth(), 0);
  EXPECT_EQ(b2->GetToolTip(), L"Title");
  CPaintManagerUI& pm = w.GetPaintManager();
  EXPECT_NE(pm.GetFont(3), pm.GetDefaultFont());
  EXPECT_EQ(pm.GetFont(7), pm.GetDefaultFont());
  EXPECT_EQ(pm.GetToolTipWindow(), nullptr);
  POINT c = duitest::Center(b2);
  PostMessageW(w.GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
  Pump(50);
  EXPECT_EQ(pm.GetHot(), b2);
  EXPECT_NE(pm.GetToolTipWindow(), nullptr);
  Close(w);
}

TEST(DialogBuilder, UnreadableLayoutsBuildNothing) {
  CPaintManagerUI pm;
  CDialogBuilder builder;
  EXPECT_EQ(builder.Create(L"no/such/file.xml", nullptr, &pm), nullptr);
  EXPECT_EQ(builder.GetLastErrorText(), L"file not found");
  const char broken[] = "<Window><VerticalLayout></Window>";
  EXPECT_EQ(builder.CreateFromMemory(broken, sizeof(broken) - 1, nullptr, &pm), nullptr);
  EXPECT_EQ(builder.GetLastErrorText(), L"Unmatched closing tag");
  const char noControl[] = "<Window size=\"10,10\"><Font id=\"0\" name=\"x\" size=\"12\" /></Window>";
  EXPECT_EQ(builder.CreateFromMemory(noControl, sizeof(noControl) - 1, nullptr, &pm), nullptr);
  EXPECT_EQ(builder.GetLastErrorText(), L"no control");
  const char badInclude[] = "<Window><Include source=\"no/such.xml\" /><Control /></Window>";
  EXPECT_EQ(builder.CreateFromMemory(badInclude, sizeof(badInclude) - 1, nullptr, &pm), nullptr);
  EXPECT_EQ(builder.GetLastErrorText(), L"include failed");
  // Unknown elements are skipped with their children.
  const char unknown[] = "<Window><VerticalLayout><Fancy><Button name=\"x\"/></Fancy><Label name=\"y\"/>"
                         "</VerticalLayout></Window>";
  CControlUI* root = builder.CreateFromMemory(unknown, sizeof(unknown) - 1, nullptr, &pm);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->FindControlByName(L"x"), nullptr);
  EXPECT_NE(root->FindControlByName(L"y"), nullptr);
  delete root;
}

TEST_F(WindowTest, DeletingAnOpenWindowObjectDestroysTheWindow) {
  HWND hwnd = nullptr;
  {
    TestWindow w(L"test/basic.xml");
    ASSERT_TRUE(duitest::Open(w));
    hwnd = w.GetHWND();
  }
  EXPECT_FALSE(IsWindow(hwnd));
  Pump(50);  // nothing reaches the deleted object
}
