// Leave management in the browser: a user applies for three days, her
// manager approves them on the pending page, her leave report shows them
// approved with the totals, and her personal calendar address serves the
// approved leave as an iCalendar feed that a real parser reads.
//
// Called by panel_test.js after the wizard and logon steps, with the data
// root the test owns and the helpers of that file.

"use strict";

const childProcess = require("child_process");
const fs = require("fs");
const http = require("http");
const path = require("path");

const USER_PASSWORD = "Leave-Test-9";

function pad(n) { return String(n).padStart(2, "0"); }
function dateText(d) { return d.getFullYear() + "-" + pad(d.getMonth() + 1) + "-" + pad(d.getDate()); }
function addDays(d, n) { const e = new Date(d); e.setDate(e.getDate() + n); return e; }

// Monday to Wednesday of a week of this year: the week after next, or,
// late in December, a week already past (leave may be recorded afterwards).
function threeWorkDays() {
  const today = new Date();
  today.setHours(12, 0, 0, 0);
  let monday = addDays(today, 14 - ((today.getDay() + 6) % 7));
  if (addDays(monday, 2).getFullYear() !== today.getFullYear()) monday = addDays(monday, -28);
  return { from: monday, to: addDays(monday, 2) };
}

// The user administration pages are not part of the panel yet, so the
// password of a user the wizard added is written into her registry record
// in the data root this test owns: a key read first wins, so the line goes
// in front.
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

