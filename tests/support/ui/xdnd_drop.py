#!/usr/bin/env python3
"""Drops one file on the X window at a point of the screen, as a Linux file manager does (XDND, text/uri-list).

Usage: xdnd_drop.py X Y FILE. Exits 0 once the target has taken the drop, 1 otherwise. The end-to-end tests run
it under Wine, whose X11 driver turns such a drop on a window that accepts files into WM_DROPFILES.
"""
import ctypes
import sys
import time
import urllib.parse
from ctypes import POINTER, Structure, Union, byref, c_char_p, c_int, c_long, c_uint, c_ulong, c_void_p

Window = Atom = c_ulong
CLIENT_MESSAGE, SELECTION_REQUEST = 33, 30
SELECTION_NOTIFY = 31
OUR_VERSION = 5
TIMEOUT_S = 10


class ClientMessage(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p),
                ("window", Window), ("message_type", Atom), ("format", c_int), ("l", c_long * 5)]


class SelectionRequest(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p),
                ("owner", Window), ("requestor", Window), ("selection", Atom), ("target", Atom),
                ("property", Atom), ("time", c_ulong)]


class SelectionNotify(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p),
                ("requestor", Window), ("selection", Atom), ("target", Atom), ("property", Atom),
                ("time", c_ulong)]


class Event(Union):
    _fields_ = [("type", c_int), ("client", ClientMessage), ("request", SelectionRequest),
                ("notify", SelectionNotify), ("pad", c_long * 24)]


def load_x11():
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = c_void_p
    x.XOpenDisplay.argtypes = [c_char_p]
    x.XDefaultRootWindow.restype = Window
    x.XDefaultRootWindow.argtypes = [c_void_p]
    x.XCreateSimpleWindow.restype = Window
    x.XCreateSimpleWindow.argtypes = [c_void_p, Window, c_int, c_int, c_uint, c_uint, c_uint, c_ulong, c_ulong]
    x.XInternAtom.restype = Atom
    x.XInternAtom.argtypes = [c_void_p, c_char_p, c_int]
    x.XSetSelectionOwner.argtypes = [c_void_p, Atom, Window, c_ulong]
    x.XTranslateCoordinates.argtypes = [c_void_p, Window, Window, c_int, c_int, POINTER(c_int), POINTER(c_int),
                                        POINTER(Window)]
    x.XGetWindowProperty.argtypes = [c_void_p, Window, Atom, c_long, c_long, c_int, Atom, POINTER(Atom),
                                     POINTER(c_int), POINTER(c_ulong), POINTER(c_ulong), POINTER(c_void_p)]
    x.XSendEvent.argtypes = [c_void_p, Window, c_int, c_long, POINTER(Event)]
    x.XChangeProperty.argtypes = [c_void_p, Window, Atom, Atom, c_int, c_int, c_char_p, c_int]
    x.XPending.argtypes = [c_void_p]
    x.XNextEvent.argtypes = [c_void_p, POINTER(Event)]
    x.XFlush.argtypes = [c_void_p]
    x.XFree.argtypes = [c_void_p]
    return x


def main():
    px, py, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    uri = ("file://" + urllib.parse.quote(path) + "\r\n").encode()
    x = load_x11()
    dpy = x.XOpenDisplay(None)
    if not dpy:
        return 1
    atom = lambda name: x.XInternAtom(dpy, name.encode(), 0)
    root = x.XDefaultRootWindow(dpy)
    source = x.XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0)
    selection, uri_list = atom("XdndSelection"), atom("text/uri-list")
    x.XSetSelectionOwner(dpy, selection, source, 0)

    def aware_version(window):
        kind, fmt, count, rest, data = Atom(), c_int(), c_ulong(), c_ulong(), c_void_p()
        found = x.XGetWindowProperty(dpy, window, atom("XdndAware"), 0, 1, 0, 4, byref(kind), byref(fmt),
                                     byref(count), byref(rest), byref(data)) == 0 and count.value == 1
        version = ctypes.cast(data, POINTER(c_ulong))[0] if found else 0
        if data:
            x.XFree(data)
        return version

    # The top-most window at the point that takes drops.
    target, version, window = 0, 0, root
    while window:
        dx, dy, child = c_int(), c_int(), Window()
        x.XTranslateCoordinates(dpy, root, window, px, py, byref(dx), byref(dy), byref(child))
        window = child.value
        if window and aware_version(window):
            target, version = window, aware_version(window)
            break
    if not target:
        return 1

    def send(to, event):
        x.XSendEvent(dpy, to, 0, 0, byref(event))
        x.XFlush(dpy)

    def message(name, *values):
        event = Event()
        event.client.type, event.client.window, event.client.format = CLIENT_MESSAGE, target, 32
        event.client.message_type = atom(name)
        for i, value in enumerate(values):
            event.client.l[i] = value
        send(target, event)

    message("XdndEnter", source, min(version, OUR_VERSION) << 24, uri_list)
    message("XdndPosition", source, 0, (px << 16) | py, 0, atom("XdndActionCopy"))
    dropped = False
    deadline = time.monotonic() + TIMEOUT_S
    while time.monotonic() < deadline:
        if not x.XPending(dpy):
            time.sleep(0.01)
            continue
        event = Event()
        x.XNextEvent(dpy, byref(event))
        if event.type == SELECTION_REQUEST:
            request = event.request
            reply = Event()
            reply.notify.type, reply.notify.requestor = SELECTION_NOTIFY, request.requestor
            reply.notify.selection, reply.notify.target = request.selection, request.target
            reply.notify.time, reply.notify.property = request.time, 0
            if request.target == uri_list:
                x.XChangeProperty(dpy, request.requestor, request.property, uri_list, 8, 0, uri, len(uri))
                reply.notify.property = request.property
            send(request.requestor, reply)
        elif event.type == CLIENT_MESSAGE and event.client.message_type == atom("XdndStatus") and not dropped:
            if not event.client.l[1] & 1:
                return 1  # the window does not take files
            message("XdndDrop", source, 0, 0)
            dropped = True
        elif event.type == CLIENT_MESSAGE and event.client.message_type == atom("XdndFinished"):
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
