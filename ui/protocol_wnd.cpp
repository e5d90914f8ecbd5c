#include "ui/protocol_wnd.h"

#include "ui/layout_file.h"

DUI_BEGIN_MESSAGE_MAP(ProtocolWnd, WindowImplBase)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, L"confirmprotocolbtn", onConfirmClick)
DUI_END_MESSAGE_MAP()

namespace {
constexpr int kLicenceResourceId = 132;
}

const wchar_t* ProtocolWnd::GetWindowClassName() const { return L"protocolwnd"; }
UINT ProtocolWnd::GetClassStyle() const { return CS_HREDRAW | CS_VREDRAW; }
std::wstring ProtocolWnd::GetSkinFolder() { return L""; }

std::wstring ProtocolWnd::GetSkinFile() {
  return layoutFileFor(L"protocolwnd");
}

std::wstring ProtocolWnd::licenceText() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(kLicenceResourceId), L"TXT");
  if (!info) return L"";
  HGLOBAL res = LoadResource(module, info);
  const void* data = res ? LockResource(res) : nullptr;
  if (!data) return L"";
  DWORD size = SizeofResource(module, info);
  // Resource data is at least 2-byte aligned; the units are taken as stored.
  return std::wstring(static_cast<const wchar_t*>(data), size / 2);
}

void ProtocolWnd::InitWindow() {
  owner_ = GetWindow(GetHWND(), GW_OWNER);
  if (DuiLib::CControlUI* edit = FindControl(L"protocoledit")) edit->SetText(licenceText());
}

void ProtocolWnd::onConfirmClick(DuiLib::TNotifyUI&) { Close(1); }

void ProtocolWnd::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  // The owner back on top as a whole, its layered shadow below it again.
  if (owner_ && IsWindow(owner_) && IsWindowVisible(owner_)) {
    SetWindowPos(owner_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  if (closeCallback_) closeCallback_();
  delete this;
}
