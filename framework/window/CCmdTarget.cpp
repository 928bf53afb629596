#include "framework/window/CCmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, 0, nullptr } };
    static const AFX_MSGMAP messageMap = { nullptr, &entries[0] };
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, UINT nMessage, LPARAM lParam)
{
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(nMessage, static_cast<UINT>(nCode), nID);
    if (!entry)
        return FALSE;
    if (nMessage == WM_COMMAND_UPDATE_UI) {
        auto* ui = reinterpret_cast<CCmdUI*>(lParam);
        // An update handler that leaves the item alone still counts as handled.
        entry->pfn(this, nID, lParam);
        ui->m_bHandled = TRUE;
        return TRUE;
    }
    return entry->pfn(this, nID, lParam) != 0 ? TRUE : FALSE;
}
