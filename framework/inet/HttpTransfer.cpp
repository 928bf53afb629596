#include "framework/inet/HttpTransfer.h"

#include <chrono>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <string_view>

#include "framework/inet/InetConstants.h"

namespace {

using Clock = std::chrono::steady_clock;

// libcurl's global set-up is not thread-safe and must come before any handle;
// probes start on worker threads, so the first of them does it, once.
bool CurlReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

struct TransferState {
    const InternetBounds* bounds;
    std::string* body;
    std::string* statusText;
    Clock::time_point start;
    Clock::time_point lastData;
    bool connected = false; // a connection is up and the request about to go out
    DWORD timeLimit = 0; // the stall or total limit that ended it, as its error number
    bool bodyCapped = false; // the size limit ended it
};

// The stall and total limits count only once a connection stands: before that
// the connect time-out decides.
int OnRequestReady(void* state, char*, char*, int, int)
{
    auto& t = *static_cast<TransferState*>(state);
    t.connected = true;
    t.lastData = Clock::now();
    return CURL_PREREQFUNC_OK;
}

// libcurl calls this at least about once a second even when nothing arrives,
// which is what makes a silent server end. A page cut off by time is no
// answer: the server may have sent half a page, or only its head.
int OnProgress(void* state, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto& t = *static_cast<TransferState*>(state);
    if (!t.connected)
        return 0;
    const auto now = Clock::now();
    if (now - t.start >= std::chrono::seconds(t.bounds->totalSeconds))
        t.timeLimit = ERROR_INTERNET_TOTAL_TIMEOUT;
    else if (now - t.lastData >= std::chrono::seconds(t.bounds->stallSeconds))
        t.timeLimit = ERROR_INTERNET_STALL_TIMEOUT;
    return t.timeLimit != 0 ? 1 : 0;
}

// Keeps the reason phrase of each status line ("HTTP/1.1 404 Not Found"), so
// that of the last answer is left when redirects were followed.
void KeepReasonPhrase(std::string_view line, std::string& phrase)
{
    if (!line.starts_with("HTTP/"))
        return;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    const auto afterVersion = line.find(' ');
    const auto afterCode
        = afterVersion == std::string_view::npos ? afterVersion : line.find(' ', afterVersion + 1);
    phrase.assign(afterCode == std::string_view::npos ? std::string_view() : line.substr(afterCode + 1));
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* state)
{
    auto& t = *static_cast<TransferState*>(state);
    t.lastData = Clock::now();
    KeepReasonPhrase(std::string_view(data, size * count), *t.statusText);
    return size * count;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* state)
{
    auto& t = *static_cast<TransferState*>(state);
    t.lastData = Clock::now();
    const std::size_t length = size * count;
    const std::size_t room = t.bounds->maxBodyBytes - t.body->size();
    if (length <= room) {
        t.body->append(data, length);
        return length;
    }
    t.body->append(data, room);
    t.bodyCapped = true;
    return 0; // anything short of `length` makes libcurl stop
}

DWORD ErrorNumberFor(CURLcode code)
{
    switch (code) {
    case CURLE_URL_MALFORMAT:
        return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
        return ERROR_INTERNET_TIMEOUT;
    case CURLE_PARTIAL_FILE:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return ERROR_INTERNET_CONNECTION_RESET;
    case CURLE_TOO_MANY_REDIRECTS:
        return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_PEER_FAILED_VERIFICATION:
        return ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
        return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    // The URL we build is always http or https, so an unsupported protocol
    // comes from the server: an answer that is not HTTP (libcurl takes it for
    // HTTP/0.9, which it refuses) or a redirect to another scheme.
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_GOT_NOTHING:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_OUT_OF_MEMORY:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

bool NamesUserAgent(const std::string& header)
{
    constexpr std::string_view name = "user-agent:";
    if (header.size() < name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = header[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != name[i])
            return false;
    }
    return true;
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

HttpTransferResult RunHttpTransfer(const HttpTransferRequest& request, const InternetBounds& bounds)
{
    HttpTransferResult result;
    if (!CurlReady()) {
        result.error = ERROR_INTERNET_INTERNAL_ERROR;
        return result;
    }
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) {
        result.error = ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }

    std::unique_ptr<curl_slist, ListDeleter> connectTo;
    if (!bounds.connectTo.empty()) {
        connectTo.reset(curl_slist_append(nullptr, ("::" + bounds.connectTo).c_str()));
        if (!connectTo) {
            result.error = ERROR_NOT_ENOUGH_MEMORY;
            return result;
        }
    }
    std::unique_ptr<curl_slist, ListDeleter> headers;
    bool hasUserAgent = false;
    for (const std::string& header : request.headers) {
        hasUserAgent = hasUserAgent || NamesUserAgent(header);
        curl_slist* grown = curl_slist_append(headers.get(), header.c_str());
        if (!grown) {
            result.error = ERROR_NOT_ENOUGH_MEMORY;
            return result;
        }
        (void)headers.release();
        headers.reset(grown);
    }

    TransferState state { &bounds, &result.body, &result.statusText, Clock::now(), Clock::now() };
    char errorText[CURL_ERROR_SIZE] = "";
    const long totalMs = bounds.totalSeconds * 1000;
    long connectMs = totalMs;
    if (request.connectTimeoutMs > 0 && static_cast<long>(request.connectTimeoutMs) < connectMs)
        connectMs = static_cast<long>(request.connectTimeoutMs);

    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, bounds.maxRedirects);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_CONNECT_TO, connectTo.get());
    // The agent name is only a fallback: a User-Agent header the caller added
    // is what goes out (the probe sends a browser's name, which some servers
    // answer differently from an unknown agent).
    if (!hasUserAgent && !request.agent.empty())
        curl_easy_setopt(h, CURLOPT_USERAGENT, request.agent.c_str());
    if (!request.referer.empty())
        curl_easy_setopt(h, CURLOPT_REFERER, request.referer.c_str());

    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &OnRequestReady);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &state);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &state);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &state);

    const CURLcode code = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.status);
    long redirects = 0;
    curl_easy_getinfo(h, CURLINFO_REDIRECT_COUNT, &redirects);
    char* finalUrl = nullptr;
    if (redirects > 0 && curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &finalUrl) == CURLE_OK && finalUrl)
        result.finalUrl = finalUrl;
    if (state.timeLimit != 0) {
        result.error = state.timeLimit;
    } else if (code != CURLE_OK && !state.bodyCapped) {
        result.error = ErrorNumberFor(code);
        result.errorText = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
    }
    return result;
}
