#include "ui/message_box.h"

#include <utility>

#include "duilib/container.h"
#include "duilib/label.h"
#include "ui/skin/skin.h"

namespace msg {

namespace {

constexpr wchar_t kLayout[] = L"msg/xml_messagebox.xml";

std::wstring stateImage(const wchar_t* file, const wchar_t* source) {
  return std::wstring(L"file='") + file + L"' source='" + source + L"' corner='4,4,4,4'";
}

}  // namespace

ButtonInfo::ButtonInfo(std::wstring text, std::function<void()> onClick, bool isDefault)
    : text(std::move(text)), onClick(std::move(onClick)), isDefault(isDefault) {}

ButtonInfo::ButtonInfo() : text(translate("confirm")), isDefault(true) {}

std::wstring iconPath(int kind) {
  switch (kind) {
    case 0: return L"msg/msg_notice_icon.png";
    case 1: return L"msg/msg_warning_icon.png";
    case 2: return L"msg/msg_error_icon.png";
    default: return L"";
  }
}

std::set<std::wstring>& openDescriptions() {
  static std::set<std::wstring> descriptions;
  return descriptions;
}

// ---- CSelectionUI ------------------------------------------------------------

CSelectionUI::CSelectionUI(const ButtonInfo& info) : info_(info) {
  SetText(info.text);
  SetAttribute(L"height", L"30");
  SetAttribute(L"valign", L"vcenter");
  SetTextPadding(RECT{20, 0, 20, 0});
  SetPadding(RECT{5, 4, 15, 0});
  SetFont(2);
  SetShowHtml(true);
  const wchar_t* file = info.isDefault ? L"msg/msg_button_def.png" : L"msg/msg_button_sup.png";
  SetNormalImage(stateImage(file, L"0,0,10,10"));
  SetHotImage(stateImage(file, L"10,0,20,10"));
  SetPushedImage(stateImage(file, L"20,0,30,10"));
  SetTextColor(info.isDefault ? 0x00FFFFFF : 0x00333333);
}

void* CSelectionUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Selection") == 0) return this;
  return CButtonUI::GetInterface(name);
}

// ---- MessageBoxWindow --------------------------------------------------------

MessageBoxWindow::MessageBoxWindow(HWND owner, std::wstring layoutFile)
    : owner_(owner), layoutFile_(std::move(layoutFile)) {}

MessageBoxWindow::~MessageBoxWindow() {
  if (!description_.empty()) openDescriptions().erase(description_);
}

const wchar_t* MessageBoxWindow::GetWindowClassName() const { return L"ZVPlayerMsgFrame"; }
UINT MessageBoxWindow::GetClassStyle() const { return CS_HREDRAW | CS_VREDRAW; }
std::wstring MessageBoxWindow::GetSkinFolder() { return L""; }
std::wstring MessageBoxWindow::GetSkinFile() { return layoutFile_; }

void MessageBoxWindow::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  // Bring the owner back on top as a whole: its z-order change lets a
  // companion window (the layered shadow) settle below it again.
  if (owner_ && IsWindow(owner_) && IsWindowVisible(owner_)) {
    SetWindowPos(owner_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  delete this;
}

LRESULT MessageBoxWindow::OnClose(UINT msg, WPARAM wparam, LPARAM lparam, BOOL& handled) {
  if (owner_) EnableWindow(owner_, TRUE);
  return WindowImplBase::OnClose(msg, wparam, lparam, handled);
}

void MessageBoxWindow::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DUI_MSGTYPE_CLICK && msg.pSender) {
    if (msg.pSender->GetName() == L"closebtn") {
      if (closeCallback_) closeCallback_();
    } else if (auto* button = static_cast<CSelectionUI*>(msg.pSender->GetInterface(L"Selection"))) {
      // The action may end the owner; keep what is needed on the stack.
      std::function<void()> action = button->info().onClick;
      HWND self = GetHWND();
      if (action) action();
      if (!IsWindow(self)) return;
      // The owner takes input again before the box goes, so it is the one
      // that becomes active.
      if (owner_) EnableWindow(owner_, TRUE);
      ShowWindow(false, false);
      Close(1);
    }
  }
  WindowImplBase::Notify(msg);
}

