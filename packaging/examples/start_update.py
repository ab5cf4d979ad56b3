"""Starting the updater from a Python application: update (update.exe on
Windows) lies beside this file, in the installation. It is started detached,
on Windows out of the application's job and on Linux in a session of its
own, so that nothing that ends the application ends it.
Run: python3 start_update.py APP ZIP"""
import os
import subprocess
import sys


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


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: start_update.py APP ZIP")
    start_updater(sys.argv[1], sys.argv[2])
    # Exit now, or keep running: the updater stops the application either
    # way. How the update went is in the updater's log.