// The default leave types are laid down by the desktop control window when it
// first starts, and the leave type pages are not part of the panel yet; a
// server run in the foreground has none, so the test writes the record list
// "LeaveTypes" itself, as the control window would have.
function addDefaultLeaveTypes(root) {
  const etc = path.join(root, "kavrixserver", "etc");
  const types = ["holiday", "sick", "unpaid", "maternity", "other"];
  fs.mkdirSync(path.join(etc, "leavetypes_"), { recursive: true });
  types.forEach((name, i) => fs.writeFileSync(path.join(etc, "leavetypes_", String(i)), "name=" + name + "\r\n"));
  fs.writeFileSync(path.join(etc, "leavetypes"), "maxid=" + types.length + "\r\n");
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

// python3-icalendar from Debian reads the feed; without it the feed is
// checked line by line here.
function parseWithICalendar(body) {
  const script = "import icalendar,sys\n" +
      "c=icalendar.Calendar.from_ical(sys.stdin.buffer.read())\n" +
      "for e in c.walk('VEVENT'): print(e.decoded('DTSTART'), e.decoded('DTEND'), e['SUMMARY'])\n";
  for (const python of ["/usr/bin/python3", "python3"]) {
    try {
      return childProcess.execFileSync(python, ["-c", script], { input: body, stdio: ["pipe", "pipe", "ignore"] })
          .toString();
    } catch (ignored) { /* try the next interpreter */ }
  }
  return null;
}

async function runLeave(page, base, step, h) {
  const { root, admin, user, check, expectText, pressOk } = h;
  const days = threeWorkDays();
  const from = dateText(days.from);
  const to = dateText(days.to);
  const year = from.slice(0, 4);

  const logon = async (email, password) => {
    await page.goto(base + "logon", { waitUntil: "load" });
    await page.fill("input[name=\"101\"]", email);
    await page.fill("input[name=\"102\"]", password);
    await pressOk(page, /\/mainpage$/);
    await expectText(page, "Logged on as " + email);
  };
  const logout = async () => {
    await Promise.all([page.waitForURL(/\/logout/, { waitUntil: "load" }),
                       page.locator("a.toptext", { hasText: "Logout" }).first().click()]);
  };

  await step("leave: the user applies for three days", async () => {
    setPassword(root, user.email, USER_PASSWORD);
    addDefaultLeaveTypes(root);
    await logon(user.email, USER_PASSWORD);
    await Promise.all([page.waitForURL(/\/leaveform/, { waitUntil: "load" }),
                       page.locator("a", { hasText: "Add a leave entry" }).click()]);
    await expectText(page, "Please fill out the leave application form.");
    check(await page.locator("input[name=\"101\"]").inputValue() === user.email, "the form is not the user's");
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    await page.fill("input[name=\"104\"]", from);
    await page.fill("input[name=\"105\"]", to);
    await page.fill("input[name=\"106\"]", "Family visit");
    await pressOk(page, /\/mainpage$/);
    await logout();
  });

  await step("leave: the manager sees the request on the pending page", async () => {
    await logon(admin.email, admin.password);
    await Promise.all([page.waitForURL(/\/pendingleaverequests/, { waitUntil: "load" }),
                       page.locator("a", { hasText: "Pending leave requests" }).click()]);
    await expectText(page, "Pending Leave Requests");
    const row = page.locator("tr[bgcolor]", { has: page.locator("input[name=\"check0\"]") });
    const text = await row.innerText();
    check(text.includes(user.name) && text.includes(from) && text.includes(to), "the request row shows: " + text);
    check(await page.locator("#submit_approve").isDisabled(), "Approve is enabled with no row ticked");
  });

  await step("leave: the manager approves it", async () => {
    await page.locator("input[name=\"check0\"]").check();
    check(!(await page.locator("#submit_approve").isDisabled()), "Approve stays disabled with a ticked row");
    await Promise.all([page.waitForNavigation({ waitUntil: "load" }), page.locator("#submit_approve").click()]);
    await expectText(page, "There are no items in this list");
    await logout();
  });

  await step("leave: the user's report shows it approved with the totals", async () => {
    await logon(user.email, USER_PASSWORD);
    await page.goto(base + "leavereport?seluser=" + encodeURIComponent(user.email) + "&year=" + year +
                    "&edit=false", { waitUntil: "load" });
    await expectText(page, "User Leave Report");
    const row = page.locator("tr[bgcolor]", { hasText: from });
    const text = await row.first().innerText();
    check(/Approved/.test(text) && /\b3\b/.test(text) && text.includes("Family visit"), "the record row shows: " + text);
    const body = await page.evaluate(() => document.body.innerText);
    check(/holiday:\s*3\b/.test(body) && /sick:\s*0\b/.test(body), "the totals read:\n" + body.slice(-400));
  });

  await step("leave: the calendar feed of the approved leave parses", async () => {
    await Promise.all([page.waitForNavigation({ waitUntil: "load" }),
                       page.locator("input[value=\"Create Calendar Address\"]").click()]);
    const href = await page.locator("a#leavecalendar").getAttribute("href");
    check(/^leavecalendar\.ics\?token=[0-9a-f]{32}$/.test(href), "the calendar address is " + href);
    const feed = await fetchText(base + href);  // no cookie: the token alone
    check(feed.status === 200 && /^text\/calendar/.test(feed.type), "the feed answered " + feed.status + " " + feed.type);
    const end = dateText(addDays(days.to, 1)).replace(/-/g, "");
    const parsed = parseWithICalendar(feed.body);
    if (parsed !== null) {
      check(parsed === from + " " + dateText(addDays(days.to, 1)) + " " + user.name + " (holiday)\n",
            "icalendar read: " + parsed);
    } else {
      check(feed.body.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n") && feed.body.endsWith("END:VCALENDAR\r\n"),
            "the feed is not one calendar");
      check(feed.body.includes("DTSTART;VALUE=DATE:" + from.replace(/-/g, "") + "\r\nDTEND;VALUE=DATE:" + end + "\r\n"),
            "the event's dates are wrong:\n" + feed.body);
      check(feed.body.split("\r\n").every((line) => Buffer.byteLength(line) <= 75), "a line is longer than 75 octets");
    }
    await logout();
  });
}

module.exports = { runLeave, setPassword };
