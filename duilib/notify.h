// Notifications and their dispatch. A control raises a notification (type
// text + sender) through its paint manager; the manager hands it to every
// registered INotifyUI. WindowImplBase's Notify passes it to CNotifyPump,
// which looks it up in the window's message map.
//
// Message map form (in the class):       DUI_DECLARE_MESSAGE_MAP()
// and in the .cpp:
//   DUI_BEGIN_MESSAGE_MAP(MyWnd, WindowImplBase)
//     DUI_ON_CLICK_CTRNAME(L"closebtn", onCloseClick)
//     DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_KILLFOCUS, L"pathedit", onPathKillFocus)
//     DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, onAnyClick)
//   DUI_END_MESSAGE_MAP()
// Handlers are members `void handler(TNotifyUI& msg)`.
// Dispatch: own table first, then each base table; within one table an entry
// of the type whose control name equals the sender's name wins, else an entry
// of the type without a control name; the first table that yields one ends
// the search.
#pragma once

#include <windows.h>

#include <string>

#include "duilib/ui_defs.h"

namespace DuiLib {

#define DUI_MSGTYPE_CLICK L"click"
#define DUI_MSGTYPE_SELECTCHANGED L"selectchanged"
#define DUI_MSGTYPE_KILLFOCUS L"killfocus"
#define DUI_MSGTYPE_SETFOCUS L"setfocus"
#define DUI_MSGTYPE_TEXTCHANGED L"textchanged"
#define DUI_MSGTYPE_TABSELECT L"tabselect"
#define DUI_MSGTYPE_WINDOWINIT L"windowinit"

// One notification. The sender stays valid for the duration of the call only.
struct TNotifyUI {
  std::wstring sType;           // "click", "selectchanged", "killfocus", ...
  CControlUI* pSender = nullptr;
  DWORD dwTimestamp = 0;        // GetTickCount when raised
  POINT ptMouse{};              // client coordinates of the last mouse event
  WPARAM wParam = 0;            // type-specific (tabselect: new index)
  LPARAM lParam = 0;            // type-specific (tabselect: old index)
};

// Receives every notification of a paint manager's controls.
class INotifyUI {
 public:
  virtual void Notify(TNotifyUI& msg) = 0;

 protected:
  ~INotifyUI() = default;
};

// Sees every message of the window (and its native children) before it is
// dispatched. Set handled = true to consume the message; the result is then
// what the window procedure returns (pre-translated messages ignore it).
class IMessageFilterUI {
 public:
  virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

 protected:
  ~IMessageFilterUI() = default;
};

class CNotifyPump;
using DUI_PMSG = void (CNotifyPump::*)(TNotifyUI& msg);

struct DUI_MSGMAP_ENTRY {
  const wchar_t* sMsgType;   // notification type
  const wchar_t* sCtrlName;  // sender name, or nullptr/"" for any sender
  DUI_PMSG pfn;
};

struct DUI_MSGMAP {
  const DUI_MSGMAP* pBaseMap;        // next table to search, nullptr at the end
  const DUI_MSGMAP_ENTRY* lpEntries;  // terminated by an entry with sMsgType nullptr
};

// Message-map dispatcher. Derive from it (non-virtually) and declare a map.
class CNotifyPump {
 public:
  virtual ~CNotifyPump() = default;
  // Looks msg up as described above; returns true when a handler ran.
  bool LoopDispatch(TNotifyUI& msg);

  // This class's own table: empty, the end of every chain.
  static const DUI_MSGMAP* GetThisMessageMap();

 protected:
  // The most derived table of this object (DUI_DECLARE_MESSAGE_MAP overrides it).
  virtual const DUI_MSGMAP* GetMessageMap() const;
};

// In the class body (any access section; leaves the section public).
#define DUI_DECLARE_MESSAGE_MAP()                                \
 public:                                                         \
  static const ::DuiLib::DUI_MSGMAP* GetThisMessageMap();        \
                                                                 \
 protected:                                                      \
  const ::DuiLib::DUI_MSGMAP* GetMessageMap() const override;    \
                                                                 \
 public:

// In one .cpp file; baseClass is the direct base whose table follows.
#define DUI_BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const ::DuiLib::DUI_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const ::DuiLib::DUI_MSGMAP* theClass::GetThisMessageMap() {                               \
    using DuiThisClass = theClass;                                                        \
    using DuiBaseClass = baseClass;                                                       \
    static const ::DuiLib::DUI_MSGMAP_ENTRY entries[] = {
#define DUI_END_MESSAGE_MAP()                                                        \
  {nullptr, nullptr, nullptr}};                                                      \
  static const ::DuiLib::DUI_MSGMAP map = {DuiBaseClass::GetThisMessageMap(), entries}; \
  return &map;                                                                       \
  }

// Entries; fn is a member of the mapped class, `void fn(TNotifyUI&)`.
#define DUI_ON_MSGTYPE_CTRNAME(type, name, fn) \
  {type, name, static_cast<::DuiLib::DUI_PMSG>(&DuiThisClass::fn)},
#define DUI_ON_MSGTYPE(type, fn) {type, nullptr, static_cast<::DuiLib::DUI_PMSG>(&DuiThisClass::fn)},
#define DUI_ON_CLICK_CTRNAME(name, fn) DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, name, fn)
#define DUI_ON_SELECTCHANGED_CTRNAME(name, fn) DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_SELECTCHANGED, name, fn)
#define DUI_ON_KILLFOCUS_CTRNAME(name, fn) DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_KILLFOCUS, name, fn)

}  // namespace DuiLib
