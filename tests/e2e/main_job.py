"""The main job behind scripts/run.sh: the simulator serves, the installer
runs under Wine on $DISPLAY; with --auto it clicks through a whole install
by itself and saves a screenshot of each step.

    python3 main_job.py [--auto] [--name FILE.exe] [--shots DIR]

Needs ZQ_BUILD, ZQ_BIN, ZQ_SOURCE, WINEPREFIX and DISPLAY (run.sh sets them).
"""

import argparse
import os
import shutil
import sys
import time

import e2e
from e2e import Installer, Simulator, log, records, wait_for, wait_record


class Run(e2e.Case):
    """A case folder under <build>/run/<time>/ instead of <build>/e2e/."""

    def __init__(self, name, shots):
        super().__init__(name, root="run")
        if shots:
            shutil.rmtree(self.shots, ignore_errors=True)
            os.makedirs(shots, exist_ok=True)
            self.shots = os.path.abspath(shots)


def auto(run, inst):
    """Every page of the installer, then a whole install."""
    inst.wait_window(60)
    inst.shot("start-quick-install")
    inst.click("closebtn")
    box = inst.message_box()
    time.sleep(0.5)
    inst.shot("close-question", win=box)
    inst.click_at(*e2e.MSGBOX["second"], win=box)   # 取消: keep going
    inst.wait_gone(box)
    inst.click("userdefinitionBtn")
    inst.shot("custom-install-folder")
    inst.show_licence(15)
    inst.click("backBtn")
    time.sleep(0.3)
    inst.shot("quick-install")
    inst.click("installnowbtn")
    time.sleep(0.3)
    inst.shot("progress")
    wait_record(run, "zvinst", 60)
    time.sleep(2.0)
    inst.shot("installing")
    emu = wait_record(run, "zqplayer", 60)
    rc = inst.wait_exit(60)
    setup = records(run, "zvinst")[0]
    log(f"installer ran: zvinst.exe {setup['args']}")
    log(f"emulator started: zqplayer.exe {emu['args']!r}")
    log(f"zqdownloader exit code {rc}")
    return rc == 0


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--auto", action="store_true", help="click through a whole install")
    p.add_argument("--name", default="zqdownloader.exe", help="file name of the installer copy")
    p.add_argument("--shots", help="screenshot folder (--auto)")
    args = p.parse_args()

    run = Run(time.strftime("%Y%m%d-%H%M%S"), args.shots)
    with run, Simulator(run.dir, lifetime=900 if args.auto else 3600):
        if args.auto:
            # A fresh machine: no earlier installation, default folder empty.
            e2e.reg_reset()
            shutil.rmtree(os.path.join(e2e.prefix(), "drive_c", "Tessarin", "zqplayer2"),
                          ignore_errors=True)
        inst = Installer(run, args.name)
        # The stand-in installer takes a few seconds, so the page shows.
        inst.start(ZQ_FIXTURE_SLEEP_MS=4000)
        log(f"installer {inst.path} running on DISPLAY={os.environ.get('DISPLAY')}")
        if args.auto:
            ok = auto(run, inst)
            log(f"screenshots in {run.shots}")
            return 0 if ok else 1
        log("use the window; the run ends when the installer ends (Ctrl+C stops it)")
        try:
            rc = inst.proc.wait()
        except KeyboardInterrupt:
            return 130
        for role in ("zvinst", "zqplayer"):
            for r in records(run, role):
                log(f"{role}.exe ran with: {r.get('args', '')!r}")
        log(f"zqdownloader exit code {rc}")
        return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except e2e.Failure as e:
        log(f"FAILED: {e}")
        sys.exit(1)
