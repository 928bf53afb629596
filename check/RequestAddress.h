// How a row's URL text becomes an address: the one the probe requests and
// the browser opens.
#pragma once

#include "framework/base/CString.h"

// A text that names its scheme as http:// or https://, in any letter case,
// stays as it is; so does one that holds "http:" anywhere. Everything else
// is taken as a host (and path) for plain HTTP. Empty text stays empty.
CString AddressWithScheme(const CString& text);
