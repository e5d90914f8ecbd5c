// Paint manager: binding, tree, resources, notifications and painting.
// Mouse and focus routing live in paint_manager_input.cpp.
#include "duilib/paint_manager.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "duilib/control.h"
#include "duilib/layered_shadow.h"
#include "ui/skin/skin.h"
#include "utility/handle.h"

namespace DuiLib {

namespace {

HINSTANCE g_instance = nullptr;

std::vector<CPaintManagerUI*>& Managers() {
  static std::vector<CPaintManagerUI*> list;
  return list;
}

std::vector<unsigned char> ReadWholeFile(const std::wstring& path) {
  std::vector<unsigned char> out;
  utility::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return out;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > (64 << 20)) return out;
  out.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), out.data(), static_cast<DWORD>(out.size()), &read, nullptr) || read != out.size()) {
    out.clear();
  }
  return out;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI() {
  auto& list = Managers();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  shadow_.reset();
  focus_ = hot_ = pushed_ = nullptr;
  CControlUI* root = root_;
  root_ = nullptr;
  delete root;  // controls reap themselves from this manager while it is still whole
  for (auto& [id, font] : fonts_) DeleteObject(font);
  if (defaultFont_ && !defaultFontFromTable_) DeleteObject(defaultFont_);
}

HINSTANCE CPaintManagerUI::GetInstance() {
  if (g_instance) return g_instance;
  if (HINSTANCE m = skinModule()) return m;
  return GetModuleHandleW(nullptr);
}

void CPaintManagerUI::SetInstance(HINSTANCE instance) { g_instance = instance; }

void CPaintManagerUI::Init(HWND hWnd) {
  hWnd_ = hWnd;
  auto& list = Managers();
  if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
  EnsureGdiplus();
}

