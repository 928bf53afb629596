#include "framework/base/AppName.h"

namespace {

CString& AppName()
{
    static CString name;
    return name;
}

} // namespace

const CString& AfxGetAppName()
{
    return AppName();
}

void AfxSetAppName(const CString& name)
{
    AppName() = name;
}
