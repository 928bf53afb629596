// Probe outcomes, carried as the verdict's wParam.
#pragma once

constexpr int PROBE_VALID = 0;
constexpr int PROBE_INVALID = 1;
constexpr int PROBE_TIMEOUT = 2;
constexpr int PROBE_NO_SESSION = 0; // with UM_PROBE_FAILED
