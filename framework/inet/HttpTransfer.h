// Private to the HTTP classes: one request/response exchange over libcurl.
// Kept apart so that only this file knows libcurl.
#pragma once

#include <string>
#include <vector>

#include "framework/base/Types.h"
#include "framework/inet/InternetBounds.h"

struct HttpTransferRequest {
    std::string url;
    std::vector<std::string> headers; // "Name: value"
    std::string agent; // sent only when `headers` has no User-Agent
    std::string referer;
    DWORD connectTimeoutMs = 0; // 0: the total bound
    bool followRedirects = true;
    bool http10 = false;
};

struct HttpTransferResult {
    DWORD error = 0; // 0, or an ERROR_INTERNET_* / ERROR_HTTP_* number
    std::string errorText; // the client's words for `error`, when it has some
    long status = 0; // 0: no status line received
    std::string statusText; // the reason phrase of that status line
    std::string finalUrl; // where redirects led; empty when none was followed
    std::string body;
};

HttpTransferResult RunHttpTransfer(const HttpTransferRequest& request, const InternetBounds& bounds);
