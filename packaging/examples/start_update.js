// Starting the updater from a Node.js application: update (update.exe on
// Windows) lies beside this file, in the installation. It is started
// detached, on Linux in a session of its own, so that nothing that ends the
// application ends it. Node.js cannot ask Windows to take it out of the
// application's job: an application run in a job that ends its processes
// when closed starts it through a program that can (the C or C# example).
// Started again by the updater, the application learns the outcome.
// Run: node start_update.js APP ZIP
//      node start_update.js    (as the updater starts it again)
"use strict";
const { spawn } = require("child_process");
const fs = require("fs");
const path = require("path");

function startUpdater(exeName, zipFile) {
  const folder = __dirname;
  const updater = path.join(folder, process.platform === "win32" ? "update.exe" : "update");
  // No pipe that could close under it; unref: this process does not wait for it.
  const child = spawn(updater, ["--exeName", exeName, "--zipFile", zipFile, "--dstPath", folder],
                      { detached: true, stdio: "ignore", windowsHide: true });
  child.on("error", (error) => console.error(`${updater} did not start: ${error.message}`));
  child.unref();
}

// True once process `pid` has ended: gone, or on Linux ended and not yet
// reaped by its parent (state Z).
function processEnded(pid) {
  if (process.platform === "linux") {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, "latin1");
      return stat.slice(stat.lastIndexOf(")") + 2, stat.lastIndexOf(")") + 3) === "Z";
    } catch {
      return true;
    }
  }
  try {
    process.kill(pid, 0);
    return false;
  } catch {
    return true;
  }
}

// At start: when the updater started this program again, UPDATER_PID names
// the updater, which is still writing its last lines, and UPDATER_LOG the
// file they go to. Waits for that process to end (a minute at most), then
// resolves to the last line of the file, the run's closing line (line 242
// when the update went well); to null when this program was not started by
// the updater.
async function updateOutcome() {
  const pid = Number(process.env.UPDATER_PID), log = process.env.UPDATER_LOG;
  if (!pid || !log) return null;
  for (let tenths = 0; tenths < 600 && !processEnded(pid); ++tenths) {
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  let lines = [];
  try {
    lines = fs.readFileSync(log, "utf8").split(/\r?\n/).filter((line) => line.trim() !== "");
  } catch {}
  return lines.length > 0 ? lines[lines.length - 1] : "";
}

if (require.main === module && process.argv.length === 2) {
  updateOutcome().then((outcome) => {
    if (outcome === null) {
      console.error("usage: node start_update.js APP ZIP");
      process.exit(2);
    }
    console.log(outcome);
    process.exitCode = outcome.includes("UpGrade/update 242 ") ? 0 : 1;
  });
} else if (require.main === module) {
  if (process.argv.length !== 4) {
    console.error("usage: node start_update.js APP ZIP");
    process.exit(2);
  }
  startUpdater(process.argv[2], process.argv[3]);
  // Exit now, or keep running: the updater stops the application either
  // way. How the update went is in the updater's log: the application
  // started again reads it (updateOutcome).
}

module.exports = { startUpdater, updateOutcome };
