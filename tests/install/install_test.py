#!/usr/bin/env python3
"""Installs Galvora into a temporary prefix and drives the installed program under Xvfb.

The installed program keeps its settings under $XDG_CONFIG_HOME/Galvora and makes its albums under
$XDG_PICTURES_DIR/Galvora; nothing is written under the prefix. The test makes a Resize pictures
production and a Thumbnails page, changes the JPEG quality and leaves with Exit. A fake xdg-open
records the page that would be opened, so no browser starts.

usage: install_test.py <cmake> <build folder>
Exit code 77 (skipped) where Xvfb or xdotool is not installed (scripts/setup.sh installs them).
"""

import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

TWIPS_PER_PIXEL = 15
STEP_TIMEOUT = 120  # seconds; generous for a loaded 2-core machine


def px(twips):
    return twips // TWIPS_PER_PIXEL


# Click points in window coordinates (pixels), from the twips positions of the controls.
MAIN_FRAME1 = (75, -30)
MAIN_FRAME2 = (MAIN_FRAME1[0] + 2310, MAIN_FRAME1[1] + 3150)
FIRST_FILE = (px(2370) + 30, px(210) + 8)  # first entry of File1
KNOP_RECHTS = (px(MAIN_FRAME1[0] + 5220 + 405 // 2), px(MAIN_FRAME1[1] + 1290 + 375 // 2))
MAP_TEXT = (px(MAIN_FRAME2[0] + 90 + 2565 // 2), px(MAIN_FRAME2[1] + 195 + 285 // 2))
MAKE_KNOP = (px(MAIN_FRAME2[0] + 5295 + 705 // 2), px(MAIN_FRAME2[1] + 225 + 705 // 2))
EXIT_KNOP = (px(MAIN_FRAME1[0] + 7785 + 615 // 2), px(MAIN_FRAME1[1] + 4635 + 270 // 2))
DIALOG_FRAME1 = (60, -30)


def dialog_point(left, top, width, height, at_left=False):
    x = DIALOG_FRAME1[0] + left + (120 if at_left else width // 2)
    return (px(x), px(DIALOG_FRAME1[1] + top + height // 2))


THUMBNAILS = dialog_point(300, 900, 1365, 255, at_left=True)
RESIZE_PICTURES = dialog_point(1980, 630, 1485, 255, at_left=True)
QUALITY_BOX = dialog_point(150, 2220, 450, 315)
OK_KNOP = dialog_point(4380, 2250, 465, 315)

MAIN_TITLE = "^ Galvora"
DIALOG_TITLE = "^ Convert your pictures to"
PICTURES = [("beach.bmp", 64, 48), ("portrait.bmp", 30, 50), ("square.bmp", 40, 40)]
INSTALLED_FILES = {
    "bin/galvora",
    "share/applications/galvora.desktop",
    "share/metainfo/galvora.metainfo.xml",
    "share/man/man1/galvora.1.gz",
    "share/doc/galvora/copyright",
    "share/bash-completion/completions/galvora",
    "share/doc/galvora/changelog.gz",
    "share/icons/hicolor/48x48/apps/galvora.png",
    "share/icons/hicolor/128x128/apps/galvora.png",
    "share/icons/hicolor/256x256/apps/galvora.png",
}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def bmp_bytes(width, height, seed):
    """A 24-bit BMP of a colour gradient."""
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            row += bytes(((x * 255 // width + seed) % 256, (y * 255 // height) % 256, (seed * 40) % 256))
        rows.append(bytes(row) + b"\0" * (row_size - len(row)))
    pixels = b"".join(reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def tree(root):
    """Every entry below root with its kind, mode, size, time and content hash."""
    entries = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            digest = ""
            if os.path.isfile(path) and not os.path.islink(path):
                with open(path, "rb") as f:
                    digest = hashlib.sha256(f.read()).hexdigest()
            entries[os.path.relpath(path, root)] = (st.st_mode, st.st_size, st.st_mtime_ns, digest)
    return entries


running = None  # the program under test, once started


def wait_for(what, condition, timeout=STEP_TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        if running and running.poll() is not None:
            raise Failure("the program ended (%d) while waiting for %s" % (running.returncode, what))
        time.sleep(0.2)
    raise Failure("timed out waiting for " + what)


class Desktop:
    """An Xvfb display and xdotool on it."""

    def __init__(self, workdir):
        read_end, write_end = os.pipe()
        self.log = open(os.path.join(workdir, "xvfb.log"), "wb")
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=self.log, stderr=subprocess.STDOUT)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 60
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        check(number.strip().isdigit(), "Xvfb did not start (see xvfb.log)")
        self.display = ":" + number.decode().strip()

    def xdotool(self, *args):
        env = dict(os.environ, DISPLAY=self.display)
        done = subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=60)
        return done.stdout.strip()

    def find_window(self, title):
        found = self.xdotool("search", "--onlyvisible", "--name", title)
        return found.split()[0] if found else None

    def click(self, window, point):
        self.xdotool("mousemove", "--window", window, str(point[0]), str(point[1]))
        self.xdotool("click", "1")

    def replace_text(self, window, point, text):
        self.click(window, point)
        self.xdotool("key", "ctrl+a")
        self.xdotool("type", "--delay", "50", text)

    def close(self):
        self.server.terminate()
        try:
            self.server.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.server.kill()
        self.log.close()


def run_production(desktop, main, option, quality=None):
    """Presses Make until the Convert dialog shows (Make does nothing while a production runs),
    chooses the option and presses Ok."""
    def dialog():
        desktop.click(main, MAKE_KNOP)
        try:
            return wait_for("the Convert dialog", lambda: desktop.find_window(DIALOG_TITLE), timeout=10)
        except Failure:
            return None

    window = wait_for("the Convert dialog after Make", dialog)
    desktop.click(window, option)
    if quality is not None:
        desktop.replace_text(window, QUALITY_BOX, quality)
    desktop.click(window, OK_KNOP)
    wait_for("the Convert dialog to close", lambda: desktop.find_window(DIALOG_TITLE) is None)


def album_done(folder, count):
    images = os.path.join(folder, "images")
    names = set(os.listdir(images)) if os.path.isdir(images) else set()
    return {"picture%d.jpg" % n for n in range(1, count + 1)} <= names


def main():
    global running
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    cmake, build = sys.argv[1], sys.argv[2]
    missing = [tool for tool in ("Xvfb", "xdotool") if shutil.which(tool) is None]
    if missing:
        print("SKIPPED: %s not installed (scripts/setup.sh installs them)" % ", ".join(missing))
        return 77

    with tempfile.TemporaryDirectory(prefix="galvora-install-") as tmp:
        prefix = os.path.join(tmp, "prefix")
        subprocess.run([cmake, "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        installed = {rel for rel, entry in tree(prefix).items() if not os.path.isdir(os.path.join(prefix, rel))}
        check(installed == INSTALLED_FILES, "installed files: %s" % sorted(installed))
        prefix_before = tree(prefix)

        home = os.path.join(tmp, "home")
        config = os.path.join(tmp, "config")
        pictures = os.path.join(tmp, "pictures")
        runtime = os.path.join(tmp, "runtime")
        fakebin = os.path.join(tmp, "fakebin")
        work = os.path.join(tmp, "work")  # the browser starts in the current folder
        for folder in (home, runtime, fakebin, work):
            os.makedirs(folder, mode=0o700)
        for seed, (name, width, height) in enumerate(PICTURES):
            with open(os.path.join(work, name), "wb") as f:
                f.write(bmp_bytes(width, height, seed))
        work_before = tree(work)

        opened = os.path.join(tmp, "opened.txt")
        opener = os.path.join(fakebin, "xdg-open")
        with open(opener, "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s"\n' % opened)
        os.chmod(opener, 0o755)

        desktop = Desktop(tmp)
        program = None
        try:
            env = {key: value for key, value in os.environ.items()
                   if not key.startswith(("XDG_", "DBUS_", "QT_", "WAYLAND"))}
            env.update(HOME=home, XDG_CONFIG_HOME=config, XDG_PICTURES_DIR=pictures,
                       XDG_DATA_HOME=os.path.join(home, ".local/share"),
                       XDG_CACHE_HOME=os.path.join(home, ".cache"), XDG_RUNTIME_DIR=runtime,
                       DISPLAY=desktop.display, QT_QPA_PLATFORM="xcb", BROWSER=opener,
                       PATH=fakebin + os.pathsep + env.get("PATH", "/usr/bin:/bin"))
            # Under AddressSanitizer: the X libraries keep allocations to the end of the process,
            # and libxkbcommon-x11 hands strndup a buffer without a final NUL; neither is ours to
            # report. The headless tests check Galvora's own code with every check on.
            if "ASAN_OPTIONS" in env:
                env["ASAN_OPTIONS"] += ":detect_leaks=0:strict_string_checks=0"
            program_log = open(os.path.join(tmp, "galvora.log"), "wb")
            program = subprocess.Popen([os.path.join(prefix, "bin", "galvora")], cwd=work, env=env,
                                       stdout=program_log, stderr=subprocess.STDOUT)
            running = program
            main_window = wait_for("the main window", lambda: desktop.find_window(MAIN_TITLE))
            settings = os.path.join(config, "Galvora", "Galvora.ini")
            wait_for("the settings file of the first start", lambda: os.path.isfile(settings))
            check(not os.path.exists(os.path.join(pictures, "Galvora")),
                  "the album folder is made before it is needed")

            # Every picture of the start folder into the selection.
            desktop.click(main_window, FIRST_FILE)
            desktop.xdotool("key", "ctrl+a")
            desktop.click(main_window, KNOP_RECHTS)

            album = os.path.join(pictures, "Galvora")
            run_production(desktop, main_window, RESIZE_PICTURES)
            wait_for("the resized pictures", lambda: album_done(os.path.join(album, "Photomap"), 3))

            desktop.replace_text(main_window, MAP_TEXT, "Thumbs")
            run_production(desktop, main_window, THUMBNAILS, quality="90")
            page = os.path.join(album, "Thumbs", "Default.html")
            wait_for("the Thumbnails page to be opened", lambda: os.path.isfile(opened))

            desktop.click(main_window, EXIT_KNOP)
            status = program.wait(timeout=STEP_TIMEOUT)
            program_log.close()
            check(status == 0, "the program ended with %d" % status)

            with open(settings, "rb") as f:
                saved = f.read()
            check(saved == b"0\r\n90\r\n", "settings file after Exit: %r" % saved)
            check(sorted(os.listdir(os.path.join(config, "Galvora"))) == ["Galvora.ini"],
                  "settings folder: %s" % os.listdir(os.path.join(config, "Galvora")))
            check(sorted(os.listdir(album)) == ["Photomap", "Thumbs"], "album folder: %s" % os.listdir(album))
            check(album_done(os.path.join(album, "Thumbs"), 3), "thumbnails missing")
            resized = os.listdir(os.path.join(album, "Photomap"))
            check(not [name for name in resized if name.endswith(".html")], "Resize pictures wrote a page")
            with open(page, "rb") as f:
                check(b"images/picture3.jpg" in f.read(), "the page does not show picture 3")
            with open(opened) as f:
                opened_pages = f.read().split()
            check(len(opened_pages) == 1 and opened_pages[0].endswith("/Galvora/Thumbs/Default.html"),
                  "opened: %s" % opened_pages)
            check(tree(prefix) == prefix_before, "something under the prefix changed")
            check(tree(work) == work_before, "the picture folder changed")
        except Failure as failure:
            print("FAILED:", failure)
            for log in ("galvora.log", "xvfb.log"):
                path = os.path.join(tmp, log)
                if os.path.exists(path):
                    print("--- %s\n%s" % (log, open(path, errors="replace").read()[-4000:]))
            return 1
        finally:
            if program and program.poll() is None:
                program.kill()
                program.wait()
            desktop.close()
    print("installed Galvora kept its settings and albums in the user's folders")
    return 0


if __name__ == "__main__":
    sys.exit(main())
