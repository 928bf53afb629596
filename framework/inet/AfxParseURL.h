// Splits an http or https address into the parts a connection and a request
// need, as the web's URL standard parses it (see WebUrl.h).
#pragma once

#include "framework/base/CString.h"
#include "framework/inet/InetConstants.h"
#include "framework/inet/WebUrl.h"

// `url` is text in the program's code page. On success: the service type,
// the server in its ASCII form (an IPv6 address without its brackets), the
// object (the encoded path and query: a fragment is never sent) and the port
// (the scheme's default when the address names none). Returns FALSE, with an
// empty server and the part that did not parse in `fault` when given, for
// anything the standard refuses, and for port 0, which no connection can
// reach.
BOOL AfxParseURL(LPCSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port,
    WebUrlFault* fault = nullptr);

// The address as the standard serialises it, fragment and all: what a
// browser opens for `url`. FALSE, with `canonical` empty, as above.
BOOL AfxCanonicalizeUrl(LPCSTR url, CString& canonical, WebUrlFault* fault = nullptr);
