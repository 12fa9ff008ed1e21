// Small helpers of the browser steps: the registry in the data root the
// test owns, plain GETs of addresses that a calendar program (not a
// browser) would fetch, and logging a person on and off through the pages.

"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const http = require("http");
const path = require("path");

// The registry record of `email` gets this password, and "PasswordReq" 0 so
// that the maintenance thread issues no other. The server may rewrite the
// record at any moment (a logon-details mail retried every minute), so the
// record is changed as the server changes it: under its lock, on the file
// the path names once locked, and replaced whole through a scratch file.
const REPLACE_LOCKED = `
import fcntl, os, sys
path, password = sys.argv[1], sys.argv[2]
while True:
    fd = os.open(path, os.O_RDWR)
    fcntl.flock(fd, fcntl.LOCK_EX)
    if os.fstat(fd).st_ino == os.stat(path).st_ino:
        break
    os.close(fd)
text = os.read(fd, 1 << 20).decode("latin-1")
lines = [l for l in text.split("\\r\\n") if l and not l.lower().startswith(("password=", "passwordreq="))]
lines += ["password=" + password, "passwordreq=0"]
scratch = os.path.join(os.path.dirname(path), "~" + os.path.basename(path))
with open(scratch, "w", encoding="latin-1", newline="") as out:
    out.write("\\r\\n".join(lines) + "\\r\\n")
    out.flush()
    os.fsync(out.fileno())
os.rename(scratch, path)
`;

function setPassword(root, email, password) {
  const folder = path.join(root, "kavrixserver", "etc", "userslist_");
  for (const name of fs.readdirSync(folder)) {
    const file = path.join(folder, name);
    if (!fs.statSync(file).isFile()) continue;
    const text = fs.readFileSync(file, "latin1");
    if (text.toLowerCase().includes("email=" + email.toLowerCase() + "\r\n")) {
      childProcess.execFileSync("python3", ["-c", REPLACE_LOCKED, file, password]);
      return;
    }
  }
  throw new Error("no registry record for " + email);
}

function fetchText(url) {
  return new Promise((resolve, reject) => {
    http.get(url, (response) => {
      const chunks = [];
      response.on("data", (chunk) => chunks.push(chunk));
      response.on("end", () => resolve({ status: response.statusCode, type: response.headers["content-type"],
                                         body: Buffer.concat(chunks).toString("utf8") }));
    }).on("error", reject);
  });
}

// `tools` are panel_test.js's pressOk and expectText.
async function logOn(page, base, tools, email, password) {
  await page.goto(base + "logon", { waitUntil: "load" });
  await page.fill("input[name=\"101\"]", email);
  await page.fill("input[name=\"102\"]", password);
  await tools.pressOk(page, /\/mainpage$/);
  await tools.expectText(page, "Logged on as " + email);
}

async function logOut(page) {
  await Promise.all([page.waitForURL(/\/logout/, { waitUntil: "load" }),
                     page.locator("a.toptext", { hasText: "Logout" }).first().click()]);
}

// Whoever is logged on is logged off first; waits for the main page only.
async function switchUser(page, base, email, password) {
  await page.goto(base + "logout", { waitUntil: "load" });
  await page.goto(base + "logon", { waitUntil: "load" });
  await page.fill("input[name=\"101\"]", email);
  await page.fill("input[name=\"102\"]", password);
  await Promise.all([page.waitForURL(/\/mainpage$/, { waitUntil: "load" }),
                     page.locator("input[type=submit][name=submit]").first().click()]);
}

module.exports = { setPassword, fetchText, logOn, logOut, switchUser };
