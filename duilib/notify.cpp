#include "duilib/notify.h"

#include "duilib/control.h"

namespace DuiLib {

const DUI_MSGMAP* CNotifyPump::GetThisMessageMap() {
  static const DUI_MSGMAP_ENTRY entries[] = {{nullptr, nullptr, nullptr}};
  static const DUI_MSGMAP map = {nullptr, entries};
  return &map;
}

const DUI_MSGMAP* CNotifyPump::GetMessageMap() const { return GetThisMessageMap(); }

bool CNotifyPump::LoopDispatch(TNotifyUI& msg) {
  const std::wstring senderName = msg.pSender ? msg.pSender->GetName() : std::wstring();
  for (const DUI_MSGMAP* map = GetMessageMap(); map; map = map->pBaseMap) {
    const DUI_MSGMAP_ENTRY* byName = nullptr;
    const DUI_MSGMAP_ENTRY* byType = nullptr;
    for (const DUI_MSGMAP_ENTRY* e = map->lpEntries; e && e->sMsgType; ++e) {
      if (msg.sType != e->sMsgType) continue;
      if (e->sCtrlName && *e->sCtrlName) {
        if (!byName && senderName == e->sCtrlName) byName = e;
      } else if (!byType) {
        byType = e;
      }
    }
    const DUI_MSGMAP_ENTRY* hit = byName ? byName : byType;
    if (hit && hit->pfn) {
      (this->*(hit->pfn))(msg);
      return true;
    }
  }
  return false;
}

}  // namespace DuiLib
