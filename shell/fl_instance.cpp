#include "shell/fl_instance.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <vector>

namespace {

// Our selection owner (an unmapped 1 x 1 window). Process-wide: the X server
// knows one running instance per display, this process, until it exits.
Window owner_window = None;

Atom atom(Display* d, const char* name) { return XInternAtom(d, name, False); }

// The published main window of the instance that owns the selection.
Window published_main(Display* d, Window owner) {
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    Window w = None;
    if (XGetWindowProperty(d, owner, atom(d, "_WVTESSEL_MAIN"), 0, 1, False, XA_WINDOW, &type,
                           &format, &n, &after, &data) == Success &&
        data && type == XA_WINDOW && format == 32 && n == 1)
        w = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
    if (data) XFree(data);
    return w;
}

// Client windows: the root's children and, under a reparenting window
// manager, their children.
void collect(Display* d, Window w, int depth, std::vector<Window>& out) {
    Window root, parent, *kids = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return;
    for (unsigned int i = 0; i < n; ++i) {
        out.push_back(kids[i]);
        if (depth > 0) collect(d, kids[i], depth - 1, out);
    }
    if (kids) XFree(kids);
}

void activate(Display* d, Window w) {
    XMapRaised(d, w);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = atom(d, "_NET_ACTIVE_WINDOW");
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2;  // from a pager-like source: honoured by most window managers
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

}  // namespace

fl_instance_kind fl_instance_claim(Display* d) {
    const Atom sel = atom(d, "_WVTESSEL_INSTANCE");
    XGrabServer(d);
    Window owner = XGetSelectionOwner(d, sel);
    if (owner == None) {
        owner_window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(d, sel, owner_window, CurrentTime);
    }
    XUngrabServer(d);
    XSync(d, False);
    if (owner == None) return fl_inst_first;

    const Window main = published_main(d, owner);
    if (main != None) {
        // The main window first, then the dialogs that belong to it (the
        // last active pop-up ends on top).
        activate(d, main);
        std::vector<Window> all;
        collect(d, DefaultRootWindow(d), 1, all);
        for (Window w : all) {
            Window for_w = None;
            XWindowAttributes a;
            if (XGetTransientForHint(d, w, &for_w) && for_w == main && XGetWindowAttributes(d, w, &a) &&
                a.map_state == IsViewable)
                activate(d, w);
        }
        XSync(d, False);
        return fl_inst_raised;
    }
    return fl_inst_starting;
}

const char* fl_instance_text(fl_instance_kind k) {
    switch (k) {
    case fl_inst_raised:
        return "tessellon: Wave Tessellon is already running on this display; its window has been raised";
    case fl_inst_starting:
        return "tessellon: Wave Tessellon is already running on this display and is still starting";
    default:
        return "";
    }
}

void fl_instance_publish(Display* d, Window main) {
    if (owner_window == None) return;
    const unsigned long v = main;
    XChangeProperty(d, owner_window, atom(d, "_WVTESSEL_MAIN"), XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&v), 1);
    XFlush(d);
}
