// Message maps: each window class lists the messages it handles in a static
// table that chains to its base class's table. The entries' adapters turn the
// message's payloads into the handler's arguments.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/Constants.h"

class CCmdTarget;
class CCmdUI;

// Framework-private message numbers.
constexpr UINT WM_COMMAND_UPDATE_UI = 0x0363; // lParam: CCmdUI*
constexpr UINT WM_REFLECT_NOTIFY = 0xBC4E; // WM_NOTIFY reflected to the control that sent it

// Button notification codes carried in WM_COMMAND.
constexpr UINT BN_CLICKED = 0;

struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// WM_NOTIFY payload as the handler sees it: the header and a place for the result.
struct NotifyPayload {
    NMHDR* header;
    LRESULT* result;
};

using AFX_PMSG = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode; // notification code for WM_COMMAND and WM_NOTIFY entries
    UINT nID;
    UINT nLastID;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The macros keep their hand-made layout.
// clang-format off
#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                          \
    {                                                                                                        \
        using ThisClass [[maybe_unused]] = theClass;                                                         \
        using TheBaseClass = baseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    {0, 0, 0, 0, nullptr}                                                                                    \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]};                   \
    return &messageMap;                                                                                      \
    }

#define AFX_HANDLER(body) [](CCmdTarget* target, [[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam) -> LRESULT { auto* self = static_cast<ThisClass*>(target); body }

#define ON_WM_CREATE()                                                                                       \
    {WM_CREATE, 0, 0, 0, AFX_HANDLER(return self->OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam));)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AFX_HANDLER(self->OnDestroy(); return 0;)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AFX_HANDLER(self->OnClose(); return 0;)},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, AFX_HANDLER(self->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)},
#define ON_WM_SIZE()                                                                                         \
    {WM_SIZE, 0, 0, 0,                                                                                       \
     AFX_HANDLER(self->OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)),             \
                              HIWORD(static_cast<DWORD_PTR>(lParam))); return 0;)},
#define ON_WM_DROPFILES()                                                                                    \
    {WM_DROPFILES, 0, 0, 0, AFX_HANDLER(self->OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;)},

// Command handlers take no arguments; update handlers take the CCmdUI.
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), (id), AFX_HANDLER(self->memberFxn(); return 1;)},
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, (id), (id), AFX_HANDLER(self->memberFxn(); return 1;)},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                                  \
    {WM_COMMAND_UPDATE_UI, 0, (id), (id),                                                                    \
     AFX_HANDLER(self->memberFxn(reinterpret_cast<CCmdUI*>(lParam)); return 1;)},
#define ON_COMMAND_EX(id, memberFxn)                                                                         \
    {WM_COMMAND, 0, (id), (id), AFX_HANDLER(return self->memberFxn(static_cast<UINT>(wParam)) ? 1 : 0;)},
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                                   \
    {WM_REFLECT_NOTIFY, (code), 0, 0, AFX_HANDLER(auto* p = reinterpret_cast<NotifyPayload*>(lParam);        \
                                                  self->memberFxn(p->header, p->result); return 1;)},
// clang-format on
