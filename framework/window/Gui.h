// The toolkit's application object for this process.
#pragma once

// Starts the toolkit's GUI for this process. Without a display it prints one
// line on standard error and returns false.
bool AfxStartGui(int& argc, char** argv);
