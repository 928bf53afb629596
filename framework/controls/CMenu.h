// CMenu: a menu built from a menu resource, shown as a popup at a screen
// point. Popups go through a hook so tests can pick an item and record the
// call; the default hook shows a real popup whose loop keeps pumping.
#pragma once

#include <functional>
#include <vector>

#include "framework/controls/Resources.h"

class CWnd;

struct PopupMenuRequest {
    const std::vector<MenuItemTemplate>* items;
    int x, y;
    UINT flags;
    HWND owner;
};

// Returns the chosen command id, or 0 when the menu was dismissed.
using PopupMenuHook = std::function<UINT(const PopupMenuRequest&)>;
PopupMenuHook AfxSetPopupMenuHook(PopupMenuHook hook);

class CMenu {
public:
    BOOL LoadMenu(UINT id);
    BOOL DestroyMenu();
    CMenu* GetSubMenu(int position);
    // Shows the popup; the chosen command reaches the owner as WM_COMMAND.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);

private:
    const std::vector<MenuItemTemplate>* m_items = nullptr;
    std::vector<CMenu> m_subMenus;
};
