#include "duilib/scrollbar.h"

#include <algorithm>
#include <cwchar>

#include "duilib/paint_manager.h"

namespace DuiLib {

namespace {
constexpr int kMinThumb = 16;  // pixels: the thumb stays grabbable on long texts
}

CScrollBarUI::CScrollBarUI() { fixedWidth_ = 8; }

const wchar_t* CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

void* CScrollBarUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"ScrollBar") == 0) return this;
  return CControlUI::GetInterface(name);
}

bool CScrollBarUI::ScrollInfo(SCROLLINFO& si) const {
  si = SCROLLINFO{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  return target_ && GetScrollInfo(target_, SB_VERT, &si);
}

RECT CScrollBarUI::ThumbRect() const {
  SCROLLINFO si;
  if (!ScrollInfo(si)) return RECT{};
  const int range = si.nMax - si.nMin + 1;
  const int page = static_cast<int>(si.nPage);
  if (page <= 0 || range <= page) return RECT{};
  const int track = RectHeight(rcItem_);
  const int thumb = std::min(track, std::max(kMinThumb, static_cast<int>(static_cast<long long>(track) * page / range)));
  const int span = range - page;
  const int pos = std::clamp(si.nPos - si.nMin, 0, span);
  const int top = rcItem_.top + static_cast<int>(static_cast<long long>(track - thumb) * pos / span);
  return RECT{rcItem_.left, top, rcItem_.right, top + thumb};
}

void CScrollBarUI::ScrollTo(int pos) {
  if (!target_) return;
  SCROLLINFO si;
  if (!ScrollInfo(si)) return;
  pos = std::clamp(pos, si.nMin, std::max(si.nMin, si.nMax - static_cast<int>(si.nPage) + 1));
  ::SendMessageW(target_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
  SyncWithTarget();
}

void CScrollBarUI::SyncWithTarget() {
  SCROLLINFO si;
  if (!ScrollInfo(si)) return;
  if (si.nPos != painted_.nPos || si.nMax != painted_.nMax || si.nPage != painted_.nPage || si.nMin != painted_.nMin) {
    Invalidate();
  }
}

void CScrollBarUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_MOUSEENTER:
      hot_ = true;
      Invalidate();
      break;
    case UIEVENT_MOUSELEAVE:
      hot_ = false;
      Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
      RECT thumb = ThumbRect();
      if (RectEmpty(thumb)) break;
      if (PtInRect(&thumb, event.ptMouse)) {
        dragging_ = true;
        dragOffset_ = event.ptMouse.y - thumb.top;
      } else if (target_) {
        ::SendMessageW(target_, WM_VSCROLL, event.ptMouse.y < thumb.top ? SB_PAGEUP : SB_PAGEDOWN, 0);
        SyncWithTarget();
      }
      Invalidate();
      break;
    }
    case UIEVENT_MOUSEMOVE:
      if (dragging_) {
        SCROLLINFO si;
        RECT thumb = ThumbRect();
        if (!ScrollInfo(si) || RectEmpty(thumb)) break;
        const int room = RectHeight(rcItem_) - RectHeight(thumb);
        const int span = si.nMax - si.nMin + 1 - static_cast<int>(si.nPage);
        if (room <= 0 || span <= 0) break;
        const int top = std::clamp(static_cast<int>(event.ptMouse.y - dragOffset_ - rcItem_.top), 0, room);
        ScrollTo(si.nMin + static_cast<int>(static_cast<long long>(top) * span / room));
      }
      break;
    case UIEVENT_BUTTONUP:
      dragging_ = false;
      Invalidate();
      break;
    default:
      break;
  }
}

void CScrollBarUI::PaintStatusImage(HDC hdc) {
  ScrollInfo(painted_);
  DrawImage(hdc, trackImage_);
  RECT thumb = ThumbRect();
  if (RectEmpty(thumb)) return;
  const std::wstring& image = dragging_ ? thumbPushedImage_ : (hot_ ? thumbHotImage_ : thumbImage_);
  TImageInfo info = ParseImageString(image.empty() ? thumbImage_ : image);
  if (!DrawImageString(hdc, manager_, thumb, info)) DrawColor(hdc, thumb, 0xFF8C98AE);
}

void CScrollBarUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"bknormalimage") == 0) trackImage_ = v;
  else if (wcscmp(name, L"thumbnormalimage") == 0) thumbImage_ = v;
  else if (wcscmp(name, L"thumbhotimage") == 0) thumbHotImage_ = v;
  else if (wcscmp(name, L"thumbpushedimage") == 0) thumbPushedImage_ = v;
  else CControlUI::SetAttribute(name, value);  // width, height, ... (button images are not used)
}

}  // namespace DuiLib
