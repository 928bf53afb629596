// The reason of the last failed call, per thread, as the classic API keeps
// it. Here the values are the system's errno numbers.
#pragma once

#include "framework/base/CString.h"
#include "framework/base/Types.h"

DWORD GetLastError();
void SetLastError(DWORD error);

// The system's text for an errno number, ready to be shown to the user.
CString SystemErrorText(DWORD error);
