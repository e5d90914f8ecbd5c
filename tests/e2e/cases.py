"""End-to-end cases of the installer as a person uses it: one ctest test per
case_* function (tests/e2e/CMakeLists.txt registers them).

Each case starts the simulator, runs a copy of zqdownloader.exe under a
chosen file name with a reset registry key, clicks and types, screenshots
each page into <build>/e2e/<case>/shots/, and checks what the stand-ins
recorded and what the program logged.

    python3 cases.py CASE      (needs ZQ_BUILD, WINEPREFIX; see e2e.py)
"""

import os
import shutil
import sys
import time

import e2e
from e2e import Case, Installer, Simulator, check, log, records, wait_for, wait_record

VERSION_LINE = "downloader start. version is : 1.0.5 *******************"
KILLS = ["zqplayer.exe", "zqmultiplayer.exe", "zqupdate.exe", "bugreport.exe"]


# ------------------------------------------------------------- helpers ---

def startup_lines():
    """The single instance's start-up lines, in their order."""
    return [VERSION_LINE, "commoninit end", "duilibInit2 end",
            "CCmdLine::popupExistPwnd not exist", "player path is ",
            "ZQDownloaderModel::exe filename= ", "openid is ", "read from reg: path is ",
            "player, create main window..."]


def begin(case, file_name="zqdownloader.exe", install_dir=None, version=None, **env):
    """Resets the registry key, starts the copy, waits for its window and
    checks the start-up lines. install_dir: registry InstallDir (the folder
    of an earlier installation), or None for the free-space default."""
    e2e.reg_reset(install_dir, version)
    inst = Installer(case, file_name).start(**env)
    inst.wait_window()
    case.log.wait("player, create main window...", 10)
    case.log.assert_in_order(startup_lines(), "start-up lines in order")
    return inst


def install_folder(case):
    """The folder the model chose at start-up, from its log line."""
    for m in case.log.messages():
        if m.startswith("read from reg: path is ") and len(m) > len("read from reg: path is "):
            return m[len("read from reg: path is "):]
        if m.startswith("get install path from MaxFreeSpace: "):
            return m[len("get install path from MaxFreeSpace: "):]
    raise e2e.Failure("no install folder in the log")


def check_handoff(case, openid, folder, package, exit_code=0):
    """The stand-in installer and emulator ran with the right arguments, after
    the four stop commands in their order."""
    inst_rec = wait_record(case, "zvinst", 30)
    check(inst_rec["args"] == f"-silence -downloader -openid={openid} -path={folder}",
          f"installer arguments {inst_rec['args']!r}")
    emu = wait_record(case, "zqplayer", 30)
    want = f"downloadpackage={package}|package={package}" if package else ""
    check(emu["args"] == want, f"emulator arguments {emu['args']!r}")
    check(emu.get("show") not in ("0", None), f"emulator shown (show state {emu.get('show')})")
    case.log.wait("install zqpayer end. sucess = ", 10)
    case.log.assert_in_order(
        [f"/F /IM {name} /T" for name in KILLS] + ["-silence -downloader -openid=",
                                                   f"install zqpayer end. sucess = {0 if exit_code else 1}"],
        "taskkill runs in order, then the installer")


def finish(inst, timeout=20):
    rc = inst.wait_exit(timeout)
    check(rc == 0, f"installer exited with {rc}")


def prefix_path(win_path):
    """Linux path of a C:\\ or Z:\\ path of the prefix."""
    drive, rest = win_path[0].lower(), win_path[2:].replace("\\", "/")
    if drive == "z":
        return rest
    return os.path.join(e2e.prefix(), "drive_c", rest.lstrip("/"))


# --------------------------------------------------------------- cases ---

def case_plain_install():
    """Default folder, plain file name: every page, then the stand-ins ran."""
    with Case("plain_install") as case, Simulator(case.dir) as sim:
        # The free-space default folder of a fresh machine.
        for d in ("C:\\Tessarin\\zqplayer2\\", "Z:\\Tessarin\\zqplayer2\\"):
            shutil.rmtree(prefix_path(d), ignore_errors=True)
        inst = begin(case, "zqdownloader.exe", ZQ_FIXTURE_SLEEP_MS=4000)
        folder = install_folder(case)
        case.cleanup_dirs.append(prefix_path(folder))
        check(folder.endswith(":\\Tessarin\\zqplayer2\\"), f"default folder {folder}")
        case.log.wait("openid is 100, package is ", 5)
        inst.shot("page0-quick")
        inst.click("userdefinitionBtn")
        inst.shot("page0-custom")
        inst.click("backBtn")
        inst.shot("page0-back-to-quick")
        inst.click("installnowbtn")
        wait_record(case, "zvinst", 30)
        inst.shot("page2-installing")
        check_handoff(case, "100", folder, "")
        finish(inst)
        check(os.path.isfile(os.path.join(prefix_path(folder), "zqplayer.exe")),
              "emulator installed into the default folder")
        check(sim.downloads() == ["/download/player/zvinst.exe"], "one download of the announced URL")
        check(e2e.reg_query("Version") == "5", "the stand-in recorded its version")


