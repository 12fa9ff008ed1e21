// The shared steps of the browser test: checks that name what a person
// would see, logging on and off through the pages, forms filled and sent,
// extra browsers, and the station simulator run to its end.

"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const path = require("path");

class StepFailure extends Error {}

function check(condition, message) {
  if (!condition) throw new StepFailure(message);
}

function two(n) { return String(n).padStart(2, "0"); }
function dateText(d) { return d.getFullYear() + "-" + two(d.getMonth() + 1) + "-" + two(d.getDate()); }
function addDays(d, n) { const e = new Date(d); e.setDate(e.getDate() + n); return e; }

async function bodyText(page) {
  return page.evaluate(() => document.body ? document.body.innerText : "");
}

async function expectText(page, text, what) {
  const body = await bodyText(page);
  check(body.includes(text), (what || "the page") + " does not show \"" + text + "\"; it shows:\n" + body.slice(0, 1500));
}

function expectSame(actual, expected, what) {
  check(JSON.stringify(actual) === JSON.stringify(expected), what + " is " + JSON.stringify(actual) + ", not " +
        JSON.stringify(expected));
}

// Opens `address` and checks that the page shows `text` when given.
async function open(page, address, text) {
  await page.goto(address, { waitUntil: "load" });
  if (text) await expectText(page, text, address);
}

// Clicks and waits for the page that answers (one whose address matches
// `urlPattern` when given), which must show `text` when given.
async function clickAndLoad(page, locator, urlPattern, text) {
  const loaded = urlPattern ? page.waitForURL(urlPattern, { waitUntil: "load" })
                            : page.waitForNavigation({ waitUntil: "load" });
  await Promise.all([loaded, locator.click()]);
  if (text) await expectText(page, text);
}

// Presses the dialog's first submit button (its OK button) and waits for the
// page that answers: the redirect target, or the same dialog shown again.
async function pressOk(page, urlPattern, text) {
  await clickAndLoad(page, page.locator("input[type=submit][name=submit]").first(), urlPattern, text);
}

// Fills the fields named as the keys of `fields` with their values.
async function fill(page, fields) {
  for (const [name, value] of Object.entries(fields)) await page.fill("[name=\"" + name + "\"]", value);
}

function valueOf(page, name) {
  return page.locator("[name=\"" + name + "\"]").first().inputValue();
}

// The texts of the list's cells in order.
function listCells(page) {
  return page.$$eval("table[id=\"110\"] td", (cells) => cells.map((cell) => cell.innerText.trim()));
}

// The main page of `email`, logged on through the logon page.
async function logOn(page, base, email, password) {
  await page.goto(base + "logon", { waitUntil: "load" });
  await fill(page, { 101: email, 102: password });
  await pressOk(page, /\/mainpage$/, "Logged on as " + email);
}

async function logOut(page, text) {
  await clickAndLoad(page, page.locator("a.toptext", { hasText: "Logout" }).first(), /\/logout/, text);
}

// Whoever is logged on is logged off first.
async function switchUser(page, base, email, password) {
  await page.goto(base + "logout", { waitUntil: "load" });
  await logOn(page, base, email, password);
}

// Runs `body(page, shot, context)` on a page of a browser of its own,
// beside the test's main one. shot(name) saves the page as
// <prefix>-NN-<name>.png in the screenshot folder and fails on the errors
// the page reported meanwhile: script errors, and console errors unless
// `consoleErrors` is false.
async function inOwnBrowser(ctx, prefix, contextOptions, body, consoleErrors = true) {
  const browser = await ctx.playwright.chromium.launch({
    executablePath: ctx.chromium, headless: true, args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run"],
  });
  try {
    const context = await browser.newContext(contextOptions);
    context.setDefaultTimeout(ctx.limitMs);
    const page = await context.newPage();
    const errors = [];
    page.on("pageerror", (error) => errors.push(error.message + " (" + page.url() + ")"));
    page.on("console", (message) => {
      if (consoleErrors && message.type() === "error") errors.push(message.text() + " (" + page.url() + ")");
    });
    let shots = 0;
    const shot = async (name) => {
      shots += 1;
      await page.screenshot({ path: path.join(ctx.shotFolder, prefix + "-" + two(shots) + "-" + name + ".png"), fullPage: true });
      check(errors.length === 0, "the browser reported errors on our pages:\n  " + errors.splice(0).join("\n  "));
    };
    await body(page, shot, context);
  } finally {
    await browser.close();
  }
}

// The station simulator (beside the program) run to its end with `args`;
// resolves to its output, rejects on a non-zero status or after `limitMs`.
function runSimulator(ctx, args, limitMs = ctx.limitMs) {
  const simulator = path.join(path.dirname(ctx.program), "kavrixstation-sim");
  const env = Object.assign({}, process.env, { KAVRIX_ROOT: ctx.root, HOME: ctx.home });
  delete env.DISPLAY;
  return new Promise((resolve, reject) => {
    check(fs.existsSync(simulator), "no station simulator at " + simulator + " (build the target kavrixstation-sim)");
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

// A new user made by the simulator in the registry ({email, password}).
async function simulatorUser(ctx, fileName) {
  const usersFile = path.join(ctx.temp, fileName);
  await runSimulator(ctx, ["--make-users", "1", "--teams", "1", "--users-file", usersFile]);
  const [email, password] = fs.readFileSync(usersFile, "utf8").trim().split(/\s+/);
  return { email, password };
}

// A station of `user` that logs on and runs `commands`; resolves to its
// output once it has ended, after checking that its logon was accepted.
async function runStation(ctx, user, commands, limitMs) {
  const args = ["--port", String(ctx.port), "--user", user.email, "--password", user.password];
  for (const command of commands) args.push("--command", command);
  const output = await runSimulator(ctx, args, limitMs);
  check(/logon result=0/.test(output), "the station's logon failed:\n" + output);
  return output;
}

module.exports = {
  StepFailure, check, dateText, addDays, bodyText, expectText, expectSame, open, clickAndLoad, pressOk, fill,
  valueOf, listCells, logOn, logOut, switchUser, inOwnBrowser, simulatorUser, runStation,
};
