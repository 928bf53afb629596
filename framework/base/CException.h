// Exceptions of the framework. As in the classic API they are thrown as
// pointers to heap objects, and the catcher calls Delete.
#pragma once

#include "framework/base/CObject.h"

class CException : public CObject {
public:
    void Delete() { delete this; }
};
