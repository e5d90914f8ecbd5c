// The product's layouts from the embedded skin archive: each builds, its
// named controls are found with their kinds, the layered look from version 6
// (shadow window, region, visible native children), and images on screen
// matching their source files.
#include <gtest/gtest.h>

#include <vector>

#include "tests/duilib/test_support.h"
#include "ui/skin/skin.h"

using namespace DuiLib;
using duitest::Pump;
using duitest::TestWindow;

namespace {

class RealLayouts : public ::testing::Test {
 protected:
  void SetUp() override {
    duilibInit2(GetModuleHandleW(nullptr));
    if (readSkinFile(L"mainframe.xml").empty()) GTEST_SKIP() << "skin archive not embedded";
  }
};

struct Named {
  const wchar_t* name;
  const wchar_t* kind;  // GetInterface name
};

const std::vector<Named> kMainframe = {
    {L"titlebar", L"HorizontalLayout"}, {L"titlename", L"Label"},
    {L"addQQGroupBtn", L"Button"},      {L"minbtn", L"Button"},
    {L"closebtn", L"Button"},           {L"maintab", L"TabLayout"},
    {L"userdefinitionsui", L"VerticalLayout"}, {L"pathedit", L"Edit"},
    {L"browsebtn", L"Button"},          {L"errorpathnoticeui", L"HorizontalLayout"},
    {L"protocoleLayout", L"HorizontalLayout"}, {L"acceptprotocolopt", L"Option"},
    {L"LicenseAgreementText", L"Label"}, {L"protocollinkbtn", L"Button"},
    {L"userdefinitionBtn", L"Button"},  {L"backBtn", L"Button"},
    {L"direction_left", L"Control"},    {L"direction_right", L"Control"},
    {L"installnowbtn", L"Button"},      {L"loadingprogresslabel", L"Label"},
    {L"installprogressbar", L"Progress"}, {L"downloadProgressLabel", L"Label"},
};
const std::vector<Named> kProtocol = {{L"confirmprotocolbtn", L"Button"}, {L"protocoledit", L"RichEdit"}};
const std::vector<Named> kMessageBox = {{L"titlelabel", L"Label"},    {L"closebtn", L"Button"},
                                        {L"msgiconimage", L"Control"}, {L"descriptlabel", L"Label"},
                                        {L"bottombar", L"IContainer"}};

void Close(TestWindow& w) {
  if (w.GetHWND()) DestroyWindow(w.GetHWND());
  Pump(20);
}

}  // namespace

TEST_F(RealLayouts, EachBuildsAndItsNamedControlsAreFound) {
  struct Case {
    const wchar_t* layout;
    unsigned major;
    int width, height;
    const std::vector<Named>* names;
  } cases[] = {
      {L"mainframe.xml", 10, 610, 480, &kMainframe},  {L"mainframe_xp.xml", 5, 590, 460, &kMainframe},
      {L"protocolwnd.xml", 10, 610, 480, &kProtocol}, {L"protocolwnd_xp.xml", 5, 580, 450, &kProtocol},
      {L"msg/xml_messagebox.xml", 10, 460, 250, &kMessageBox},
  };
  for (const Case& c : cases) {
    setSkinOsMajorVersion(c.major);
    TestWindow w(c.layout);
    ASSERT_TRUE(duitest::Open(w)) << c.layout;
    RECT wr;
    GetWindowRect(w.GetHWND(), &wr);
    EXPECT_EQ(wr.right - wr.left, c.width) << c.layout;
    EXPECT_EQ(wr.bottom - wr.top, c.height) << c.layout;
    for (const Named& n : *c.names) {
      CControlUI* control = w.FindControl(n.name);
      ASSERT_NE(control, nullptr) << c.layout << " " << testing::PrintToString(std::wstring(n.name));
      EXPECT_NE(control->GetInterface(n.kind), nullptr) << testing::PrintToString(std::wstring(n.name));
    }
    Close(w);
  }
}