void CPaintManagerUI::Unbind() {
  for (auto& [hwnd, owner] : natives_) owner->OnNativeDestroyed();
  natives_.clear();
  shadow_.reset();
  tooltip_ = nullptr;  // owned by the window, gone with it
  tooltipText_.clear();
  hWnd_ = nullptr;
  auto& list = Managers();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

int CPaintManagerUI::MessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!CPaintManagerUI::TranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

bool CPaintManagerUI::TranslateMessage(const MSG* msg) {
  if (!msg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
  // Keyboard messages of a native child go to the filters of the top-level
  // skinned window above it; the window's own messages reach its filters in
  // its window procedure.
  HWND child = msg->hwnd;
  if (!child) return false;
  for (HWND w = GetParent(child); w; w = GetParent(w)) {
    for (CPaintManagerUI* m : Managers()) {
      if (m->hWnd_ == w) {
        LRESULT lRes = 0;
        return m->PreMessageHandler(msg->message, msg->wParam, msg->lParam, lRes);
      }
    }
    if (!(GetWindowLongW(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return false;
}

// ---- tree ---------------------------------------------------------------------

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (!root) return false;
  if (root_ && root_ != root) {
    CControlUI* old = root_;
    root_ = nullptr;
    delete old;
  }
  focus_ = hot_ = pushed_ = nullptr;
  regionSize_ = SIZE{};
  root_ = root;
  InitControls(root_, nullptr);
  layered_ = !layeredImage_.empty() && skinOsMajorVersion() >= 6;
  if (layered_ && hWnd_) {
    shadow_ = std::make_unique<CLayeredShadow>();
    if (!shadow_->Create(hWnd_)) shadow_.reset();
  }
  if (hWnd_ && initSize_.cx > 0 && initSize_.cy > 0) {
    SetWindowPos(hWnd_, nullptr, 0, 0, initSize_.cx, initSize_.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  UpdateLayout();
  UpdateRegion();
  Invalidate();
  return true;
}

CControlUI* CPaintManagerUI::FindControl(const std::wstring& name) const {
  if (!root_ || name.empty()) return nullptr;
  return root_->FindControlByName(name);
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const { return root_ ? root_->FindControlAt(pt) : nullptr; }

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (focus_ == control) focus_ = nullptr;
  if (hot_ == control) {
    hot_ = nullptr;
    if (tooltip_) UpdateToolTip();
  }
  if (pushed_ == control) pushed_ = nullptr;
  for (auto it = natives_.begin(); it != natives_.end();) {
    if (it->second == control) it = natives_.erase(it);
    else ++it;
  }
}

void CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (control) control->SetManager(this, parent);
}

// ---- window attributes --------------------------------------------------------------

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  initSize_ = SIZE{cx, cy};
  if (hWnd_ && root_) SetWindowPos(hWnd_, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPaintManagerUI::SetWindowAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"size") == 0) {
    SIZE s = ParseSize(v);
    SetInitSize(s.cx, s.cy);
  } else if (wcscmp(name, L"caption") == 0) {
    caption_ = ParseRect(v);
  } else if (wcscmp(name, L"mininfo") == 0) {
    minInfo_ = ParseSize(v);
  } else if (wcscmp(name, L"maxinfo") == 0) {
    maxInfo_ = ParseSize(v);
  } else if (wcscmp(name, L"roundcorner") == 0) {
    roundCorner_ = ParseSize(v);
  } else if (wcscmp(name, L"layeredimage") == 0) {
    layeredImage_ = v;
  } else if (wcscmp(name, L"defaultfontcolor") == 0) {
    defaultTextColor_ = ParseColor(v);
  }
}

HWND CPaintManagerUI::GetShadowWindow() const { return shadow_ ? shadow_->GetHWND() : nullptr; }

bool CPaintManagerUI::IsCaptionPoint(POINT pt) const {
  if (!hWnd_) return false;
  RECT rc;
  GetClientRect(hWnd_, &rc);
  return pt.x >= rc.left + caption_.left && pt.x < rc.right - caption_.right && pt.y >= rc.top + caption_.top &&
         pt.y < rc.top + caption_.bottom;
}

// ---- resources ----------------------------------------------------------------------

void CPaintManagerUI::AddFont(int id, const std::wstring& name, int size, bool bold, bool underline, bool italic,
                              bool isDefault) {
  HFONT font = CreateFontW(-std::max(1, size), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, name.c_str());
  if (!font) return;
  auto it = fonts_.find(id);
  if (it != fonts_.end()) {
    if (it->second == defaultFont_) {
      defaultFont_ = nullptr;
      defaultFontFromTable_ = false;
    }
    DeleteObject(it->second);
  }
  fonts_[id] = font;  // fonts_ owns every table font
  if (isDefault) {
    if (defaultFont_ && !defaultFontFromTable_) DeleteObject(defaultFont_);
    defaultFont_ = font;
    defaultFontFromTable_ = true;
  }
}

HFONT CPaintManagerUI::GetDefaultFont() {
  if (!defaultFont_) {
    defaultFont_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"微软雅黑");
    defaultFontFromTable_ = false;
    if (!defaultFont_) defaultFont_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return defaultFont_;
}

HFONT CPaintManagerUI::GetFont(int id) {
  auto it = fonts_.find(id);
  if (it != fonts_.end() && it->second) return it->second;
  return GetDefaultFont();
}

void CPaintManagerUI::AddDefaultAttributeList(const std::wstring& className, const std::wstring& list) {
  defaultAttributes_[className] = list;
}

const std::wstring* CPaintManagerUI::GetDefaultAttributeList(const std::wstring& className) const {
  auto it = defaultAttributes_.find(className);
  return it == defaultAttributes_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::AddImageDefinition(const std::wstring& name, DWORD mask, bool hasMask) {
  imageDefinitions_[name] = {mask, hasMask};
}

const CImageData* CPaintManagerUI::GetImage(const std::wstring& file, DWORD mask, bool hasMask) {
  if (file.empty()) return nullptr;
  if (!hasMask) {
    auto def = imageDefinitions_.find(file);
    if (def != imageDefinitions_.end()) {
      mask = def->second.first;
      hasMask = def->second.second;
    }
  }
  wchar_t suffix[16];
  _snwprintf(suffix, 16, L"|%08lx", hasMask ? static_cast<unsigned long>(mask & 0xFFFFFF) : 0xFF000000ul);
  std::wstring key = file + suffix;
  auto it = images_.find(key);
  if (it != images_.end()) return it->second.get();
  std::vector<unsigned char> bytes = readSkinFile(file);
  if (bytes.empty()) bytes = ReadWholeFile(file);
  std::unique_ptr<CImageData> image = DecodeImage(bytes.data(), bytes.size(), mask, hasMask);
  const CImageData* result = image.get();
  images_[key] = std::move(image);  // failures are cached too: no re-reading every paint
  return result;
}

// ---- notifications and filters -----------------------------------------------------------

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (!notifier || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) return false;
  notifiers_.push_back(notifier);
  return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  auto it = std::find(notifiers_.begin(), notifiers_.end(), notifier);
  if (it == notifiers_.end()) return false;
  notifiers_.erase(it);
  return true;
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam, LPARAM lParam) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = sender;
  msg.dwTimestamp = GetTickCount();
  msg.ptMouse = lastMouse_;
  msg.wParam = wParam;
  msg.lParam = lParam;
  std::vector<INotifyUI*> targets = notifiers_;  // a handler may unregister
  for (INotifyUI* n : targets) n->Notify(msg);
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
  if (!filter || std::find(filters_.begin(), filters_.end(), filter) != filters_.end()) return false;
  filters_.push_back(filter);
  return true;
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  auto it = std::find(filters_.begin(), filters_.end(), filter);
  if (it == filters_.end()) return false;
  filters_.erase(it);
  return true;
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  std::vector<IMessageFilterUI*> filters = filters_;
  for (IMessageFilterUI* f : filters) {
    bool handled = false;
    LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
    if (handled) {
      lRes = r;
      return true;
    }
  }
  return false;
}

void CPaintManagerUI::RegisterNativeWindow(HWND hwnd, CControlUI* owner) {
  if (hwnd && owner) natives_[hwnd] = owner;
}

void CPaintManagerUI::UnregisterNativeWindow(HWND hwnd) { natives_.erase(hwnd); }

CControlUI* CPaintManagerUI::FindNativeOwner(HWND hwnd) const {
  auto it = natives_.find(hwnd);
  return it == natives_.end() ? nullptr : it->second;
}

// ---- layout and paint -------------------------------------------------------------------------

void CPaintManagerUI::Invalidate() {
  if (hWnd_) InvalidateRect(hWnd_, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(const RECT& rc) {
  if (hWnd_) InvalidateRect(hWnd_, &rc, FALSE);
}

void CPaintManagerUI::NeedUpdate() {
  updateNeeded_ = true;
  Invalidate();
}

void CPaintManagerUI::UpdateLayout() {
  updateNeeded_ = false;
  if (!hWnd_ || !root_) return;
  RECT rc;
  GetClientRect(hWnd_, &rc);
  if (RectEmpty(rc)) return;
  root_->SetPos(rc);
}

bool CPaintManagerUI::PaintToSurface(CDibSurface& surface, bool withLayeredImage, bool withText) {
  if (!hWnd_ || !root_) return false;
  if (updateNeeded_) UpdateLayout();
  RECT rc;
  GetClientRect(hWnd_, &rc);
  if (!surface.Create(RectWidth(rc), RectHeight(rc))) return false;
  paintText_ = withText;
  if (withLayeredImage && !layeredImage_.empty()) DrawImageString(surface.Dc(), this, rc, ParseImageString(layeredImage_));
  root_->DoPaint(surface.Dc(), rc);
  paintText_ = true;
  GdiFlush();
  return true;
}

void CPaintManagerUI::OnPaint() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hWnd_, &ps);
  if (!dc) return;
  if (updateNeeded_) UpdateLayout();
  RECT rc;
  GetClientRect(hWnd_, &rc);
  RECT rcPaint = ps.rcPaint;
  if (root_ && !RectEmpty(rcPaint) && backBuffer_.Create(RectWidth(rc), RectHeight(rc))) {
    HDC mem = backBuffer_.Dc();
    int saved = SaveDC(mem);
    IntersectClipRect(mem, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
    if (layered_) DrawImageString(mem, this, rc, ParseImageString(layeredImage_));
    root_->DoPaint(mem, rcPaint);
    RestoreDC(mem, saved);
    GdiFlush();
    BitBlt(dc, rcPaint.left, rcPaint.top, RectWidth(rcPaint), RectHeight(rcPaint), mem, rcPaint.left, rcPaint.top,
           SRCCOPY);
  }
  EndPaint(hWnd_, &ps);
}

void CPaintManagerUI::UpdateRegion() {
  if (!hWnd_ || !root_ || skinOsMajorVersion() < 6) return;
  RECT rc;
  GetClientRect(hWnd_, &rc);
  const int w = RectWidth(rc), h = RectHeight(rc);
  if (w <= 0 || h <= 0) return;
  if (regionSize_.cx == w && regionSize_.cy == h) return;  // made for this size already
  regionSize_ = SIZE{w, h};
  const bool round = roundCorner_.cx > 0 && roundCorner_.cy > 0;
  if (!layered_) {
    if (round) SetWindowRgn(hWnd_, CreateRoundRectRgn(0, 0, w + 1, h + 1, roundCorner_.cx, roundCorner_.cy), TRUE);
    return;
  }
  // Region: the opaque part of the content (tree without text, no shadow).
  CDibSurface content;
  if (!PaintToSurface(content, false, false)) return;
  const DWORD* bits = content.Bits();
  std::vector<RECT> rects;
  RECT bounds{w, h, 0, 0};
  for (int y = 0; y < h; ++y) {
    int x = 0;
    while (x < w) {
      while (x < w && (bits[static_cast<size_t>(y) * w + x] >> 24) < 128) ++x;
      int start = x;
      while (x < w && (bits[static_cast<size_t>(y) * w + x] >> 24) >= 128) ++x;
      if (x > start) {
        rects.push_back(RECT{start, y, x, y + 1});
        bounds.left = std::min<LONG>(bounds.left, start);
        bounds.right = std::max<LONG>(bounds.right, x);
        bounds.top = std::min<LONG>(bounds.top, y);
        bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
      }
    }
  }
  HRGN region = nullptr;
  if (!rects.empty()) {
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    rd->rdh.dwSize = sizeof(RGNDATAHEADER);
    rd->rdh.iType = RDH_RECTANGLES;
    rd->rdh.nCount = static_cast<DWORD>(rects.size());
    rd->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    rd->rdh.rcBound = bounds;
    memcpy(rd->Buffer, rects.data(), rects.size() * sizeof(RECT));
    region = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rd);
    if (region && round) {
      HRGN corners = CreateRoundRectRgn(bounds.left, bounds.top, bounds.right + 1, bounds.bottom + 1,
                                        roundCorner_.cx, roundCorner_.cy);
      if (corners) {
        CombineRgn(region, region, corners, RGN_AND);
        DeleteObject(corners);
      }
    }
  }
  if (region) SetWindowRgn(hWnd_, region, TRUE);  // the system owns it now
  if (shadow_) {
    CDibSurface shadow;
    if (shadow.Create(w, h)) {
      DrawImageString(shadow.Dc(), this, rc, ParseImageString(layeredImage_));
      GdiFlush();
      shadow_->SetImage(shadow);
    }
    shadow_->Follow();
  }
}

bool CPaintManagerUI::RenderSnapshot(std::vector<DWORD>& pixels, int& width, int& height) {
  CDibSurface full, noText;
  if (!PaintToSurface(full, layered_, true) || !PaintToSurface(noText, layered_, false)) return false;
  width = full.Width();
  height = full.Height();
  const size_t n = static_cast<size_t>(width) * height;
  pixels.assign(full.Bits(), full.Bits() + n);
  // GDI text leaves alpha 0: take the alpha of the pass without text, and
  // make pixels that text changed opaque.
  const DWORD* plain = noText.Bits();
  for (size_t i = 0; i < n; ++i) {
    DWORD a = plain[i] & 0xFF000000;
    if ((pixels[i] & 0x00FFFFFF) != (plain[i] & 0x00FFFFFF)) a = 0xFF000000;
    pixels[i] = (pixels[i] & 0x00FFFFFF) | a;
  }
  // Native children draw themselves: copy what they show on screen (the
  // window DC without child clipping holds their pixels), within their regions.
  HDC screen = GetDCEx(hWnd_, nullptr, DCX_CACHE | DCX_WINDOW);
  for (const auto& [hwnd, owner] : natives_) {
    if (!screen || !IsWindowVisible(hwnd)) continue;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    MapWindowPoints(nullptr, hWnd_, reinterpret_cast<POINT*>(&wr), 2);
    RECT box;
    if (GetWindowRgnBox(hwnd, &box) != ERROR) {
      OffsetRect(&box, wr.left, wr.top);
      IntersectRect(&wr, &wr, &box);
    }
    RECT inside{0, 0, width, height};
    if (!IntersectRect(&wr, &wr, &inside)) continue;
    CDibSurface child;
    if (!child.Create(RectWidth(wr), RectHeight(wr))) continue;
    BitBlt(child.Dc(), 0, 0, child.Width(), child.Height(), screen, wr.left, wr.top, SRCCOPY);
    GdiFlush();
    for (int y = 0; y < child.Height(); ++y) {
      for (int x = 0; x < child.Width(); ++x) {
        pixels[static_cast<size_t>(wr.top + y) * width + wr.left + x] =
            child.Bits()[static_cast<size_t>(y) * child.Width() + x] | 0xFF000000;
      }
    }
  }
  if (screen) ReleaseDC(hWnd_, screen);
  return true;
}

}  // namespace DuiLib
