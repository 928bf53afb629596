// The exception every HTTP class throws on failure, as a heap pointer that the
// catcher frees with Delete:
//
//     try { ... } catch (CInternetException* e) { DWORD code = e->m_dwError; e->Delete(); }
#pragma once

#include "framework/base/CException.h"
#include "framework/base/CString.h"
#include "framework/base/Types.h"

class CInternetException : public CException {
public:
    explicit CInternetException(DWORD error, CString message = CString())
        : m_dwError(error)
        , m_strMessage(std::move(message))
    {
    }

    // The HTTP client's own words for the failure (in English, as it gives
    // them), for example why a certificate was refused. Not every failure has
    // them: FALSE then.
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

    DWORD m_dwError;
    DWORD_PTR m_dwContext = 1;

private:
    CString m_strMessage;
};

// Throws a new CInternetException carrying `error`, and the client's text for
// it when there is one.
[[noreturn]] void AfxThrowInternetException(DWORD_PTR context, DWORD error, LPCSTR message = nullptr);
