// One running instance per X display. The first instance owns an X selection
// (atomic on the server) and publishes its main window on it; a second start
// finds the owner, brings that window and its dialogs to the front and ends.
#pragma once

#include <X11/Xlib.h>

// Who runs: this start is the first, or another instance owns the selection
// and its main window (with any dialog over it) has been raised, or that
// instance has not shown its main window yet.
enum fl_instance_kind { fl_inst_first, fl_inst_raised, fl_inst_starting };

// Claims the instance selection; raises the running instance's windows when
// another instance owns it.
fl_instance_kind fl_instance_claim(Display* d);

// What a second start says on stderr (one line, no newline).
const char* fl_instance_text(fl_instance_kind k);

// Publishes the main window for later starts to raise.
void fl_instance_publish(Display* d, Window main);
