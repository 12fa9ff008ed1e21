// Small helpers of the browser steps: the registry in the data root the
// test owns, plain GETs of addresses that a calendar program (not a
// browser) would fetch, and logging a person on and off through the pages.

"use strict";

const fs = require("fs");
const http = require("http");
const path = require("path");

// The registry record of `email` gets a password line in front (a key read
// first wins), so that a user the wizard added can log on.
function setPassword(root, email, password) {
  const folder = path.join(root, "kavrixserver", "etc", "userslist_");
  for (const name of fs.readdirSync(folder)) {
    const file = path.join(folder, name);
    if (!fs.statSync(file).isFile()) continue;
    const text = fs.readFileSync(file, "latin1");
    if (text.toLowerCase().includes("email=" + email.toLowerCase() + "\r\n")) {
      fs.writeFileSync(file, "password=" + password + "\r\npasswordreq=0\r\n" + text, "latin1");
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

module.exports = { setPassword, fetchText, logOn, logOut };
