// CCmdTarget: an object with a message map that commands can be routed to.
#pragma once

#include "framework/window/MessageMap.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Routes a command (WM_COMMAND) or a command-update query
    // (WM_COMMAND_UPDATE_UI) with the given id and notification code to this
    // object's handler. Returns TRUE when a handler took it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, UINT nMessage, LPARAM lParam);

    // Looks up the entry for a window message (not a command) in the map chain.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The state of one user-interface item (a menu item) as the command-update
// handlers see it.
class CCmdUI {
public:
    UINT m_nID = 0;
    BOOL m_bEnabled = TRUE;
    BOOL m_bChecked = FALSE;
    BOOL m_bHandled = FALSE; // a handler answered, or the item has a command handler

    void Enable(BOOL on = TRUE)
    {
        m_bEnabled = on;
        m_bHandled = TRUE;
    }
    void SetCheck(int check = 1)
    {
        m_bChecked = check != 0;
        m_bHandled = TRUE;
    }
};
