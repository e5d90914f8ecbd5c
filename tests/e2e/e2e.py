"""End-to-end driver of the installer as a person uses it.

Starts the vendor-service simulator on 127.0.0.1:18080 (the port the
installer is built against), runs a copy of zqdownloader.exe under Wine on an
X display, clicks its controls with xdotool, screenshots every page, and
reads back what the stand-in installer and emulator recorded and what the
program logged. Everything a run starts is ended by the run itself.

Environment (ctest sets it): ZQ_BIN, ZQ_SOURCE, ZQ_BUILD, WINEPREFIX.
DISPLAY is used when set; otherwise a private Xvfb is started.
"""

import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

WINDOW_TITLE = "Zavrian下载器"
SIM_PORT = 18080
REG_KEY = r"HKCU\Software\Tessarin2\zqplayer"

# Points inside the named controls of "mainframe.xml", relative to the
# window's top-left corner: the layered window's content sits 10 pixels
# inside its shadow image. Quick mode unless marked; the custom panel pushes
# the install button down.
CONTROLS = {
    "addQQGroupBtn": (511, 30),
    "minbtn": (545, 30),
    "closebtn": (579, 30),
    "installnowbtn": (305, 319),
    "installnowbtn_custom": (305, 357),
    "pathedit": (260, 259),
    "browsebtn": (500, 259),
    "acceptprotocolopt": (47, 439),
    "protocollinkbtn": (202, 439),
    "userdefinitionBtn": (526, 439),
    "backBtn": (555, 439),
    "blank": (305, 120),
}
# "msg/xml_messagebox.xml", 460 x 250: the row divides its width among the
# leading spacer and the buttons.
MSGBOX = {
    "first": (215, 214),
    "second": (371, 214),
    "single": (332, 214),
    "closebtn": (439, 20),
}
# "protocolwnd.xml", 610 x 480.
PROTOCOL = {"confirmprotocolbtn": (305, 433)}
PROTOCOL_TITLE = "protocolWnd"


def log(msg):
    print(f"[e2e {time.strftime('%H:%M:%S')}] {msg}", flush=True)


class Failure(AssertionError):
    pass


def check(cond, what):
    if not cond:
        raise Failure(what)
    log(f"ok: {what}")


def wait_for(pred, timeout, step=0.1, what="condition"):
    """Polls pred() until it returns a true value; returns it, or raises."""
    end = time.time() + timeout
    while True:
        v = pred()
        if v:
            return v
        if time.time() >= end:
            raise Failure(f"timed out after {timeout}s waiting for {what}")
        time.sleep(step)


# ---------------------------------------------------------------- paths ---

def source_dir():
    return os.environ.get("ZQ_SOURCE") or os.path.abspath(
        os.path.join(os.path.dirname(__file__), "..", ".."))


def build_dir():
    b = os.environ.get("ZQ_BUILD")
    if not b:
        raise SystemExit("ZQ_BUILD is not set")
    return b


def bin_dir():
    return os.environ.get("ZQ_BIN") or os.path.join(build_dir(), "bin")


def prefix():
    p = os.environ.get("WINEPREFIX")
    if not p:
        raise SystemExit("WINEPREFIX is not set")
    return p


def log_file():
    return os.path.join(prefix(), "drive_c", "users", "root", "AppData",
                        "Roaming", "Tessarin2", "log", "zqdownloader.log")


