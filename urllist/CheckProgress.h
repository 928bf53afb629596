// How far the list is checked: the figures the status bar shows during and
// after a check run. The view keeps them as rows change, so reading them
// costs no scan of the list.
#pragma once

struct CheckProgress {
    int rows = 0; // rows in the list
    int checked = 0; // rows with a final text: a verdict, or a mark of the import
    int unchecked = 0; // rows waiting for a probe
    // Rows that got a final text since the view was made, whatever happened
    // to them afterwards; it only grows, so its change over time is a rate.
    long long finalTextsWritten = 0;
};
