// The station simulator as the browser steps run it: to its end, with its
// output; rejects on a non-zero status or after limitMs.

"use strict";

const childProcess = require("child_process");

function runSimulator(simulator, args, env, limitMs) {
  return new Promise((resolve, reject) => {
    const child = childProcess.spawn(simulator, args, { env, stdio: ["ignore", "pipe", "pipe"] });
    let output = "";
    child.stdout.on("data", (chunk) => { output += chunk.toString(); });
    child.stderr.on("data", (chunk) => { output += chunk.toString(); });
    const timer = setTimeout(() => child.kill("SIGKILL"), limitMs);
    child.once("error", (error) => { clearTimeout(timer); reject(error); });
    child.once("exit", (code, signal) => {
      clearTimeout(timer);
      if (code === 0) resolve(output);
      else reject(new Error("kavrixstation-sim " + args.join(" ") + " ended with " + (code === null ? signal : code) +
                            ":\n" + output));
    });
  });
}

module.exports = { runSimulator };