def to_windows(path):
    """Linux path -> the Z: path Wine shows the program."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def fixture_path(name):
    """A built fixture program (stand-in installer, emulator)."""
    for d in (os.path.join(bin_dir(), "fixtures"), bin_dir(),
              os.path.join(bin_dir(), "tests")):
        p = os.path.join(d, name)
        if os.path.isfile(p):
            return p
    raise Failure(f"fixture {name} not built")


def wine_env(extra=None):
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    if extra:
        env.update(extra)
    return env


# -------------------------------------------------------------- display ---

class Display:
    """DISPLAY as given, or a private Xvfb for the run. own=True always takes
    a private one, so that windows of tests running beside this one cannot
    cover the window it clicks."""

    def __init__(self, own=False):
        self.proc = None
        self.own = own
        self.saved = None

    def __enter__(self):
        if os.environ.get("DISPLAY") and not self.own:
            return self
        self.saved = os.environ.get("DISPLAY")
        for n in range(140, 200):
            if os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
                continue
            self.proc = subprocess.Popen(
                ["Xvfb", f":{n}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{n}") or self.proc.poll() is not None,
                     10, what="Xvfb")
            if self.proc.poll() is not None:   # taken meanwhile: the next number
                continue
            time.sleep(0.2)
            os.environ["DISPLAY"] = f":{n}"
            log(f"own Xvfb on :{n}")
            return self
        raise SystemExit("no free display number")

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
            if self.saved:
                os.environ["DISPLAY"] = self.saved
            else:
                del os.environ["DISPLAY"]


# ----------------------------------------------------------------- wine ---

def wine(*args, timeout=60, check_rc=False):
    """Runs a short Wine command (reg, taskkill ...) to completion."""
    r = subprocess.run(["wine", *args], env=wine_env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
    if check_rc and r.returncode != 0:
        raise Failure(f"wine {' '.join(args)} -> {r.returncode}")
    return r


def reg_reset(install_dir=None, version=None):
    """Deletes the product's registry key, then writes the given values."""
    wine("reg", "delete", REG_KEY, "/f")
    if install_dir is not None:
        wine("reg", "add", REG_KEY, "/v", "InstallDir", "/t", "REG_SZ", "/d", install_dir, "/f",
             check_rc=True)
    if version is not None:
        wine("reg", "add", REG_KEY, "/v", "Version", "/t", "REG_SZ", "/d", version, "/f",
             check_rc=True)


def reg_query(name):
    r = wine("reg", "query", REG_KEY, "/v", name)
    m = re.search(rb"REG_\w+\s+(.*?)\r?$", r.stdout, re.M)
    return m.group(1).decode("utf-8", "replace").strip() if m else None


def set_app_os_version(exe_name, version):
    """The system version Wine reports to programs of this file name only
    ('winxp' gives major version 5); None restores the default. Other
    programs of the prefix are not affected."""
    key = rf"HKCU\Software\Wine\AppDefaults\{exe_name}"
    if version:
        wine("reg", "add", key, "/v", "Version", "/t", "REG_SZ", "/d", version, "/f", check_rc=True)
    else:
        wine("reg", "delete", key, "/f")


def processes_matching(token):
    """Linux pids whose command line contains token (our unique folder)."""
    pids = []
    for d in os.listdir("/proc"):
        if not d.isdigit() or int(d) == os.getpid():
            continue
        try:
            with open(f"/proc/{d}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode("utf-8", "replace")
        except OSError:
            continue
        if token in cmd or token in cmd.replace("\\", "/"):
            pids.append(int(d))
    return pids


def kill_matching(token):
    for pid in processes_matching(token):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass


# ------------------------------------------------------------ simulator ---

class Simulator:
    """tools/vendor_sim.py on 127.0.0.1:18080 with a lifetime cap, serving
    the stand-in installer. settings: scenario options as keyword arguments
    (delay_version=5, fail_downloads=6, always_404=True, ...)."""

    def __init__(self, workdir, lifetime=240, **settings):
        self.workdir = workdir
        self.lifetime = lifetime
        self.settings = settings
        self.proc = None
        self.base = f"http://127.0.0.1:{SIM_PORT}"

    def __enter__(self):
        script = os.path.join(source_dir(), "tools", "vendor_sim.py")
        cmd = [sys.executable, script, "--port", str(SIM_PORT),
               "--payload", fixture_path("zvinst.exe"), "--lifetime", str(self.lifetime)]
        wait_for(lambda: not port_open(SIM_PORT), 20, what="port 18080 to be free")
        self.out = open(os.path.join(self.workdir, "sim.log"), "w")
        self.proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=self.out,
                                     stderr=subprocess.STDOUT)
        wait_for(lambda: port_open(SIM_PORT) or self.proc.poll() is not None, 15,
                 what="simulator")
        if self.proc.poll() is not None:
            raise Failure(f"simulator exited {self.proc.returncode}: see sim.log")
        if self.settings:
            self.set(**self.settings)
        return self

    def __exit__(self, *exc):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.out.close()

    def _get(self, path, **query):
        url = self.base + path
        if query:
            url += "?" + urllib.parse.urlencode(
                {k: (int(v) if isinstance(v, bool) else v) for k, v in query.items()})
        with urllib.request.urlopen(url, timeout=5) as r:
            return json.loads(r.read() or b"null")

    def set(self, **settings):
        """Changes scenario settings at run time."""
        return self._get("/_sim/set", **settings)

    def requests(self):
        """Paths requested so far, in order."""
        return [e["path"] for e in self._get("/_sim/log")]

    def downloads(self):
        return [p for p in self.requests() if p.startswith("/download/")]


