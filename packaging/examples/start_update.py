"""Starting the updater from a Python application: update (update.exe on
Windows) lies beside this file, in the installation. It is started detached,
on Windows out of the application's job and on Linux in a session of its
own, so that nothing that ends the application ends it. Started again by the
updater, the application learns the outcome.
Run: python3 start_update.py APP ZIP
     python3 start_update.py    (as the updater starts it again)"""
import os
import subprocess
import sys
import time


def start_updater(exe_name, zip_file):
    folder = os.path.dirname(os.path.abspath(__file__))
    updater = os.path.join(folder, "update.exe" if os.name == "nt" else "update")
    command = [updater, "--exeName", exe_name, "--zipFile", zip_file, "--dstPath", folder]
    # No pipe that could close under it, and no descriptor of ours inherited.
    streams = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if os.name != "nt":
        subprocess.Popen(command, start_new_session=True, **streams)
        return
    detached = subprocess.DETACHED_PROCESS
    try:
        subprocess.Popen(command, creationflags=detached | subprocess.CREATE_BREAKAWAY_FROM_JOB, **streams)
    except PermissionError:
        # The job allows no breakaway: its owner must keep it open until the
        # update is done.
        subprocess.Popen(command, creationflags=detached, **streams)


def wait_for_process(pid, seconds):
    """Waits until process `pid` has ended, `seconds` at most."""
    if os.name == "nt":
        import ctypes
        synchronize = 0x00100000
        kernel32 = ctypes.windll.kernel32
        handle = kernel32.OpenProcess(synchronize, False, pid)
        if handle:
            kernel32.WaitForSingleObject(handle, seconds * 1000)
            kernel32.CloseHandle(handle)
        return
    # Ended: gone, or ended and not yet reaped by its parent (state Z).
    for _ in range(seconds * 10):
        try:
            with open("/proc/%d/stat" % pid, "rb") as stat:
                if stat.read().rpartition(b")")[2].split()[0] == b"Z":
                    return
        except OSError:
            return
        time.sleep(0.1)


def update_outcome():
    """At start: when the updater started this program again, UPDATER_PID
    names the updater, which is still writing its last lines, and UPDATER_LOG
    the file they go to. Waits for that process to end (a minute at most) and
    returns the last line of the file, the run's closing line (line 242 when
    the update went well); None when this program was not started by the
    updater."""
    pid, log = os.environ.get("UPDATER_PID"), os.environ.get("UPDATER_LOG")
    if not pid or not log:
        return None
    wait_for_process(int(pid), 60)
    try:
        with open(log, "rb") as lines:
            closing = [line for line in lines.read().splitlines() if line.strip()][-1:]
    except OSError:
        closing = []
    return closing[0].decode("utf-8", "replace") if closing else ""


if __name__ == "__main__":
    if len(sys.argv) == 1:
        outcome = update_outcome()
        if outcome is not None:
            print(outcome)
            sys.exit(0 if "UpGrade/update 242 " in outcome else 1)
    if len(sys.argv) != 3:
        sys.exit("usage: start_update.py APP ZIP")
    start_updater(sys.argv[1], sys.argv[2])
    # Exit now, or keep running: the updater stops the application either
    # way. How the update went is in the updater's log: the application
    # started again reads it (update_outcome).
