// The program's resources: menus, dialog templates, the string table and
// icons, registered by the application at start-up and looked up by id.
#pragma once

#include <cstddef>
#include <vector>

#include "framework/base/CString.h"

struct MenuItemTemplate {
    CString text; // empty with id 0 and no popup: a separator
    UINT id = 0; // command id of an item
    std::vector<MenuItemTemplate> popup; // the items of a popup
};

struct DialogItemTemplate {
    int id;
    const char* className; // WC_EDIT, WC_BUTTON, WC_STATIC, ...
    CString text;
    DWORD style;
    int x, y, cx, cy; // dialog units
};

struct DialogTemplate {
    DWORD style = 0;
    CString caption;
    int cx = 0, cy = 0; // dialog units
    CString fontFace;
    int pointSize = 9;
    std::vector<DialogItemTemplate> items; // in tab order
};

// One picture of an icon: a PNG image in memory, which lives as long as the
// program.
struct IconImage {
    const unsigned char* data;
    std::size_t size;
};

void AfxRegisterMenu(UINT id, std::vector<MenuItemTemplate> items);
const std::vector<MenuItemTemplate>* AfxFindMenu(UINT id);

void AfxRegisterDialog(UINT id, DialogTemplate dialog);
const DialogTemplate* AfxFindDialog(UINT id);

void AfxRegisterString(UINT id, const CString& text);
// The string's text, or empty when there is none.
CString AfxLoadString(UINT id);
bool AfxHasString(UINT id);

// An icon: the same picture drawn at several sizes.
void AfxRegisterIcon(UINT id, std::vector<IconImage> images);
const std::vector<IconImage>* AfxFindIcon(UINT id);
