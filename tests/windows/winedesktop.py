"""A private 32-bit Windows desktop for the tests of the Windows build: its own X server with a
tray (trayer), a WINEARCH=win32 prefix in the test's folder, a Chinese locale (ANSI code page 936,
as on the product's users' machines), a private sound server with a virtual microphone, private
TMPDIR and XDG_RUNTIME_DIR. Everything started is stopped by process id in stop()."""

import getpass
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import zlib


def log(*args):
    print("[%s]" % time.strftime("%H:%M:%S"), *args, flush=True)


class WineDesktop:
    def __init__(self, folder):
        self.folder = os.path.abspath(folder)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.prefix = os.path.join(self.folder, "prefix")
        self.procs = []
        runtime = tempfile.mkdtemp(prefix="xdg-", dir=self.folder)
        os.chmod(runtime, 0o700)
        tmp = os.path.join(self.folder, "tmp")
        os.makedirs(tmp)
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=self.prefix, WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8",
                        TMPDIR=tmp, XDG_RUNTIME_DIR=runtime)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("PULSE_SERVER", None)
        self._locale()

    # zh_CN.UTF-8 from the system, or compiled once into the build folder (no root needed).
    def _locale(self):
        have = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout
        if "zh_CN.utf8" in have:
            return
        path = os.path.join(os.path.dirname(self.folder), "locale")
        if not os.path.exists(os.path.join(path, "zh_CN.UTF-8", "LC_CTYPE")):
            os.makedirs(path, exist_ok=True)
            subprocess.run(["localedef", "-i", "zh_CN", "-f", "UTF-8", os.path.join(path, "zh_CN.UTF-8")],
                           capture_output=True)
        self.env["LOCPATH"] = path

    def spawn(self, args, **kw):
        p = subprocess.Popen(args, env=self.env, **kw)
        self.procs.append(p)
        return p

    def start_x(self):
        r, w = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                    "-noreset"], pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(r)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "32",
                    "--SetDockType", "true", "--expand", "true", "--transparent", "false"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_for(lambda: self.tray_window() is not None, 10, "the tray")

    def start_sound(self):
        sock = os.path.join(self.env["XDG_RUNTIME_DIR"], "pulse-native")
        env = dict(self.env, HOME=self.env["XDG_RUNTIME_DIR"], XDG_CONFIG_HOME=self.env["XDG_RUNTIME_DIR"])
        env.pop("DISPLAY", None)
        self.procs.append(subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
             "--log-level=error", "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + sock,
             "-L", "module-null-sink sink_name=zorvel_sink rate=16000 channels=1",
             "-L", "module-remap-source master=zorvel_sink.monitor source_name=zorvel_mic",
             "-L", "module-always-sink"], env=env, stdout=subprocess.DEVNULL))
        self.wait_for(lambda: os.path.exists(sock), 10, "the sound server")
        self.env["PULSE_SERVER"] = "unix:" + sock
        self.pactl("set-default-source zorvel_mic")
        # A silent low-latency stream keeps the sink running, so a recording hears its first moment.
        self.spawn(["pacat", "--playback", "--raw", "--format=s16le", "--rate=16000", "--channels=1",
                    "--latency-msec=10", "--device=zorvel_sink"], stdin=open("/dev/zero", "rb"))
        time.sleep(0.2)
        self.pactl("suspend-sink zorvel_sink 1")
        self.pactl("suspend-sink zorvel_sink 0")

    def pactl(self, args):
        subprocess.run(["pactl"] + args.split(), env=self.env, check=True, timeout=10)

    def play(self, wav):
        return self.spawn(["paplay", "--device=zorvel_sink", wav])

    def boot(self):
        t = time.time()
        self.run_wine(["wineboot", "-i"], timeout=300)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=300)
        log("Wine prefix made in %.1f s" % (time.time() - t))

    def run_wine(self, args, timeout=120, check=True):
        r = subprocess.run(["wine"] + args, env=self.env, capture_output=True, timeout=timeout)
        if check and r.returncode != 0:
            raise RuntimeError("wine %s failed (%d): %s" % (args, r.returncode, r.stderr.decode(errors="replace")))
        return r

    def start_wine(self, args, **kw):
        return self.spawn(["wine"] + args, **kw)

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def local_appdata(self, *parts):
        return self.drive_c("users", getpass.getuser(), "AppData", "Local", *parts)

    def start_menu(self, *parts):
        return self.drive_c("users", getpass.getuser(), "AppData", "Roaming", "Microsoft", "Windows",
                            "Start Menu", "Programs", *parts)

    def reg_value(self, key, name):
        """The data of a registry value as `reg query` prints it, or None when absent."""
        r = self.run_wine(["reg", "query", key, "/v", name], check=False)
        if r.returncode != 0:
            return None
        for line in r.stdout.decode("gbk", errors="replace").splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0] == name:
                return parts[2]
        return ""

    # --- X -------------------------------------------------------------------------------------
    def x(self, *args, check=True):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True, check=check, timeout=30)

    def tray_window(self):
        # trayer's panel is the window the icons dock into (its other windows never hold one).
        for w in self.x("xdotool", "search", "--class", "trayer", check=False).stdout.split():
            if self.x("xdotool", "getwindowname", w, check=False).stdout.strip() == "panel":
                return w
        return None

    def tray_icons(self):
        """Windows of other clients docked in the tray (the icons' windows). An X resource id's
        high bits name the client that made it, which tells the icons from trayer's own boxes."""
        tray = self.tray_window()
        if not tray:
            return []
        out = self.x("xwininfo", "-tree", "-id", tray, check=False).stdout
        ids = [line.split()[0] for line in (l.strip() for l in out.splitlines()) if line.startswith("0x")]
        return [w for w in ids if int(w, 0) >> 21 != int(tray, 0) >> 21]

    def windows_of_class(self, cls):
        return self.x("xdotool", "search", "--onlyvisible", "--class", cls, check=False).stdout.split()

    def geometry(self, window):
        """(x, y, width, height) of an X window on the screen."""
        out = self.x("xdotool", "getwindowgeometry", "--shell", window).stdout
        g = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def screenshot(self, path):
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env, capture_output=True, check=True).stdout
        write_png_from_xwd(xwd, path)

    @staticmethod
    def wait_for(condition, seconds, what):
        end = time.time() + seconds
        while time.time() < end:
            if condition():
                return
            time.sleep(0.1)
        raise RuntimeError("timed out waiting for " + what)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        for p in reversed(self.procs):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
        for p in reversed(self.procs):
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()