def case_channel_package_in_name():
    with Case("channel_package_in_name") as case, Simulator(case.dir) as sim:
        folder = case.win_path("inst") + "\\"
        inst = begin(case, "x_com.example.game_123456.exe", install_dir=folder)
        case.log.assert_in_order(["model. type: x, package:com.example.game, openID:123456",
                                  "openid is 123456, package is com.example.game"],
                                 "launch parameters from the file name")
        inst.shot("page0")
        inst.click("installnowbtn")
        check_handoff(case, "123456", folder, "com.example.game")
        finish(inst)
        check(not any(p.startswith("/getGameInfo2") for p in sim.requests()),
              "no game-info query with a package in the name")


def case_channel_game_info():
    """The package comes from the game-info service; the browser's copy
    suffix does not hide the channel."""
    with Case("channel_game_info") as case, Simulator(case.dir) as sim:
        folder = case.win_path("inst") + "\\"
        inst = begin(case, "x_zv_222222 (1).exe", install_dir=folder)
        wait_for(lambda: any(p.startswith("/getGameInfo2?appid=222222") for p in sim.requests()),
                 10, what="game-info query")
        case.log.wait("package is com.tessarin.racing", 10)
        inst.click("installnowbtn")
        check_handoff(case, "222222", folder, "com.tessarin.racing")
        finish(inst)


def case_licence_unticked():
    """Unticking the licence box disables the install button; the licence
    window opens once and closes; ticking again lets the install start."""
    with Case("licence_unticked") as case, Simulator(case.dir) as sim:
        folder = case.win_path("inst") + "\\"
        inst = begin(case, install_dir=folder)
        check(inst.install_enabled(), "install button enabled at start")
        inst.click("acceptprotocolopt")
        time.sleep(0.5)
        inst.shot("page0-unticked")
        check(not inst.install_enabled(), "install button disabled with the licence box unticked")
        inst.click("installnowbtn")
        time.sleep(1.5)
        check(not case.log.has("start download") and not sim.downloads(),
              "a click on the disabled button starts nothing")
        check(inst.no_message_box(), "no message box")
        # The licence window: one window for two clicks, closed by its button.
        inst.show_licence()
        inst.click("acceptprotocolopt")
        time.sleep(0.5)
        check(inst.install_enabled(), "install button enabled again")
        inst.click("installnowbtn")
        check_handoff(case, "100", folder, "")
        finish(inst)


def case_invalid_then_typed_folder():
    """Custom install: a path on a missing drive is refused (notice, button
    disabled); a typed folder with a space gets its zqplayer2 sub-folder and
    reaches the installer unquoted."""
    with Case("invalid_then_typed_folder") as case, Simulator(case.dir) as sim:
        inst = begin(case, install_dir=case.win_path("first") + "\\")
        inst.click("userdefinitionBtn")
        inst.shot("custom-valid")
        check(inst.install_enabled(custom=True), "install button enabled for the registry folder")
        inst.type_path("Q:\\no such drive")
        inst.shot("custom-invalid")
        check(not inst.install_enabled(custom=True), "install button disabled for an invalid folder")
        inst.click("installnowbtn_custom")
        time.sleep(1.0)
        check(not sim.downloads(), "nothing downloaded for an invalid folder")
        typed = case.win_path("my games")
        inst.type_path(typed)
        inst.shot("custom-typed")
        check(inst.install_enabled(custom=True), "button enabled again")
        inst.click("installnowbtn_custom")
        time.sleep(0.5)
        inst.shot("page2")
        check_handoff(case, "100", typed + "\\zqplayer2\\", "")
        finish(inst)
        check(os.path.isfile(case.path("my games", "zqplayer2", "zvinst.exe")),
              "installer downloaded into the typed folder")


