#include "framework/base/LastError.h"

#include <cstring>

#include "framework/base/CodePage.h"

namespace {

thread_local DWORD g_lastError = 0;

} // namespace

DWORD GetLastError()
{
    return g_lastError;
}

void SetLastError(DWORD error)
{
    g_lastError = error;
}

CString SystemErrorText(DWORD error)
{
    char buffer[256];
    // The GNU strerror_r may return a static string instead of filling buffer.
    const char* text = ::strerror_r(static_cast<int>(error), buffer, sizeof buffer);
    // The system speaks in the locale's UTF-8.
    return CString(Utf8ToAnsi(text));
}
