// Toolkit settings the program needs before the application object exists.
#pragma once

namespace host {

// Call first thing in main(), before QApplication is made.
void prepareToolkit();

} // namespace host
