// The window program's connections between the main window (shell/), the
// setting editor (editor/) and the output device layer (audio/).
#pragma once

// Starts the audio subsystem and points the main window's hooks at the
// setting editor and the device probe. Call before the main window opens.
void tess_window_connect();
// Stops the audio subsystem again.
void tess_window_disconnect();
