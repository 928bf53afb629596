// The host of an http or https address, as the web's URL standard parses
// and serialises it. Private to WebUrl.cpp.
#pragma once

#include <string>
#include <string_view>

#include "framework/inet/WebUrl.h"

// `input` is the host as it stands in the address (UTF-8, escapes and all,
// an IPv6 address in brackets). On success `host` is its ASCII form.
WebUrlFault ParseWebHost(std::string_view input, std::string& host);

// An ASCII host with its international labels in Unicode (UTF-8); the host
// as it is when they don't decode.
std::string ReadableWebHost(std::string_view host);

// Letters A-Z lower-cased; every other byte as it is.
char AsciiLower(char c);
bool EqualNoCase(std::string_view a, std::string_view b);

// 0-15 for a hex digit in either case, else -1.
int HexDigitValue(char c);

// Appends `byte` as %XX, upper-case hex.
void AppendPercentEncoded(std::string& out, unsigned char byte);
