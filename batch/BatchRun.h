// The batch mode: checks a list from the shell with no window and no
// display, as the window would check it, and writes the check report.
#pragma once

// Runs the batch mode's command line (see BatchOptions.h) and returns the
// exit status: 0 every row OK (rows the ignore words mark aside), 1 some
// row not, 2 bad usage, an unreadable file or an unwritable report, 130
// interrupted.
int RunBatchMode(int argc, char** argv);
