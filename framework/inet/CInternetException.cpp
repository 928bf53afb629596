#include "framework/inet/CInternetException.h"

void AfxThrowInternetException(DWORD_PTR context, DWORD error)
{
    auto* e = new CInternetException(error);
    e->m_dwContext = context;
    throw e;
}
