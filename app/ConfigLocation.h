// Where the configuration lives. Beside the executable when that folder can
// hold it; otherwise (an installed, read-only folder) in the user's
// configuration folder.
#pragma once

#include "framework/base/CString.h"

struct ConfigLocation {
    CString path; // the file to read and write; empty when none could be made
    CString problem; // when no file could be made: the places tried and why
};

// Makes sure a configuration file exists, writing the default content where
// none is, and says which file to use. `preferred` is tried first.
ConfigLocation PrepareConfigFile(const CString& preferred);
