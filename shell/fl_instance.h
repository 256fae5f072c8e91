// One running instance per X display. The first instance owns an X selection
// (atomic on the server) and publishes its main window on it; a second start
// finds the owner, brings that window and its dialogs to the front and ends.
#pragma once

#include <X11/Xlib.h>

// Claims the instance selection. Returns false when another instance owns it;
// then its main window (and any dialog over it) has been raised.
bool fl_instance_claim(Display* d);

// Publishes the main window for later starts to raise.
void fl_instance_publish(Display* d, Window main);
