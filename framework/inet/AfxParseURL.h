// Splits an http or https URL into the parts a connection and a request need.
#pragma once

#include "framework/base/CString.h"
#include "framework/inet/InetConstants.h"

// Reads scheme://[user[:password]@]host[:port][/path][?query][#fragment].
// The scheme is http or https in any letter case; the port defaults to the
// scheme's; the object is path and query ("/" when both are empty); an IPv6
// literal comes back without its brackets. Returns FALSE, with an empty
// server, for anything else: no or another scheme, an empty or malformed
// host, a port that is not a number from 1 to 65535.
BOOL AfxParseURL(LPCSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port);