TEST_F(RealLayouts, MainLayoutStartsOnPageZeroWithItsStates) {
  setSkinOsMajorVersion(10);
  TestWindow w(L"mainframe.xml");
  ASSERT_TRUE(duitest::Open(w));
  auto* tab = static_cast<CTabLayoutUI*>(w.FindControl(L"maintab")->GetInterface(L"TabLayout"));
  EXPECT_EQ(tab->GetCurSel(), 0);
  EXPECT_FALSE(w.FindControl(L"userdefinitionsui")->IsVisible());
  EXPECT_FALSE(w.FindControl(L"pathedit")->IsVisible());
  EXPECT_FALSE(IsWindowVisible(w.FindControl(L"pathedit")->GetNativeWindow()));
  EXPECT_FALSE(w.FindControl(L"installprogressbar")->IsVisible());
  auto* opt = static_cast<COptionUI*>(w.FindControl(L"acceptprotocolopt")->GetInterface(L"Option"));
  EXPECT_TRUE(opt->IsSelected());
  EXPECT_FALSE(w.FindControl(L"backBtn")->IsVisible());
  // Page 2 shows the bar; the options page and its edit go away.
  w.FindControl(L"userdefinitionsui")->SetVisible(true);
  Pump(30);
  EXPECT_TRUE(IsWindowVisible(w.FindControl(L"pathedit")->GetNativeWindow()));
  EXPECT_TRUE(tab->SelectItem(2));
  Pump(30);
  EXPECT_TRUE(w.FindControl(L"installprogressbar")->IsVisible());
  EXPECT_FALSE(w.FindControl(L"installnowbtn")->IsVisible());
  EXPECT_FALSE(IsWindowVisible(w.FindControl(L"pathedit")->GetNativeWindow()));
  EXPECT_FALSE(tab->SelectItem(5));
  EXPECT_EQ(tab->GetCurSel(), 2);
  Close(w);
}

TEST_F(RealLayouts, LayeredLookFromVersionSixOnly) {
  {
    setSkinOsMajorVersion(10);
    TestWindow w(L"mainframe.xml");
    ASSERT_TRUE(duitest::Open(w));
    EXPECT_TRUE(w.GetPaintManager().IsLayered());
    HWND shadow = w.GetPaintManager().GetShadowWindow();
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(GetWindowLongW(shadow, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongW(shadow, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_TRUE(IsWindowVisible(shadow));
    // Activation arrives from the display server in its own time: the
    // shadow settles right behind the content once it has.
    auto nextVisible = [&] {
      HWND next = GetWindow(w.GetHWND(), GW_HWNDNEXT);
      while (next && !IsWindowVisible(next)) next = GetWindow(next, GW_HWNDNEXT);  // hidden helpers (IME)
      return next;
    };
    for (int i = 0; i < 40 && nextVisible() != shadow; ++i) Pump(50);
    EXPECT_EQ(nextVisible(), shadow) << "shadow right behind the content";
    RECT a, b;
    GetWindowRect(w.GetHWND(), &a);
    GetWindowRect(shadow, &b);
    EXPECT_TRUE(EqualRect(&a, &b));
    // The content window is cut to the opaque background (10 px inside).
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w.GetHWND(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 5, 240));
    EXPECT_TRUE(PtInRegion(rgn, 12, 240));
    EXPECT_TRUE(PtInRegion(rgn, 300, 240));
    EXPECT_FALSE(PtInRegion(rgn, 10, 10)) << "round corner";
    DeleteObject(rgn);
    // The shadow follows the window.
    SetWindowPos(w.GetHWND(), nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(30);
    GetWindowRect(shadow, &b);
    EXPECT_EQ(b.left, 40);
    EXPECT_EQ(b.top, 50);
    w.ShowWindow(false);
    Pump(30);
    EXPECT_FALSE(IsWindowVisible(shadow));
    Close(w);
    EXPECT_FALSE(IsWindow(shadow));
  }
  {
    // Native children stay visible in the layered look.
    setSkinOsMajorVersion(10);
    TestWindow w(L"protocolwnd.xml");
    ASSERT_TRUE(duitest::Open(w));
    HWND edit = w.FindControl(L"protocoledit")->GetNativeWindow();
    ASSERT_NE(edit, nullptr);
    wchar_t cls[64] = {};
    GetClassNameW(edit, cls, 64);
    EXPECT_EQ(_wcsicmp(cls, L"RICHEDIT50W"), 0);
    EXPECT_TRUE(IsWindowVisible(edit));
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & WS_VSCROLL);
    w.FindControl(L"protocoledit")->SetText(L"licence text");
    EXPECT_EQ(w.FindControl(L"protocoledit")->GetText(), L"licence text");
    Close(w);
  }
  {
    setSkinOsMajorVersion(5);
    TestWindow w(L"mainframe.xml");  // even with a layeredimage
    ASSERT_TRUE(duitest::Open(w));
    EXPECT_FALSE(w.GetPaintManager().IsLayered());
    EXPECT_EQ(w.GetPaintManager().GetShadowWindow(), nullptr);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(w.GetHWND(), rgn), ERROR);
    DeleteObject(rgn);
    Close(w);
  }
}

TEST_F(RealLayouts, ImagesOnScreenMatchTheirSourceFiles) {
  setSkinOsMajorVersion(10);
  TestWindow w(L"mainframe.xml");
  ASSERT_TRUE(duitest::Open(w));
  CPaintManagerUI& pm = w.GetPaintManager();
  const CImageData* bg = pm.GetImage(L"bg.png", 0, false);
  ASSERT_NE(bg, nullptr);
  ASSERT_EQ(bg->Width(), 590);
  ASSERT_EQ(bg->Height(), 460);
  // Points of the background where nothing else draws (the window offset is 10,10).
  const POINT bgPoints[] = {{5, 230}, {5, 400}, {300, 205}, {584, 300}, {100, 380}};
  for (POINT p : bgPoints) {
    DWORD expected = duitest::Rgb(bg->PixelAt(p.x, p.y));
    DWORD got = duitest::ScreenPixel(w.GetHWND(), p.x + 10, p.y + 10);
    EXPECT_TRUE(duitest::Near(got, expected)) << p.x << "," << p.y << " " << std::hex << got << " vs " << expected;
  }
  // The install button's normal state: part 0,0,200,50 of its strip, unscaled.
  const CImageData* strip = pm.GetImage(L"btn_sure_big.png", 0, false);
  ASSERT_NE(strip, nullptr);
  const RECT& btn = w.FindControl(L"installnowbtn")->GetPos();
  const POINT btnPoints[] = {{30, 25}, {170, 10}, {100, 45}};
  for (POINT p : btnPoints) {
    DWORD src = strip->PixelAt(p.x, p.y);
    if ((src >> 24) != 255) continue;  // only opaque pixels compare directly
    EXPECT_TRUE(duitest::Near(duitest::ScreenPixel(w.GetHWND(), btn.left + p.x, btn.top + p.y), duitest::Rgb(src)))
        << p.x << "," << p.y;
  }
  // The BMP of the scroll bar decodes, keyed on magenta.
  const CImageData* bmp = pm.GetImage(L"scrollbar.bmp", 0xFFFF00FF, true);
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Width(), 64);
  EXPECT_EQ(bmp->Height(), 16);
  EXPECT_EQ(bmp->PixelAt(0, 0) >> 24, 0u) << "magenta corner is transparent";
  Close(w);
}

