// The suite's misbehaving server: a script for LocalTcpServer that answers
// by the request's path, with the faults a proper HTTP server never shows.
//
//     /reset-mid-body, /close-mid-body     the connection ends inside the body
//     /stall-before-headers, /stall-mid-body, /drip, /endless
//     /long-line, /nul-lines, /nul-hides-marker, /bad-chunk
//     /wrapped-port                        counted by WrappedPortHits
//     /page, /domain-error                 a page, and the domain-error page
//     anything else                        404 Not Found
#pragma once

#include "tests/support/LocalTcpServer.h"

void AnswerWithFault(LocalTcpServer::Connection& c);

// Requests for the page only a mis-parsed address could reach.
int WrappedPortHits();
