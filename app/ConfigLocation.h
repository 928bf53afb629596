// Where the configuration lives. A copy of the program in a user's own
// folder keeps it beside the executable when that folder can hold it, and
// in the user's configuration folder otherwise. An installed program (under
// /usr, /opt or the prefix it was built for) keeps it in the user's
// configuration folder always: its folder belongs to the system's packages
// and to every user, even where it could be written.
#pragma once

#include "framework/base/CString.h"

struct ConfigLocation {
    CString path; // the file to read the settings from; empty: none, the defaults apply
    bool writable = false; // the settings are saved to `path` at exit
    CString problem; // when they can't be saved: the places tried and why
};

// Makes sure a configuration file exists, writing the default content where
// none is, and says which file to use. `preferred`, the file beside the
// executable (empty when its folder can't be named), is tried first unless
// it lies in an installation. A preferred file that exists but may not be
// written still holds the user's settings: a new file in the user's folder
// starts as its copy, and where none can be made it is read without being
// saved.
ConfigLocation PrepareConfigFile(const CString& preferred);