def case_folder_picker():
    """The folder picker opens on C:; Cancel changes nothing; picking the
    drive root gives its default sub-folders, which the installer gets."""
    with Case("folder_picker") as case, Simulator(case.dir) as sim:
        picked = "C:\\Tessarin\\zqplayer2\\"
        shutil.rmtree(prefix_path(picked), ignore_errors=True)
        case.cleanup_dirs.append(prefix_path(picked))
        inst = begin(case, install_dir=case.win_path("inst") + "\\")
        inst.click("userdefinitionBtn")
        inst.click("browsebtn")
        picker = inst.wait_window_titled("Browse for Folder", 15)
        inst.shot("picker", win=0)
        inst.key("Escape")
        inst.wait_gone(picker)
        inst.click("browsebtn")
        picker = inst.wait_window_titled("Browse for Folder", 15)
        time.sleep(0.5)
        inst.key("Return")        # OK on the pre-selected C:
        inst.wait_gone(picker)
        inst.shot("picked")
        inst.click("installnowbtn_custom")
        check_handoff(case, "100", picked, "")
        finish(inst)


def case_close_question():
    """The close button asks; 取消 keeps everything running, 确定 ends the run."""
    with Case("close_question") as case, Simulator(case.dir) as sim:
        inst = begin(case, install_dir=case.win_path("inst") + "\\")
        inst.click("closebtn")
        box = inst.message_box()
        time.sleep(0.5)
        inst.shot("close-question", win=box)
        # The main window takes no input while the box is open: the licence
        # box (outside the question) stays ticked.
        inst.click("acceptprotocolopt")
        inst.click_at(*e2e.MSGBOX["second"], win=box)
        inst.wait_gone(box)
        check(inst.running(), "取消 leaves the program running")
        check(inst.install_enabled(), "main window ignored the click while the box was open")
        inst.shot("after-cancel")
        inst.click("closebtn")
        box = inst.message_box()
        time.sleep(0.5)
        inst.click_at(*e2e.MSGBOX["first"], win=box)
        finish(inst, 10)
        check(not records(case, "zvinst"), "nothing installed")


def case_escape_during_download():
    """Escape while the download worker retries ends the run at once."""
    with Case("escape_during_download") as case, Simulator(case.dir, fail_downloads=100) as sim:
        inst = begin(case, install_dir=case.win_path("inst") + "\\")
        inst.click("installnowbtn")
        wait_for(lambda: len(sim.downloads()) >= 2, 20, what="download attempts")
        inst.shot("page2-downloading")
        t0 = time.time()
        inst.key("Escape")
        finish(inst, 10)
        took = time.time() - t0
        check(took < 4.0, f"the run ended {took:.1f}s after Escape")
        check(not records(case, "zvinst"), "nothing installed")


def case_second_instance():
    """A second start raises the first window and exits 0 without a window."""
    with Case("second_instance") as case, Simulator(case.dir) as sim:
        first = begin(case, install_dir=case.win_path("inst") + "\\")
        # Also while the first one asks its close question.
        first.click("closebtn")
        box = first.message_box()
        second = Installer(case, "x_com.example.game_123456.exe").start()
        rc = second.wait_exit(20)
        check(rc == 0, f"second instance exited with {rc}")
        case.log.wait("onHandleWindowIPC, msg = 11123", 10)
        lines = case.log.lines()
        threads = [t for t, _, m in lines if m == VERSION_LINE]
        check(len(threads) == 2, "two processes started")
        mine = [m for t, _, m in lines if t == threads[1]]
        check(mine[:3] == [VERSION_LINE, "commoninit end", "duilibInit2 end"] and
              any("popupExistPwnd exist" in m for m in mine) and
              not any(m.startswith("player path is") for m in mine),
              "second instance logs its start and the single-instance line only")
        check(len(e2e.find_windows(e2e.WINDOW_TITLE)) >= 1 and first.running(),
              "first instance still up")
        check(e2e.is_viewable(first.win) and e2e.is_viewable(box), "window and question still shown")
        first.shot("raised", win=0)
        first.click_at(*e2e.MSGBOX["first"], win=box)   # 确定 ends the run
        finish(first, 10)


def case_xp_layouts():
    """Major version 5: the square "_xp" window (590 x 460) and a whole
    install through it."""
    name = "setup_xp.exe"   # two pieces: a plain install
    with Case("xp_layouts") as case, Simulator(case.dir) as sim:
        e2e.set_app_os_version(name, "winxp")
        try:
            folder = case.win_path("inst") + "\\"
            inst = begin(case, name, install_dir=folder)
            inst.offset = (-10, -10)
            _, _, w, h = e2e.geometry(inst.win)
            check((w, h) == (590, 460), f"xp window size {w}x{h}")
            inst.shot("page0-xp")
            inst.click("userdefinitionBtn")
            inst.shot("custom-xp")
            inst.click("installnowbtn_custom")
            check_handoff(case, "100", folder, "")
            finish(inst)
        finally:
            e2e.set_app_os_version(name, None)


