// Options, flags, service types, ports and error numbers of the HTTP classes,
// with their classic values.
#pragma once

#include "framework/base/Types.h"

using INTERNET_PORT = WORD;

constexpr INTERNET_PORT INTERNET_INVALID_PORT_NUMBER = 0;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTPS_PORT = 443;

// Access types of a session. Only the preconfigured one is used: proxies come
// from http_proxy, https_proxy and no_proxy, as libcurl reads them.
constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;

// Session options.
constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr DWORD INTERNET_OPTION_CONNECT_RETRIES = 3;
constexpr DWORD INTERNET_OPTION_CONNECT_BACKOFF = 4;
// Request option: the URL the request ended at.
constexpr DWORD INTERNET_OPTION_URL = 34;

// What CHttpFile::QueryInfo can tell about the answer.
constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
constexpr DWORD HTTP_QUERY_STATUS_TEXT = 20;

// Connection and request flags.
constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
constexpr DWORD INTERNET_FLAG_EXISTING_CONNECT = 0x20000000;
constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;

// Request header flags.
constexpr DWORD HTTP_ADDREQ_FLAG_ADD_IF_NEW = 0x10000000;
constexpr DWORD HTTP_ADDREQ_FLAG_ADD = 0x20000000;

// Service types that AfxParseURL reports.
constexpr DWORD AFX_INET_SERVICE_UNK = 0;
constexpr DWORD AFX_INET_SERVICE_HTTP = 3;
constexpr DWORD AFX_INET_SERVICE_HTTPS = 4;

constexpr int HTTP_VERB_GET = 1;

// Error numbers carried by CInternetException::m_dwError.
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
constexpr DWORD ERROR_INTERNET_INVALID_CA = 12045;
constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
constexpr DWORD ERROR_HTTP_REDIRECT_FAILED = 12156;
constexpr DWORD ERROR_INTERNET_SECURITY_CHANNEL_ERROR = 12157;
// The framework's own, for the limits of InternetBounds: no byte arrived for
// the stall time, or the whole request took longer than the total time.
// ERROR_INTERNET_TIMEOUT stays for a connection that did not stand in time.
constexpr DWORD ERROR_INTERNET_STALL_TIMEOUT = 12901;
constexpr DWORD ERROR_INTERNET_TOTAL_TIMEOUT = 12902;