TEST_F(RealLayouts, WindowIconFromTheExecutable) {
  setSkinOsMajorVersion(10);
  TestWindow w(L"msg/xml_messagebox.xml");
  ASSERT_TRUE(duitest::Open(w));
  w.SetIcon(131);
  EXPECT_NE(SendMessageW(w.GetHWND(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(w.GetHWND(), WM_GETICON, ICON_SMALL, 0), 0);
  Close(w);
}

TEST_F(RealLayouts, RichEditScrollsWithTheSkinnedBar) {
  setSkinOsMajorVersion(10);
  TestWindow w(L"protocolwnd.xml");
  ASSERT_TRUE(duitest::Open(w));
  auto* edit = static_cast<CRichEditUI*>(w.FindControl(L"protocoledit")->GetInterface(L"RichEdit"));
  ASSERT_NE(edit, nullptr);
  CScrollBarUI* bar = edit->GetVerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetFixedWidth(), 8);  // from the VScrollBar default of scrollbar.xml
  EXPECT_EQ(bar->GetPos().right, edit->GetPos().right);
  std::wstring text;
  for (int i = 0; i < 200; ++i) text += L"第" + std::to_wstring(i) + L"行 licence line\r\n";
  edit->SetText(text);
  Pump(50);
  RECT thumb = bar->ThumbRect();
  ASSERT_FALSE(RectEmpty(thumb));
  EXPECT_EQ(thumb.top, bar->GetPos().top);
  HWND native = edit->GetNativeWindow();
  EXPECT_EQ(GetScrollPos(native, SB_VERT), 0);
  // A press on the track below the thumb pages down; the thumb follows.
  duitest::Click(w.GetHWND(), POINT{(thumb.left + thumb.right) / 2, thumb.bottom + 20});
  EXPECT_GT(GetScrollPos(native, SB_VERT), 0);
  EXPECT_GT(bar->ThumbRect().top, thumb.top);
  // The wheel over the bar scrolls the text back up.
  int before = GetScrollPos(native, SB_VERT);
  POINT onBar{(thumb.left + thumb.right) / 2, bar->GetPos().top + 5};
  ClientToScreen(w.GetHWND(), &onBar);
  SendMessageW(w.GetHWND(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 3), MAKELPARAM(onBar.x, onBar.y));
  Pump(50);
  EXPECT_LT(GetScrollPos(native, SB_VERT), before);
  // Nothing of the text is editable.
  EXPECT_TRUE(GetWindowLongW(native, GWL_STYLE) & ES_READONLY);
  Close(w);
}
