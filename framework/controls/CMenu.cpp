#include "framework/controls/CMenu.h"

#include <QMenu>
#include <QPointer>

#include "framework/window/MessageQueue.h"
#include "framework/window/private/WindowBacking.h"

namespace {

PopupMenuHook& Hook()
{
    static PopupMenuHook hook;
    return hook;
}

void AddItems(QMenu* menu, const std::vector<MenuItemTemplate>& items)
{
    for (const MenuItemTemplate& item : items) {
        if (!item.popup.empty()) {
            AddItems(menu->addMenu(ToQString(item.text)), item.popup);
        } else if (item.id == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(ToQString(item.text))->setData(item.id);
        }
    }
}

UINT ShowWithToolkit(const PopupMenuRequest& request)
{
    // On the heap: if the owner goes while the menu is open, the menu goes
    // with it, and the pointer notices.
    const QPointer<QMenu> menu = new QMenu(WidgetOf(CWnd::FromHandle(request.owner)));
    AddItems(menu, *request.items);
    const QAction* chosen = menu->exec(QPoint(request.x, request.y));
    const UINT command = menu && chosen ? chosen->data().toUInt() : 0;
    delete menu.data();
    return command;
}

} // namespace

PopupMenuHook AfxSetPopupMenuHook(PopupMenuHook hook)
{
    PopupMenuHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

BOOL CMenu::LoadMenu(UINT id)
{
    m_items = AfxFindMenu(id);
    m_subMenus.clear();
    if (!m_items)
        return FALSE;
    for (const MenuItemTemplate& item : *m_items) {
        CMenu sub;
        sub.m_items = &item.popup;
        m_subMenus.push_back(std::move(sub));
    }
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    const BOOL had = m_items != nullptr;
    m_items = nullptr;
    m_subMenus.clear();
    return had;
}

CMenu* CMenu::GetSubMenu(int position)
{
    if (position < 0 || static_cast<std::size_t>(position) >= m_subMenus.size()
        || m_subMenus[position].m_items->empty())
        return nullptr;
    return &m_subMenus[static_cast<std::size_t>(position)];
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner)
{
    if (!m_items || !owner)
        return FALSE;
    AfxRunIdleHandlers();
    const PopupMenuRequest request { m_items, x, y, flags, owner->m_hWnd };
    const UINT chosen = Hook() ? Hook()(request) : ShowWithToolkit(request);
    if (chosen != 0)
        PostMessageA(request.owner, WM_COMMAND, chosen, 0);
    return TRUE;
}
