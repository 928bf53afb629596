// The application's name, as the application object sets it from its title
// string; the HTTP session uses it as its default agent name.
#pragma once

#include "framework/base/CString.h"

const CString& AfxGetAppName();
void AfxSetAppName(const CString& name);
