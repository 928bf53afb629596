// CDialog: a window built from a dialog template, either modeless (a child
// form) or modal. Template positions are in dialog units, mapped from the
// dialog's font as the classic platform maps them.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "framework/controls/Resources.h"
#include "framework/window/CWnd.h"

class CDialog;

// Replaces the loop of a modal dialog, for tests: the hook gets the created
// and initialised dialog and returns its result. Empty restores the default.
using ModalDialogHook = std::function<int(CDialog&)>;
ModalDialogHook AfxSetModalDialogHook(ModalDialogHook hook);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Creates the dialog as a modeless window; a WS_CHILD template makes a
    // child of the parent.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual int DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Dialog units to pixels for this dialog's font.
    void MapDialogRect(RECT* rect) const;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

private:
    BOOL CreateFromTemplate(const DialogTemplate& dialog, CWnd* parent, DWORD extraStyle);

    std::vector<std::unique_ptr<CWnd>> m_controls;
    std::unique_ptr<CFont> m_font;
    int m_baseUnitX = 0;
    int m_baseUnitY = 0;
    int m_modalResult = -1;
    std::function<void()> m_endModalLoop;
};
