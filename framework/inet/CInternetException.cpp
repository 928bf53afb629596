#include "framework/inet/CInternetException.h"

#include <algorithm>
#include <cstring>

BOOL CInternetException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    if (!lpszError || nMaxError == 0 || m_strMessage.IsEmpty())
        return FALSE;
    const std::size_t count = std::min<std::size_t>(m_strMessage.Bytes().size(), nMaxError - 1);
    std::memcpy(lpszError, m_strMessage.GetString(), count);
    lpszError[count] = '\0';
    return TRUE;
}

void AfxThrowInternetException(DWORD_PTR context, DWORD error, LPCSTR message)
{
    auto* e = new CInternetException(error, CString(message));
    e->m_dwContext = context;
    throw e;
}
