// Asks for the clipboard's text and quits before the answer can arrive, as an impatient
// program does: the owner's answer then names a window that is gone.
//
//   x11_vanishing_requestor [TIMES]
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int times = argc > 1 ? std::atoi(argv[1]) : 20;
  for (int i = 0; i < times; ++i) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
      std::fprintf(stderr, "x11_vanishing_requestor: cannot open the display\n");
      return 1;
    }
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(d, XInternAtom(d, "CLIPBOARD", False), XInternAtom(d, "UTF8_STRING", False),
                      XInternAtom(d, "XB_CLIP", False), w, CurrentTime);
    XDestroyWindow(d, w);
    XCloseDisplay(d);  // sends both: the owner gets the request for a window already gone
  }
  return 0;
}
