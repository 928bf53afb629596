#include "tests/check/FaultScript.h"

#include <atomic>
#include <string>

#include "tests/check/CheckTestSupport.h"

using namespace std::chrono_literals;

namespace {

// Requests for the page only a mis-parsed address could reach.
std::atomic<int> g_wrappedPortHits { 0 };

} // namespace

int WrappedPortHits()
{
    return g_wrappedPortHits.load();
}

// The scripted answers, chosen by the request path.
void AnswerWithFault(LocalTcpServer::Connection& c)
{
    const std::string head = c.ReadRequestHead(3s);
    const auto pathStart = head.find(' ');
    const auto pathEnd = head.find(' ', pathStart + 1);
    const std::string path = pathStart == std::string::npos || pathEnd == std::string::npos
        ? std::string()
        : head.substr(pathStart + 1, pathEnd - pathStart - 1);

    if (path == "/reset-mid-body") {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n<html>the first part\n");
        c.HoldOpen(100ms);
        c.Reset();
    } else if (path == "/stall-before-headers") {
        c.HoldOpen(5s);
    } else if (path == "/stall-mid-body") {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n<html><head>");
        c.HoldOpen(5s);
    } else if (path == "/close-mid-body") {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n<html><head>");
    } else if (path == "/drip") {
        // A byte every 100 ms, for ever: only the total time limit ends it.
        if (!c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"))
            return;
        while (c.Send("x"))
            c.HoldOpen(100ms);
    } else if (path == "/endless") {
        if (!c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"))
            return;
        const std::string block(64 * 1024, 'y');
        while (c.Send(block)) { }
    } else if (path == "/long-line") {
        const std::size_t size = 10u << 20;
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n");
        c.Send(std::string(size, 'z'));
        c.HoldOpen(3s);
    } else if (path == "/nul-lines") {
        // Every line starts with a NUL: as C strings the page is empty.
        const std::string body = std::string("\0<html>\n", 8) + std::string("\0", 1)
            + checktest::kDomainErrorMarker + "</TITLE>\n";
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
        c.HoldOpen(3s);
    } else if (path == "/nul-hides-marker") {
        const std::string body = std::string("<html>\0", 7) + checktest::kDomainErrorMarker + "</TITLE>\n";
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
        c.HoldOpen(3s);
    } else if (path == "/bad-chunk") {
        c.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
               "6\r\n<html>\r\nZZ-not-a-size\r\nmore text\n\r\n");
        c.HoldOpen(3s);
    } else if (path == "/wrapped-port") {
        ++g_wrappedPortHits;
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\n<html>hi\n\n\n\n");
        c.HoldOpen(3s);
    } else if (path == "/page" || path == "/domain-error") {
        const std::string body = path == "/page"
            ? std::string("<html><body>a page</body></html>\n")
            : "<html><head>" + checktest::kDomainErrorMarker + "</TITLE>\n";
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
        c.HoldOpen(3s);
    } else {
        c.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    }
}
