#include "framework/controls/Resources.h"

#include <map>

namespace {

struct Table {
    std::map<UINT, std::vector<MenuItemTemplate>> menus;
    std::map<UINT, DialogTemplate> dialogs;
    std::map<UINT, CString> strings;
    std::map<UINT, std::vector<IconImage>> icons;
};

Table& Resources()
{
    static Table table;
    return table;
}

} // namespace

void AfxRegisterMenu(UINT id, std::vector<MenuItemTemplate> items)
{
    Resources().menus[id] = std::move(items);
}

const std::vector<MenuItemTemplate>* AfxFindMenu(UINT id)
{
    auto it = Resources().menus.find(id);
    return it == Resources().menus.end() ? nullptr : &it->second;
}

void AfxRegisterDialog(UINT id, DialogTemplate dialog)
{
    Resources().dialogs[id] = std::move(dialog);
}

const DialogTemplate* AfxFindDialog(UINT id)
{
    auto it = Resources().dialogs.find(id);
    return it == Resources().dialogs.end() ? nullptr : &it->second;
}

void AfxRegisterString(UINT id, const CString& text)
{
    Resources().strings[id] = text;
}

CString AfxLoadString(UINT id)
{
    auto it = Resources().strings.find(id);
    return it == Resources().strings.end() ? CString() : it->second;
}

bool AfxHasString(UINT id)
{
    return Resources().strings.count(id) > 0;
}

void AfxRegisterIcon(UINT id, std::vector<IconImage> images)
{
    Resources().icons[id] = std::move(images);
}

const std::vector<IconImage>* AfxFindIcon(UINT id)
{
    auto it = Resources().icons.find(id);
    return it == Resources().icons.end() ? nullptr : &it->second;
}
