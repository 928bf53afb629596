// Limits on every HTTP request. A page may never end or may drip a byte at a
// time; without limits it would hold a probe worker and its memory for ever.
// The time limits end a transfer as a time-out (ERROR_INTERNET_STALL_TIMEOUT,
// ERROR_INTERNET_TOTAL_TIMEOUT), as a connection that broke off would end it:
// what was read is dropped. A page that reaches the size limit has answered:
// the request succeeds with the status and the part of the body read so far.
#pragma once

#include <cstddef>
#include <string>

struct InternetBounds {
    long stallSeconds = 30; // no byte received for this long ends the transfer
    long totalSeconds = 60; // the whole request, redirects included
    long maxRedirects = 10; // one more redirect is a failure (CInternetException)
    std::size_t maxBodyBytes = 16u << 20; // reading stops here
    // "host:port" that every connection goes to, whatever host and port the
    // address names (which still go out in the request); empty: where the
    // address says. Lets tests serve any host name from one local server.
    std::string connectTo;
};

// Process-wide, so tests and benchmarks can shorten them; each request reads
// them once when it is sent, from any thread.
void AfxSetInternetBounds(const InternetBounds& bounds);
InternetBounds AfxGetInternetBounds();