def port_open(port):
    with socket.socket() as s:
        s.settimeout(0.3)
        return s.connect_ex(("127.0.0.1", port)) == 0


# ------------------------------------------------------------------ log ---

LINE_RE = re.compile(r"^(\d\d-\d\d)\t(\d\d:\d\d:\d\d\.\d\d\d)\t(\d+)\t([^\t]*)\t\((\d+)\):(.*)$")


class LogReader:
    """The program's log file from a remembered offset on."""

    def __init__(self):
        self.path = log_file()
        self.offset = os.path.getsize(self.path) if os.path.exists(self.path) else 0

    def lines(self):
        """[(thread, function, message)] written since the reader was made."""
        if not os.path.exists(self.path):
            return []
        with open(self.path, "rb") as f:
            size = os.path.getsize(self.path)
            # The writer empties the file at 1 MiB: start over then.
            f.seek(self.offset if size >= self.offset else 0)
            text = f.read().decode("utf-8", "replace")
        out = []
        for raw in text.split("\r\n"):
            m = LINE_RE.match(raw)
            if m:
                out.append((int(m.group(3)), m.group(4), m.group(6)))
        return out

    def messages(self):
        return [m for _, _, m in self.lines()]

    def has(self, needle):
        return any(needle in m for m in self.messages())

    def wait(self, needle, timeout):
        return wait_for(lambda: self.has(needle), timeout, what=f"log line {needle!r}")

    def count(self, needle):
        return sum(1 for m in self.messages() if needle in m)

    def assert_in_order(self, needles, what):
        """Each needle is found on a later line than the one before."""
        msgs = self.messages()
        pos = 0
        for n in needles:
            for i in range(pos, len(msgs)):
                if n in msgs[i]:
                    pos = i + 1
                    break
            else:
                raise Failure(f"{what}: {n!r} missing after line {pos}\n" + "\n".join(msgs))
        log(f"ok: {what}")

    def dump(self):
        return "\n".join(f"{t}\t{fn}\t{m}" for t, fn, m in self.lines())


# ---------------------------------------------------------- the program ---

