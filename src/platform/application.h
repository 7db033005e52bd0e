// The process's application object: the window system, drawing and dialogs all need it, and
// all of them run on the thread that created it (the user-interface thread).
#pragma once

namespace platform::application {

// Creates the application object once; later calls do nothing. Call it first on the main
// thread. Without a display, set QT_QPA_PLATFORM=offscreen (tests do).
void init(int& argc, char** argv);

// Destroys the application object; call it before main() returns. Leaving it to the static
// destructors would tear it down after parts of the toolkit it still uses are gone.
void shutdown();

// True on the thread that called init().
bool on_ui_thread();

}  // namespace platform::application
