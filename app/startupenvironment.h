#pragma once

// Settings of the process environment that keep big maps fast without
// changing what the editor shows. Call before the QApplication is made.
void prepareStartupEnvironment();