def xdotool(*args, timeout=10):
    r = subprocess.run(["xdotool", *args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL, timeout=timeout)
    return r.stdout.decode().strip()


def find_windows(title):
    out = xdotool("search", "--name", "^" + re.escape(title) + "$")
    return [int(w) for w in out.split()] if out else []


def top_levels():
    """[(id, name, x, y, w, h)] of the mapped top-level X windows."""
    r = subprocess.run(["xwininfo", "-root", "-children"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
    out = []
    for line in r.stdout.decode("utf-8", "replace").splitlines():
        m = re.match(r'\s*(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)):.*?(\d+)x(\d+)\+(-?\d+)\+(-?\d+)',
                     line)
        if m:
            w = int(m.group(1), 16)
            out.append((w, m.group(2) or "", int(m.group(5)), int(m.group(6)),
                        int(m.group(3)), int(m.group(4))))
    return out


def is_viewable(win):
    return "IsViewable" in xwininfo_state(win)


def xwininfo_state(win):
    r = subprocess.run(["xwininfo", "-id", str(win)], stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
    m = re.search(r"Map State: (\w+)", r.stdout.decode("utf-8", "replace"))
    return m.group(1) if m else ""


def find_sized(w, h, exclude=None):
    """A viewable top-level of exactly w x h pixels other than `exclude`."""
    for win, _, _, _, ww, hh in top_levels():
        if win != exclude and (ww, hh) == (w, h) and is_viewable(win):
            return win
    return None


def geometry(win):
    out = xdotool("getwindowgeometry", "--shell", str(win))
    g = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])


class Installer:
    """One copy of zqdownloader.exe under a chosen file name, run under Wine."""

    def __init__(self, case, file_name="zqdownloader.exe", exe=None):
        self.case = case
        self.dir = os.path.join(case.dir, "download")
        os.makedirs(self.dir, exist_ok=True)
        self.path = os.path.join(self.dir, file_name)
        # ZQ_E2E_EXE: run the cases against another build of the program.
        exe = exe or os.environ.get("ZQ_E2E_EXE") or os.path.join(bin_dir(), "zqdownloader.exe")
        shutil.copyfile(exe, self.path)
        self.proc = None
        self.win = None
        self.shot_no = 0
        # The "_xp" layouts place everything 10 pixels up and left (no shadow margin).
        self.offset = (0, 0)

    def start(self, **env):
        """Starts the copy. env: extra environment for it and the programs it
        starts (the stand-ins read ZQ_FIXTURE_*); ZQ_FIXTURE_DIR is the
        case's record folder unless given."""
        env = {k: str(v) for k, v in env.items()}
        env.setdefault("ZQ_FIXTURE_DIR", to_windows(self.case.records))
        self.started = time.time()
        self.proc = subprocess.Popen(["wine", self.path], cwd=self.dir, env=wine_env(env),
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        self.case.procs.append(self.proc)
        return self

    def wait_window(self, timeout=30):
        self.win = self.wait_window_titled(WINDOW_TITLE, timeout)
        time.sleep(0.8)   # first paint of the layered window
        return self.win

    def wait_window_titled(self, title, timeout=10):
        """A viewable top-level of this program with window text `title`."""
        def found():
            if self.proc.poll() is not None:
                raise Failure(f"installer exited early with {self.proc.returncode}")
            ws = find_windows(title)
            for w in ws:
                try:
                    x, y, wd, ht = geometry(w)
                except (KeyError, ValueError):
                    continue
                if wd > 100 and ht > 100 and is_viewable(w):
                    return w
            return None
        win = wait_for(found, timeout, step=0.2, what=f"window {title!r}")
        time.sleep(0.5)
        return win

    def origin(self, win=None):
        x, y, _, _ = geometry(win or self.win)
        return x, y

    def click_at(self, x, y, win=None):
        ox, oy = self.origin(win)
        xdotool("mousemove", str(ox + x), str(oy + y))
        time.sleep(0.15)
        xdotool("click", "1")
        time.sleep(0.35)

    def click(self, name):
        log(f"click {name}")
        x, y = CONTROLS[name]
        self.click_at(x + self.offset[0], y + self.offset[1])

    def key(self, *keys):
        for k in keys:
            xdotool("key", k)
            time.sleep(0.2)

    def type_path(self, text):
        """Replaces the path field's text with `text` and leaves the field."""
        self.click("pathedit")
        time.sleep(0.3)
        self.key("ctrl+a", "BackSpace")
        for _ in range(3):     # a field without select-all: clear by keys
            self.key("End")
            xdotool("key", "--repeat", "120", "--delay", "2", "BackSpace")
        xdotool("type", "--delay", "20", text)
        time.sleep(0.3)
        self.click("blank")    # the field loses the focus
        time.sleep(0.3)

    def message_box(self, timeout=10):
        """The open message box (a visible 460 x 250 top-level), or Failure."""
        return wait_for(lambda: find_sized(460, 250, exclude=self.win), timeout, step=0.2,
                        what="message box")

    def wait_gone(self, win, timeout=10):
        """Until the X window of a closed window is gone from the screen. Wine
        keeps a closed window's X window up to a second without a window
        manager, and a click meanwhile lands on it."""
        def gone():
            try:
                return xwininfo_state(win) != "IsViewable"
            except subprocess.SubprocessError:
                return True
        wait_for(gone, timeout, step=0.1, what="closed window to leave the screen")
        time.sleep(0.2)

    def show_licence(self, timeout=10):
        """Opens the licence window by its link, saves a screenshot of it and
        closes it with its confirm button; Failure when it does not open
        within `timeout` seconds."""
        self.click("protocollinkbtn")
        lic = self.wait_window_titled(PROTOCOL_TITLE, timeout)
        self.shot("licence-window", win=lic)
        self.click_at(*PROTOCOL["confirmprotocolbtn"], win=lic)
        self.wait_gone(lic)

    def no_message_box(self):
        return find_sized(460, 250, exclude=self.win) is None

    def shot(self, label, win=None):
        """Screenshot of the window (or the whole screen) into the case folder."""
        self.shot_no += 1
        path = os.path.join(self.case.shots, f"{self.shot_no:02d}-{label}.png")
        target = win or self.win
        args = ["import", "-window", "root"]
        if target:
            try:
                x, y, w, h = geometry(target)
                args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
            except (KeyError, ValueError):
                pass
        subprocess.run(args + [path], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=20)
        log(f"screenshot {path}")
        return path

    def pixel(self, x, y, win=None):
        """(r, g, b) of the screen at a point relative to the window."""
        ox, oy = self.origin(win)
        out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{ox + x}+{oy + y}",
                              "-depth", "8", "txt:-"], stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=20)
        m = re.search(rb"\((\d+),(\d+),(\d+)", out.stdout.split(b"\n", 1)[-1])
        return tuple(int(v) for v in m.groups()) if m else None

    def install_enabled(self, custom=False):
        """Whether the install button shows its enabled (orange) look, in any
        hover state; the disabled look is grey."""
        x, y = CONTROLS["installnowbtn_custom" if custom else "installnowbtn"]
        r, g, b = self.pixel(x + self.offset[0], y + self.offset[1])
        return r > 150 and r > b + 80

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"installer still running after {timeout}s")

    def running(self):
        return self.proc.poll() is None


