// Where the configuration lives. Beside the executable when that folder can
// hold it; otherwise (an installed, read-only folder) in the user's
// configuration folder.
#pragma once

#include "framework/base/CString.h"

struct ConfigLocation {
    CString path; // the file to read the settings from; empty: none, the defaults apply
    bool writable = false; // the settings are saved to `path` at exit
    CString problem; // when they can't be saved: the places tried and why
};

// Makes sure a configuration file exists, writing the default content where
// none is, and says which file to use. `preferred` (empty when the
// executable's folder can't be named) is tried first. A preferred file that
// exists but may not be written still holds the user's settings: a new file
// in the user's folder starts as its copy, and where none can be made it is
// read without being saved.
ConfigLocation PrepareConfigFile(const CString& preferred);
