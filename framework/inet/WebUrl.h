// http and https addresses as the web's URL standard (WHATWG) parses them,
// so that a request goes out with the bytes a browser would send: the host
// through UTS #46 (libidn2) to its ASCII form, the path and query
// percent-encoded from UTF-8, backslashes read as slashes, tabs and line
// breaks dropped, dot segments resolved, the IPv4 forms normalised and a
// default port left out.
//
// Where libidn2 differs from the standard's UTS #46 processing, libidn2
// wins: it also applies IDNA2008's rules to a name with non-ASCII labels, so
// it refuses symbols and emoji ("☃.net") and labels that begin or end with a
// hyphen or have "--" in third and fourth place there. Names in ASCII alone
// take the standard's fast path and never meet those rules.
#pragma once

#include <string>
#include <string_view>

#include "framework/base/Types.h"

// The part of an address that made the parser refuse it.
enum class WebUrlFault : BYTE {
    None,
    Scheme, // no scheme, or one other than http and https
    Host, // empty, or holding a character no host may hold
    DomainName, // an international domain name that UTS #46 refuses
    Ipv4Address, // a host that ends in a number but is no IPv4 address
    Ipv6Address,
    Port, // not a number, or above 65535
};

struct WebUrl {
    bool secure = false; // https
    std::string userInfo; // "user" or "user:password", encoded; usually empty
    std::string host; // ASCII: a domain name, a dotted IPv4 address or "[IPv6]"
    int port = -1; // -1: the scheme's default
    std::string path; // "/" and the encoded segments
    std::string query; // "?" and the encoded query, or empty
    std::string fragment; // "#" and the encoded fragment, or empty

    // What a request names after the host: path and query.
    std::string Target() const { return path + query; }
    // The whole address, as a browser's URL object serialises it.
    std::string Href() const;
};

// Parses UTF-8 text that stands alone (there is no base address). On
// failure `url` is left in an unspecified state.
WebUrlFault ParseWebUrl(std::string_view utf8, WebUrl& url);

// An address (an Href() or any http URL) as a browser's address bar shows
// it, in UTF-8: the host's international labels in Unicode, and escapes that
// spell UTF-8 characters decoded. Escapes of ASCII stay, so the text still
// names the same address.
std::string ReadableWebUrl(std::string_view href);