class Case:
    """One scenario: a fresh folder under the build dir, the log reader, and
    the cleanup of everything started in it."""

    def __init__(self, name, root="e2e"):
        self.name = name
        root = os.path.join(build_dir(), root)
        os.makedirs(root, exist_ok=True)
        self.dir = os.path.join(root, name)
        # Leftovers of an earlier, killed run of this case.
        kill_matching(self.dir)
        kill_matching(to_windows(self.dir))
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.shots = os.path.join(self.dir, "shots")
        os.makedirs(self.shots)
        # Unique marker in every path we hand the programs, to find our
        # processes again.
        self.token = f"e2e-{name}-{os.getpid()}"
        self.work = os.path.join(self.dir, self.token)
        os.makedirs(self.work)
        self.records = os.path.join(self.dir, "records")
        os.makedirs(self.records)
        self.procs = []
        self.cleanup_dirs = []   # folders outside the case folder to remove at the end
        self.log = None

    def __enter__(self):
        # A crash ends the program at once instead of waiting in a dialog.
        wine("reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t",
             "REG_DWORD", "/d", "0", "/f")
        self.log = LogReader()
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            for p in self.procs:
                log(f"process {p.args}: {'running' if p.poll() is None else p.returncode}")
            subprocess.run(["import", "-window", "root", os.path.join(self.shots, "failure.png")],
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=20)
        for p in self.procs:
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except OSError:
                    pass
        kill_matching(self.dir)
        kill_matching(to_windows(self.dir))
        for p in self.procs:
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                pass
        for d in self.cleanup_dirs:
            shutil.rmtree(d, ignore_errors=True)
        if exc_type is not None and self.log:
            with open(os.path.join(self.dir, "program.log"), "w") as f:
                f.write(self.log.dump())
            log(f"FAILED; program log in {self.dir}/program.log")
        return False

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def win_path(self, *parts):
        return to_windows(self.path(*parts))


def records(case, role):
    """Blocks the stand-in `role` (zvinst, zqplayer, zqmultiplayer) recorded:
    [{"args": ..., "openid": ..., ...}] in run order."""
    path = os.path.join(case.records, f"{role}_args.txt")
    if not os.path.exists(path):
        return []
    blocks, cur = [], {}
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f.read().splitlines():
            if line == "end":
                blocks.append(cur)
                cur = {}
            elif "=" in line:
                k, v = line.split("=", 1)
                cur[k] = v
    return blocks


def wait_record(case, role, timeout=30):
    return wait_for(lambda: records(case, role), timeout, step=0.2, what=f"{role} record")[0]
