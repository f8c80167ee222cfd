/* Drops files onto an X window as a file manager does, through the XDND
 * protocol, so that tests can give a Wine program a real drop.
 *
 * Usage: xdnd_drop WINDOW X Y FILE...
 *   WINDOW  the X window id of the target top-level window (decimal)
 *   X, Y    the drop point in root-window coordinates
 *   FILE    absolute Unix paths
 *
 * The program owns the XdndSelection, sends XdndEnter, XdndPosition and,
 * once the target has answered with XdndStatus (or after a second),
 * XdndDrop; it then answers the target's request for the file list
 * (text/uri-list) and ends. Wine never sends XdndFinished, so it is not
 * waited for. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>

static Atom atom(Display* d, const char* name) { return XInternAtom(d, name, False); }

static void send_client(Display* d, Window target, Window source, Atom type, long l1, long l2, long l3, long l4) {
  XEvent e;
  memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.window = target;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = (long)source;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  e.xclient.data.l[4] = l4;
  XSendEvent(d, target, False, NoEventMask, &e);
  XFlush(d);
}

/* Waits up to ms milliseconds for an event; 1 when one came. */
static int next_event(Display* d, XEvent* e, int ms) {
  if (XPending(d)) {
    XNextEvent(d, e);
    return 1;
  }
  int fd = ConnectionNumber(d);
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd, &set);
  struct timeval tv = {ms / 1000, (ms % 1000) * 1000};
  if (select(fd + 1, &set, NULL, NULL, &tv) <= 0 && !XPending(d)) return 0;
  XNextEvent(d, e);
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: xdnd_drop WINDOW X Y FILE...\n");
    return 2;
  }
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "no display\n");
    return 1;
  }
  const Window target = (Window)strtoul(argv[1], NULL, 0);
  const long x = atol(argv[2]), y = atol(argv[3]);

  /* The file list as text/uri-list. */
  size_t size = 1;
  for (int i = 4; i < argc; ++i) size += strlen(argv[i]) + 10;
  char* uris = calloc(size, 1);
  for (int i = 4; i < argc; ++i) {
    strcat(uris, "file://");
    strcat(uris, argv[i]);
    strcat(uris, "\r\n");
  }

  Window source = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  const Atom selection = atom(d, "XdndSelection"), uri_list = atom(d, "text/uri-list");
  XSetSelectionOwner(d, selection, source, CurrentTime);

  send_client(d, target, source, atom(d, "XdndEnter"), 5L << 24, (long)uri_list, 0, 0);
  send_client(d, target, source, atom(d, "XdndPosition"), 0, (x << 16) | (y & 0xFFFF), CurrentTime,
              (long)atom(d, "XdndActionCopy"));

  XEvent e;
  int dropped = 0, served = 0;
  for (int waited = 0; waited < 100 && !served; ++waited) {
    if (!next_event(d, &e, 50)) {
      if (!dropped && waited >= 20) {  /* no status within a second: drop anyway */
        send_client(d, target, source, atom(d, "XdndDrop"), 0, CurrentTime, 0, 0);
        dropped = 1;
      }
      continue;
    }
    if (e.type == ClientMessage && e.xclient.message_type == atom(d, "XdndStatus") && !dropped) {
      send_client(d, target, source, atom(d, "XdndDrop"), 0, CurrentTime, 0, 0);
      dropped = 1;
    } else if (e.type == SelectionRequest) {
      XSelectionEvent reply;
      memset(&reply, 0, sizeof reply);
      reply.type = SelectionNotify;
      reply.requestor = e.xselectionrequest.requestor;
      reply.selection = e.xselectionrequest.selection;
      reply.target = e.xselectionrequest.target;
      reply.time = e.xselectionrequest.time;
      reply.property = e.xselectionrequest.property ? e.xselectionrequest.property : e.xselectionrequest.target;
      XChangeProperty(d, reply.requestor, reply.property, reply.target, 8, PropModeReplace, (unsigned char*)uris,
                      (int)strlen(uris));
      XSendEvent(d, reply.requestor, False, NoEventMask, (XEvent*)&reply);
      XFlush(d);
      if (dropped && reply.target == uri_list) served = 1;
    }
  }
  /* Give the target a moment to read the property before it goes. */
  for (int i = 0; i < 10; ++i) {
    if (next_event(d, &e, 50) && e.type == SelectionRequest) continue;
  }
  XCloseDisplay(d);
  free(uris);
  return served ? 0 : 1;
}
