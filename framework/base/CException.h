// Exceptions of the framework. As in the classic API they are thrown as
// pointers to heap objects, and the catcher calls Delete.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/Types.h"

class CException : public CObject {
public:
    void Delete() { delete this; }

    // Copies a text that says what went wrong into `lpszError` (at most
    // nMaxError bytes, the NUL included); FALSE, with an empty text, when the
    // exception has none.
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
};