def write_png_from_xwd(data, path):
    """A 24/32-bit ZPixmap XWD dump (what `xwd` gives of Xvfb) as a PNG file."""
    header_size, _, _, depth, width, height = struct.unpack(">6I", data[:24])
    byte_order = struct.unpack(">I", data[28:32])[0]
    bits_per_pixel = struct.unpack(">I", data[44:48])[0]
    bytes_per_line = struct.unpack(">I", data[48:52])[0]
    ncolors = struct.unpack(">I", data[76:80])[0]
    pixels = data[header_size + ncolors * 12:]
    if bits_per_pixel not in (24, 32):
        raise RuntimeError("unexpected XWD pixel size %d" % bits_per_pixel)
    step = bits_per_pixel // 8
    # Which byte of a pixel holds red, green and blue, from the byte order (masks 0xff0000 ...).
    r_at, g_at, b_at = (2, 1, 0) if byte_order == 0 else (step - 3, step - 2, step - 1)
    rows = []
    for y in range(height):
        line = pixels[y * bytes_per_line:y * bytes_per_line + width * step]
        rgb = bytearray(width * 3)
        rgb[0::3] = line[r_at::step]
        rgb[1::3] = line[g_at::step]
        rgb[2::3] = line[b_at::step]
        rows.append(b"\x00" + bytes(rgb))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)