def case_planted_dlls():
    """DLLs planted beside the installer under the names of system DLLs it
    uses are never loaded, even with the search order of Windows (the
    program's folder before the system's): the install still works."""
    planted = os.path.join(e2e.bin_dir(), "tests", "planted")
    with Case("planted_dlls") as case, Simulator(case.dir) as sim:
        folder = case.win_path("inst") + "\\"
        inst = Installer(case)
        for dll in ("wininet.dll", "msimg32.dll"):
            shutil.copyfile(os.path.join(planted, dll), os.path.join(inst.dir, dll))
        e2e.reg_reset(folder)
        inst.start(WINEDLLOVERRIDES="mscoree,mshtml=;wininet,msimg32=n,b")
        inst.wait_window()
        case.log.wait("get player url is", 10)
        inst.shot("page0")
        inst.click("installnowbtn")
        check_handoff(case, "100", folder, "")
        finish(inst)
        loaded = [f for f in os.listdir(inst.dir) if f.endswith(".loaded")]
        check(not loaded, f"no planted DLL loaded ({loaded})")


def case_version_service_down():
    """No version reply: the fallback URL after 3 s, then a normal install."""
    with Case("version_service_down") as case, Simulator(case.dir, version_down="refuse") as sim:
        folder = case.win_path("inst") + "\\"
        inst = begin(case, install_dir=folder)
        t0 = time.time()
        inst.click("installnowbtn")
        case.log.wait("start downloader. bug getting player url", 5)
        inst.shot("page2-waiting")
        wait_for(lambda: sim.downloads(), 15, what="fallback download")
        took = time.time() - t0
        check(sim.downloads()[0] == "/download/release/zvinst.exe", "the fallback URL")
        check(2.7 <= took <= 8.0, f"fallback after {took:.1f}s")
        check_handoff(case, "100", folder, "")
        finish(inst)


def case_downloads_fail():
    """Six failed attempts: "download end", no installer, the page stays."""
    with Case("downloads_fail") as case, Simulator(case.dir, always_404=True) as sim:
        inst = begin(case, install_dir=case.win_path("inst") + "\\")
        inst.click("installnowbtn")
        case.log.wait("download end", 30)
        check(case.log.count("download xxx") == 6, "six attempts")
        check(len(sim.downloads()) == 6, "six requests")
        time.sleep(1.0)
        inst.shot("page2-stuck")
        check(inst.running() and not records(case, "zvinst"), "still on the progress page, nothing run")
        inst.key("Escape")
        finish(inst, 10)


def case_installer_fails():
    """An installer exiting with 1: the emulator still starts, the run ends."""
    with Case("installer_fails") as case, Simulator(case.dir) as sim:
        folder = case.win_path("inst") + "\\"
        inst = begin(case, install_dir=folder, ZQ_FIXTURE_EXIT_CODE=1)
        inst.click("installnowbtn")
        check_handoff(case, "100", folder, "", exit_code=1)
        finish(inst)


def case_reuse_installer_file():
    """An installer file left by an earlier run with the announced digest is
    used without downloading."""
    with Case("reuse_installer_file") as case, Simulator(case.dir) as sim:
        os.makedirs(case.path("inst"))
        shutil.copyfile(e2e.fixture_path("zvinst.exe"), case.path("inst", "zvinst.exe"))
        folder = case.win_path("inst") + "\\"
        inst = begin(case, install_dir=folder)
        case.log.wait("openid is", 5)
        wait_for(lambda: any(p == "/zv/zavrian" for p in sim.requests()), 10, what="version query")
        time.sleep(0.5)
        inst.click("installnowbtn")
        check_handoff(case, "100", folder, "")
        finish(inst)
        check(case.log.has("is the same md5"), "digest matched")
        check(not sim.downloads(), "nothing downloaded")


def main():
    name = sys.argv[1]
    fn = globals().get("case_" + name)
    if not fn:
        raise SystemExit(f"no case {name}")
    # A display of its own unless ZQ_E2E_DISPLAY=shared (to watch a run).
    with e2e.Display(own=os.environ.get("ZQ_E2E_DISPLAY") != "shared"):
        fn()
    print(f"PASS {name}")


if __name__ == "__main__":
    main()
