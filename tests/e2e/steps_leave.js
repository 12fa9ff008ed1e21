// Leave management in the browser: a user applies for three days, her
// manager approves them on the pending page, her leave report shows them
// approved, and her personal calendar address serves the approved leave as
// an iCalendar feed that a real parser reads.
//
// Called by panel_test.js after the manual hours steps, with the helpers of
// that file.

"use strict";

const childProcess = require("child_process");
const h = require("./panel_helpers");
const { check, pressOk, dateText, addDays, clickAndLoad } = h;

// Monday to Wednesday of a week of this year: the week after next, or,
// late in December, a week already past (leave may be recorded afterwards),
// clear of the leave from 29 December that the year-end steps apply for.
function threeWorkDays() {
  const today = new Date();
  today.setHours(12, 0, 0, 0);
  let monday = addDays(today, 14 - ((today.getDay() + 6) % 7));
  const wednesday = addDays(monday, 2);
  if (wednesday.getFullYear() !== today.getFullYear() || (wednesday.getMonth() === 11 && wednesday.getDate() >= 29)) {
    monday = addDays(monday, -28);
  }
  return { from: monday, to: addDays(monday, 2) };
}

// python3-icalendar (from scripts/setup) reads the feed.
function parseWithICalendar(body) {
  const script = "import icalendar,sys\n" + "c=icalendar.Calendar.from_ical(sys.stdin.buffer.read())\n" +
      "for e in c.walk('VEVENT'): print(e.decoded('DTSTART'), e.decoded('DTEND'), e['SUMMARY'])\n";
  return childProcess.execFileSync("/usr/bin/python3", ["-c", script], { input: body }).toString();
}

module.exports = async function runLeave(ctx) {
  const { page, base, step, admin, staff: user } = ctx;
  const days = threeWorkDays();
  const from = dateText(days.from);
  const to = dateText(days.to);
  const year = from.slice(0, 4);

  await step("leave: the user applies for three days", async () => {
    await h.logOn(page, base, user.email, user.password);
    await clickAndLoad(page, page.locator("a", { hasText: "Add a leave entry" }), /\/leaveform/,
                       "Please fill out the leave application form.");
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    await h.fill(page, { 104: from, 105: to, 106: "Family visit" });
    await pressOk(page, /\/mainpage$/, "was sent to Ada Admin for approval.");
  });

  await step("leave: the manager approves it on the pending page", async () => {
    await h.switchUser(page, base, admin.email, admin.password);
    await clickAndLoad(page, page.locator("a", { hasText: "Pending leave requests" }), /\/pendingleaverequests/,
                       from);
    check(await page.locator("#submit_approve").isDisabled(), "Approve is enabled with no row ticked");
    await page.locator("input[name=\"check0\"]").check();
    await clickAndLoad(page, page.locator("#submit_approve"), null, "1 request approved.");
  });

  await step("leave: the user's report shows it approved", async () => {
    await h.switchUser(page, base, user.email, user.password);
    await h.open(page, base + "leavereport?seluser=" + encodeURIComponent(user.email) + "&year=" + year +
                 "&edit=false", "User Leave Report");
    const text = await page.locator("tr[bgcolor]", { hasText: from }).first().innerText();
    check(/Approved/.test(text), "the record row shows: " + text);
  });

  await step("leave: the calendar feed of the approved leave parses", async () => {
    await clickAndLoad(page, page.locator("input[value=\"Create Calendar Address\"]"));
    const href = await page.locator("a#leavecalendar").getAttribute("href");
    const feed = await fetch(base + href);  // no cookie: the token alone
    const type = feed.headers.get("content-type");
    check(feed.status === 200 && /^text\/calendar/.test(type), "the feed answered " + feed.status + " " + type);
    const parsed = parseWithICalendar(Buffer.from(await feed.arrayBuffer()));
    const end = dateText(addDays(days.to, 1));
    check(new RegExp("^" + from + " " + end + " .+ \\(holiday\\)\n$").test(parsed), "icalendar read: " + parsed);
    await h.logOut(page);
  });
};
