/* Asks an X window to close, as a window manager's close box does: sends it
   the WM_DELETE_WINDOW message. Usage: close_window WINDOW-ID. An unknown
   window ends it with Xlib's error message and a non-zero status. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  Display* display = argc == 2 ? XOpenDisplay(NULL) : NULL;
  if (!display) {
    fprintf(stderr, "usage: %s WINDOW-ID, with a display to talk to\n", argv[0]);
    return 2;
  }
  XEvent event = {0};
  event.xclient.type = ClientMessage;
  event.xclient.window = (Window)strtoul(argv[1], NULL, 0);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
