// What one probe found out beside its verdict: how it ended, the final HTTP
// status, where redirects led, how long it took and how much it read. The
// worker fills it and posts it with the verdict; the list view keeps it for
// the row and shows it as the validity cell's tip and in the check report.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include "framework/inet/WebUrl.h"

enum class ProbeOutcome : BYTE {
    PageValid = 1,
    DomainErrorPage,
    HttpStatus, // a final status other than 200
    EmptyPage,
    NameNotResolved,
    ConnectionRefused,
    ConnectTimeout,
    TlsFailure,
    TooManyRedirects,
    Stalled, // no data for the stall time
    TotalTimeout, // longer than the total time
    BadUrl, // the address cannot be parsed
    ClientError, // any other failure of the HTTP client
};

struct ProbeDetails : CObject {
    ProbeOutcome outcome = ProbeOutcome::ClientError;
    DWORD dwStatus = 0; // the final HTTP status; 0 when no answer came
    CString strStatusText; // its reason phrase, as the server gave it
    CString strFinalUrl; // where redirects led; empty when none was followed
    CString strErrorText; // the HTTP client's words, for TLS and other client errors; for
                          // an address that does not parse, the part that does not
    DWORD dwElapsedMs = 0;
    DWORD dwBytesRead = 0; // of the final answer's body; kBytesReadUnknown when not known
};

// The bytes read of details taken back from a check report, which does not
// keep them.
constexpr DWORD kBytesReadUnknown = 0xFFFFFFFF;

// One line that says how the probe ended, as the user reads it, for example
// "HTTP 404 Not Found".
CString DescribeProbeOutcome(const ProbeDetails& details);

// Which part of an address does not parse, as the user reads it.
CString DescribeUrlFault(WebUrlFault fault);

// The way back from DescribeProbeOutcome's text: sets the outcome and the
// status text or error text it carries, and for "HTTP n ..." the status.
// FALSE for a text it never gives.
BOOL ReadProbeOutcome(const CString& text, ProbeDetails& details);

// The whole story, one fact a line: the outcome, the status, the final
// address when redirects moved it, the time and the bytes read.
CString DescribeProbeDetails(const ProbeDetails& details);
