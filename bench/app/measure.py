"""Installer start-up and hand-off benchmark (bench/app/run.sh runs it).

Prints:
  - time from process start until the main window has painted, for the
    installer and for a bare Win32 window started the same way (wine, the
    same warm server, the same display), and their ratio;
  - time from the install click until the stand-in full installer starts,
    with the payload served by the simulator on 127.0.0.1;
  - the installer's size in bytes against the 1.5 MB target.
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import e2e  # noqa: E402

SIZE_TARGET = 1_500_000


def window_pixel(win, x, y):
    """(r, g, b) at (x, y) of an X window (one ImageMagick grab, about 50 ms:
    the resolution of the start-up figures)."""
    out = subprocess.run(["import", "-window", str(win), "-crop", f"1x1+{x}+{y}", "-depth", "8",
                          "txt:-"], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, timeout=10).stdout
    lines = out.split(b"\n")
    if len(lines) < 2 or b"(" not in lines[1]:
        return None
    nums = lines[1].split(b"(", 1)[1].split(b")", 1)[0].split(b",")
    try:
        return tuple(int(float(v)) for v in nums[:3])
    except ValueError:
        return None


def orange(px):
    return px is not None and px[0] > 150 and px[0] > px[2] + 80


def time_to_paint(exe, cwd, title, point, env=None):
    """Seconds from starting `wine exe` until its window `title` is on the
    screen with `point` painted orange. The process is killed afterwards."""
    t0 = time.perf_counter()
    err = open(os.path.join(cwd, "wine-stderr.txt"), "w")
    proc = subprocess.Popen(["wine", exe], cwd=cwd, env=e2e.wine_env(env), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=err, start_new_session=True)
    err.close()
    try:
        def painted():
            for w in e2e.find_windows(title):
                try:
                    if e2e.is_viewable(w) and orange(window_pixel(w, *point)):
                        return True
                except subprocess.SubprocessError:
                    pass
            if proc.poll() is not None:
                raise e2e.Failure(f"{exe} exited with {proc.returncode}")
            return False
        e2e.wait_for(painted, 60, step=0.005, what=f"{title} painted")
        return time.perf_counter() - t0
    finally:
        proc.kill()
        proc.wait(10)
        time.sleep(0.3)   # the wine server forgets the process and its mutex


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    bare = os.path.join(e2e.bin_dir(), "bench", "app_bench_bare_window.exe")
    installer = os.path.join(e2e.bin_dir(), "zqdownloader.exe")
    with e2e.Display(), e2e.Case("app", root="bench") as case, e2e.Simulator(case.dir) as sim:
        e2e.reg_reset(case.win_path("inst") + "\\")
        copy = e2e.Installer(case)           # the installer under its plain name
        # Warm-up: the first start of a program maps files the later ones share.
        time_to_paint(bare, case.dir, "zq bare window", (305, 240))
        time_to_paint(copy.path, copy.dir, e2e.WINDOW_TITLE, e2e.CONTROLS["installnowbtn"])
        t_bare, t_inst = [], []
        for _ in range(rounds):
            t_bare.append(time_to_paint(bare, case.dir, "zq bare window", (305, 240)))
            t_inst.append(time_to_paint(copy.path, copy.dir, e2e.WINDOW_TITLE,
                                        e2e.CONTROLS["installnowbtn"]))
        mb, mi = statistics.median(t_bare), statistics.median(t_inst)
        print(f"start-up to first paint ({rounds} runs, median): installer {mi * 1000:.0f} ms, "
              f"bare window {mb * 1000:.0f} ms, ratio {mi / mb:.2f}")

        handoff = []
        for i in range(max(3, rounds // 2)):
            folder = case.path(f"inst{i}")
            e2e.reg_reset(case.win_path(f"inst{i}") + "\\")
            for f in ("zvinst_args.txt", "zqplayer_args.txt"):
                if os.path.exists(os.path.join(case.records, f)):
                    os.unlink(os.path.join(case.records, f))
            inst = e2e.Installer(case).start()
            inst.wait_window()
            case.log.wait("get player url is", 10)
            record = os.path.join(case.records, "zvinst_args.txt")
            ox, oy = inst.origin()
            x, y = e2e.CONTROLS["installnowbtn"]
            e2e.xdotool("mousemove", str(ox + x), str(oy + y))
            time.sleep(0.3)
            t0 = time.time()
            e2e.xdotool("click", "1")
            e2e.wait_for(lambda: os.path.exists(record), 60, step=0.005, what="installer start")
            handoff.append(os.stat(record).st_mtime - t0)
            inst.wait_exit(30)
            assert os.path.isfile(os.path.join(folder, "zvinst.exe"))
        payload = os.path.getsize(e2e.fixture_path("zvinst.exe"))
        print(f"install click to installer start ({len(handoff)} runs, median, payload {payload} bytes "
              f"on 127.0.0.1, four taskkill runs included): {statistics.median(handoff) * 1000:.0f} ms")
    size = os.path.getsize(installer)
    print(f"installer size: {size} bytes (target under {SIZE_TARGET}: "
          f"{'met' if size < SIZE_TARGET else 'NOT met'}, {size / SIZE_TARGET:.2f} of it)")


if __name__ == "__main__":
    main()
