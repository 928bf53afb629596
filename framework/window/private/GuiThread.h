// Framework-private: binding the message queue to the toolkit's GUI thread.
#pragma once

namespace GuiThread {

// Called once the toolkit's application object exists, on the GUI thread.
void Attach();
bool IsCurrent();

} // namespace GuiThread
