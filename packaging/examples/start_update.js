// Starting the updater from a Node.js application: update (update.exe on
// Windows) lies beside this file, in the installation. It is started
// detached, on Linux in a session of its own, so that nothing that ends the
// application ends it. Node.js cannot ask Windows to take it out of the
// application's job: an application run in a job that ends its processes
// when closed starts it through a program that can (the C or C# example).
// Run: node start_update.js APP ZIP
"use strict";
const { spawn } = require("child_process");
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

if (require.main === module) {
  if (process.argv.length !== 4) {
    console.error("usage: node start_update.js APP ZIP");
    process.exit(2);
  }
  startUpdater(process.argv[2], process.argv[3]);
  // Exit now, or keep running: the updater stops the application either
  // way. How the update went is in the updater's log.
}

module.exports = { startUpdater };
