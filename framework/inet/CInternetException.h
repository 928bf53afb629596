// The exception every HTTP class throws on failure, as a heap pointer that the
// catcher frees with Delete:
//
//     try { ... } catch (CInternetException* e) { DWORD code = e->m_dwError; e->Delete(); }
#pragma once

#include "framework/base/CException.h"
#include "framework/base/Types.h"

class CInternetException : public CException {
public:
    explicit CInternetException(DWORD error)
        : m_dwError(error)
    {
    }

    DWORD m_dwError;
    DWORD_PTR m_dwContext = 1;
};

// Throws a new CInternetException carrying `error`.
[[noreturn]] void AfxThrowInternetException(DWORD_PTR context, DWORD error);