void MessageBoxWindow::setIcon(const std::wstring& imagePath) {
  DuiLib::CControlUI* icon = FindControl(L"msgiconimage");
  if (!imagePath.empty()) {
    if (icon) icon->SetBkImage(imagePath);
    return;
  }
  if (icon) icon->SetVisible(false);
  if (DuiLib::CControlUI* label = FindControl(L"descriptlabel")) {
    label->SetAttribute(L"width", L"329");
    label->SetAttribute(L"textpadding", L"20,0,0,16");
  }
}

void MessageBoxWindow::setTitle(const std::wstring& title) {
  if (DuiLib::CControlUI* label = FindControl(L"titlelabel")) label->SetText(title);
}

void MessageBoxWindow::setDescription(const std::wstring& text) {
  description_ = text;
  auto* label = static_cast<DuiLib::CLabelUI*>(
      FindControl(L"descriptlabel") ? FindControl(L"descriptlabel")->GetInterface(L"Label") : nullptr);
  if (!label) return;
  label->SetAttribute(L"align", L"left");
  label->SetAttribute(L"valign", L"vcenter");
  label->SetAttribute(L"multiline", L"true");
  label->SetShowHtml(true);
  label->SetText(text);
}

void MessageBoxWindow::setCloseCallback(std::function<void()> callback) {
  closeCallback_ = std::move(callback);
}

void MessageBoxWindow::addButton(const ButtonInfo& info) {
  DuiLib::CControlUI* bar = FindControl(L"bottombar");
  auto* row = bar ? static_cast<DuiLib::IContainerUI*>(bar->GetInterface(L"IContainer")) : nullptr;
  if (row) row->Add(new CSelectionUI(info));
}

void MessageBoxWindow::setWindowIcon(UINT iconResourceId) { SetIcon(iconResourceId); }

// ---- free functions ------------------------------------------------------------

IMessageBox* createMessageBox(HWND owner, const std::wstring& layoutFile) {
  auto* box = new MessageBoxWindow(owner, layoutFile);
  if (owner) EnableWindow(owner, FALSE);
  if (!box->Create(owner, nullptr, 0, 0)) {
    // The object may already have deleted itself with its failed window;
    // it is never touched again.
    if (owner) EnableWindow(owner, TRUE);
    return nullptr;
  }
  box->CenterWindow();
  box->ShowWindow(true, true);
  return box;
}

namespace {

IMessageBox* openBox(HWND owner, const std::wstring& icon, const std::wstring& title,
                     const std::wstring& description) {
  if (!openDescriptions().insert(description).second) return nullptr;
  IMessageBox* box = createMessageBox(owner, kLayout);
  if (!box) {
    openDescriptions().erase(description);
    return nullptr;
  }
  box->setIcon(icon);
  box->setTitle(title);
  box->setDescription(description);
  return box;
}

}  // namespace

void showMessageBox(HWND owner, const std::wstring& icon, const std::wstring& title,
                    const std::wstring& description, const ButtonInfo& first,
                    const ButtonInfo& second) {
  if (IMessageBox* box = openBox(owner, icon, title, description)) {
    box->addButton(first);
    box->addButton(second);
  }
}

void showMessageBox(HWND owner, const std::wstring& icon, const std::wstring& title,
                    const std::wstring& description, const ButtonInfo& button) {
  if (IMessageBox* box = openBox(owner, icon, title, description)) box->addButton(button);
}

void showErrorBox(HWND owner, const std::wstring& title, const std::wstring& description,
                  const ButtonInfo& button) {
  showMessageBox(owner, iconPath(2), title, description, button);
}

}  // namespace msg
