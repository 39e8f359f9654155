#!/usr/bin/env python3
"""Does for a Windows test what only the Linux side can: drop a file through the X server, mount a small disk.

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


ACTIONS = {"drop": drop, "mount-small-disk": mount_small_disk, "unmount": unmount}


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
        if args[0] == "mount-small-disk":
            self.mounted.append(args[1])
        elif args[0] == "unmount" and args[1] in self.mounted:
            self.mounted.remove(args[1])

    def clean_up(self):
        for path in reversed(self.mounted):
            subprocess.run(["umount", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
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
