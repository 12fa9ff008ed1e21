// Starting the real program for the browser steps: a free loopback port,
// `kavrixserver -foreground` on a data root and home folder of its own, and
// a wait until its listener accepts.

"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const net = require("net");
const path = require("path");

// Drawn below the kernel's ephemeral range (32768 and up): a port handed out
// by listen(0) can be taken by an outgoing connection before the program binds.
async function freePort() {
  for (let attempt = 0; attempt < 200; ++attempt) {
    const port = 20000 + Math.floor(Math.random() * 12768);
    const free = await new Promise((resolve) => {
      const server = net.createServer();
      server.once("error", () => resolve(false));
      server.listen(port, "127.0.0.1", () => server.close(() => resolve(true)));
    });
    if (free) return port;
  }
  throw new Error("no free loopback port");
}

// The listener binds on its own thread just after the program says it runs,
// so the first attempts may be refused.
async function waitForPort(port, deadline, host = "127.0.0.1") {
  for (;;) {
    const open = await new Promise((resolve) => {
      const socket = net.connect(port, host);
      socket.once("connect", () => { socket.destroy(); resolve(true); });
      socket.once("error", () => resolve(false));
    });
    if (open) return;
    if (Date.now() > deadline) throw new Error("port " + port + " never accepted a connection");
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// `running` settles when the program says it runs (or rejects when it ends
// first, or does not say so within `limitMs`); `exited` when it ends.
function startServer(program, root, home, port, logFile, limitMs) {
  const shared = path.join(root, "kavrixserver", "etc");
  fs.mkdirSync(shared, { recursive: true });
  fs.mkdirSync(home, { recursive: true });
  fs.writeFileSync(path.join(shared, "routing"), "localport=" + port + "\r\n");
  const env = Object.assign({}, process.env, { KAVRIX_ROOT: root, HOME: home });
  delete env.DISPLAY;
  const errors = fs.openSync(logFile, "a");
  const child = childProcess.spawn(program, ["-foreground"], { env, stdio: ["ignore", "pipe", errors] });
  fs.closeSync(errors);
  const running = new Promise((resolve, reject) => {
    let text = "";
    const timer = setTimeout(() => reject(new Error("the server did not say it runs")), limitMs);
    child.stdout.on("data", (chunk) => {
      text += chunk.toString();
      if (text.includes("KavrixServer is running")) { clearTimeout(timer); resolve(); }
    });
    child.once("exit", (code, signal) => {
      clearTimeout(timer);
      reject(new Error("the server ended before it ran (exit " + code + ", signal " + signal + "); output: " + text));
    });
    child.once("error", reject);
  });
  const exited = new Promise((resolve) => child.once("exit", (code, signal) => resolve({ code, signal })));
  return { child, running, exited };
}

module.exports = { freePort, waitForPort, startServer };
