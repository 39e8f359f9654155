#!/usr/bin/env python3
"""Does for a Windows test what only the Linux side can: drop a file through the X server, mount a small disk,
make a folder read-only (for root too, as a read-only bind mount), unpack a zip file as Explorer's Extract All.

Usage: host_agent.py DIR. The test asks through files in DIR: it writes N.req (one argument a line, written
elsewhere and renamed into place), the agent carries it out and writes N.done, whose first line is the exit
status (0: done), followed by what the action printed. Only the actions below are served. The agent ends, and
unmounts what it mounted, when DIR/stop appears, on SIGTERM, or when the process that started it is gone.
"""
import os
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
POLL_S = 0.02
ACTION_TIMEOUT_S = 30


def drop(x, y, path):
    return [sys.executable, os.path.join(HERE, "xdnd_drop.py"), x, y, path]


def mount_small_disk(path, size_kib):
    return ["mount", "-t", "tmpfs", "-o", "size=%dk" % int(size_kib), "tmpfs", path]


def unmount(path):
    return ["umount", path]


def linux_path(path):
    """A Windows path (C:\\..., Z:\\...) of the test's own prefix as a Linux path; a Linux path stays."""
    if len(path) > 2 and path[1] == ":" and path[2] == "\\":
        prefix = os.environ.get("TUNEWRIGHT_WINEPREFIX", "")
        drive = os.path.join(prefix, "dosdevices", path[0].lower() + ":") if prefix else "/"
        if not prefix and path[0].lower() != "z":
            raise ValueError("no prefix of its own to find drive %s in" % path[:2])
        return os.path.realpath(os.path.join(drive, path[3:].replace("\\", "/")))
    return path


def make_read_only(path):
    path = linux_path(path)
    # Root writes through every permission bit: only a read-only mount stops it.
    if os.geteuid() == 0:
        return ["sh", "-c", 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1"', "make-read-only", path]
    return ["chmod", "-R", "a-w", path]


def make_writable(path):
    path = linux_path(path)
    if os.geteuid() == 0:
        return ["umount", path]
    return ["chmod", "-R", "u+w", path]


def unzip(archive, folder):
    return [sys.executable, "-m", "zipfile", "-e", linux_path(archive), linux_path(folder)]


ACTIONS = {"drop": drop, "mount-small-disk": mount_small_disk, "unmount": unmount,
           "make-read-only": make_read_only, "make-writable": make_writable, "unzip": unzip}


class Agent:
    def __init__(self, folder):
        self.folder = folder
        self.mounted = []

    def serve(self, parent):
        while not os.path.exists(os.path.join(self.folder, "stop")) and os.getppid() == parent:
            for name in sorted(os.listdir(self.folder)):
                if name.endswith(".req"):
                    self.answer(name[:-4])
            time.sleep(POLL_S)

    def answer(self, stem):
        request = os.path.join(self.folder, stem + ".req")
        with open(request, encoding="utf-8") as f:
            args = f.read().splitlines()
        os.remove(request)
        status, output = self.run(args)
        done = os.path.join(self.folder, stem + ".tmp")
        with open(done, "w", encoding="utf-8") as f:
            f.write("%d\n%s" % (status, output))
        os.replace(done, os.path.join(self.folder, stem + ".done"))

    def run(self, args):
        if not args or args[0] not in ACTIONS:
            return 2, "unknown action: %r\n" % (args[:1],)
        try:
            command = ACTIONS[args[0]](*args[1:])
        except (TypeError, ValueError) as e:
            return 2, "bad arguments for %s: %s\n" % (args[0], e)
        try:
            done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                  timeout=ACTION_TIMEOUT_S)
        except (OSError, subprocess.TimeoutExpired) as e:
            return 1, "%s\n" % e
        if done.returncode == 0:
            self.remember(args)
        return done.returncode, done.stdout

    def remember(self, args):
        if args[0] in ("mount-small-disk", "make-read-only"):
            self.mounted.append((args[0], args[1]))
        elif args[0] in ("unmount", "make-writable"):
            kind = "make-read-only" if args[0] == "make-writable" else "mount-small-disk"
            if (kind, args[1]) in self.mounted:
                self.mounted.remove((kind, args[1]))

    def clean_up(self):
        for kind, path in reversed(self.mounted):
            undo = make_writable(path) if kind == "make-read-only" else unmount(path)
            subprocess.run(undo, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.mounted = []


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    agent = Agent(folder)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        agent.serve(os.getppid())
    finally:
        agent.clean_up()


if __name__ == "__main__":
    main()
