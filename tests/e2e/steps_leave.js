// Leave management in the browser: a user applies for three days (the next
// page confirms whom it went to), her manager approves them on the pending
// page (confirmed too), her leave report shows them approved with the
// totals, and her personal calendar address serves the approved leave as an
// iCalendar feed that a real parser reads.
//
// Called by panel_test.js after the wizard and logon steps, with the data
// root the test owns and the helpers of that file.

"use strict";

const childProcess = require("child_process");
const h = require("./panel_helpers");
const { check, expectText, pressOk, dateText, addDays, clickAndLoad } = h;

const USER_PASSWORD = "Leave-Test-9";

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

// python3-icalendar from Debian reads the feed; without it the feed is
// checked line by line here.
function parseWithICalendar(body) {
  const script = "import icalendar,sys\n" + "c=icalendar.Calendar.from_ical(sys.stdin.buffer.read())\n" +
      "for e in c.walk('VEVENT'): print(e.decoded('DTSTART'), e.decoded('DTEND'), e['SUMMARY'])\n";
  for (const python of ["/usr/bin/python3", "python3"]) {
    try {
      return childProcess.execFileSync(python, ["-c", script], { input: body, stdio: ["pipe", "pipe", "ignore"] })
          .toString();
    } catch (ignored) { /* try the next interpreter */ }
  }
  return null;
}

module.exports = async function runLeave(ctx) {
  const { page, base, step, root, admin, staff: user } = ctx;
  const days = threeWorkDays();
  const from = dateText(days.from);
  const to = dateText(days.to);
  const year = from.slice(0, 4);


  await step("leave: the user applies for three days", async () => {
    h.setPassword(root, user.email, USER_PASSWORD);
    await h.logOn(page, base, user.email, USER_PASSWORD);
    await clickAndLoad(page, page.locator("a", { hasText: "Add a leave entry" }), /\/leaveform/,
                       "Please fill out the leave application form.");
    // Nobody wrote leave types into this installation: the server laid down
    // the defaults when it first started.
    const types = await page.$$eval("select[name=\"103\"] option", (options) => options.map((o) => o.textContent.trim()));
    h.expectSame(types, ["holiday", "sick", "unpaid", "maternity", "other"], "the form's leave types");
    check(await page.locator("input[name=\"101\"]").inputValue() === user.email, "the form is not the user's");
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    await h.fill(page, { 104: from, 105: to, 106: "Family visit" });
    await pressOk(page, /\/mainpage$/);
    const line = await page.locator(".kxconfirm").innerText();
    check(/^Your leave application for \d+(-\d+)? \w{3}( \d{4})?(-\d+ \w{3}( \d{4})?)? was sent to Ada Admin for approval\.$/
        .test(line), "the confirmation reads: " + line);
  });

  await step("leave: the manager sees the request on the pending page", async () => {
    await h.switchUser(page, base, admin.email, admin.password);
    await clickAndLoad(page, page.locator("a", { hasText: "Pending leave requests" }), /\/pendingleaverequests/,
                       "Pending Leave Requests");
    const row = page.locator("tr[bgcolor]", { has: page.locator("input[name=\"check0\"]") });
    const text = await row.innerText();
    check(text.includes(user.name) && text.includes(from) && text.includes(to), "the request row shows: " + text);
    check(await page.locator("#submit_approve").isDisabled(), "Approve is enabled with no row ticked");
  });

  await step("leave: the manager approves it", async () => {
    await page.locator("input[name=\"check0\"]").check();
    check(!(await page.locator("#submit_approve").isDisabled()), "Approve stays disabled with a ticked row");
    await clickAndLoad(page, page.locator("#submit_approve"), null, "There are no items in this list");
    check((await page.locator(".kxconfirm").innerText()) === "1 request approved.", "the approval is not confirmed");
  });

  await step("leave: the user's report shows it approved with the totals", async () => {
    await h.switchUser(page, base, user.email, USER_PASSWORD);
    await h.open(page, base + "leavereport?seluser=" + encodeURIComponent(user.email) + "&year=" + year +
                 "&edit=false", "User Leave Report");
    const row = page.locator("tr[bgcolor]", { hasText: from });
    const text = await row.first().innerText();
    check(/Approved/.test(text) && /\b3\b/.test(text) && text.includes("Family visit"), "the record row shows: " + text);
    const body = await page.evaluate(() => document.body.innerText);
    check(/holiday:\s*3\b/.test(body) && /sick:\s*0\b/.test(body), "the totals read:\n" + body.slice(-400));
  });

  await step("leave: the calendar feed of the approved leave parses", async () => {
    await clickAndLoad(page, page.locator("input[value=\"Create Calendar Address\"]"));
    const href = await page.locator("a#leavecalendar").getAttribute("href");
    check(/^leavecalendar\.ics\?token=[0-9a-f]{32}$/.test(href), "the calendar address is " + href);
    const feed = await h.fetchText(base + href);  // no cookie: the token alone
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
    await h.logOut(page);
  });
};
