// Leave over the year end in the browser: a user applies for 29 December
// of this year to 5 January of the next, her manager sees it as one request
// on the pending page and approves it, both years' reports show it
// approved and say where it continues, and her leave report shows the
// whole calendar address with a copy button; replacing it asks first.
//
// Called by panel_test.js right after the leave steps, which gave the user
// her leave types and her calendar address.

"use strict";

const h = require("./panel_helpers");
const { check, expectText, pressOk, clickAndLoad } = h;

const PASSWORD = "Year-End-7";

module.exports = async function runLeaveYearEnd(ctx) {
  const { page, base, step, root, admin, staff: user } = ctx;
  const year = new Date().getFullYear();
  const next = year + 1;
  const from = year + "-12-29";
  const to = next + "-01-05";

  const report = (y) => h.open(page, base + "leavereport?seluser=" + encodeURIComponent(user.email) + "&year=" + y +
                               "&edit=false", "User Leave Report");

  await step("year end: the user applies for leave from 29 December to 5 January", async () => {
    h.setPassword(root, user.email, PASSWORD);
    await h.logOn(page, base, user.email, PASSWORD);
    await h.open(page, base + "leaveform?onok=mainpage&oncancel=mainpage");
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    await h.fill(page, { 104: from, 105: to, 106: "New year trip" });
    await pressOk(page, /\/mainpage$/, "Your leave application for 29 Dec " + year + "-5 Jan " + next + " was sent to");
  }, { phone: true });

  await step("year end: the manager sees the request once on the pending page", async () => {
    await h.switchUser(page, base, admin.email, admin.password);
    await h.open(page, base + "pendingleaverequests");
    const rows = page.locator("tr[bgcolor]", { hasText: "New year trip" });
    const reasons = page.locator("input[name^=inputreason][value=\"New year trip\"]");
    check(await reasons.count() === 1, "the request is listed " + await reasons.count() + " times");
    const text = await page.locator("tr[bgcolor]", { has: reasons }).innerText();
    check(text.includes(from) && text.includes(to) && text.includes(from + " ~ " + year + "-12-31 (" + year + ")") &&
          text.includes(next + "-01-01 ~ " + to + " (" + next + ")"), "the request row shows: " + text);
    check(await rows.count() <= 1, "more than one row");
  }, { phone: true });

  await step("year end: the manager approves it as one", async () => {
    const reason = page.locator("input[name^=inputreason][value=\"New year trip\"]");
    const name = await reason.getAttribute("name");
    await page.locator("input[name=\"check" + name.slice("inputreason".length) + "\"]").check();
    await clickAndLoad(page, page.locator("#submit_approve"));
    check(await page.locator("input[name^=inputreason][value=\"New year trip\"]").count() === 0,
          "the request is still pending");
    await expectText(page, "1 request approved.");
  });

  await step("year end: both years' reports show it approved and continued", async () => {
    await h.switchUser(page, base, user.email, PASSWORD);
    await report(year);
    let text = await page.locator("tr[bgcolor]", { hasText: from }).first().innerText();
    check(/Approved/.test(text) && text.includes("Continues in " + next + " until " + to + " (Approved)"),
          "this year's row shows: " + text);
    await report(next);
    text = await page.locator("tr[bgcolor]", { hasText: next + "-01-01" }).first().innerText();
    check(/Approved/.test(text) && text.includes("Began in " + year + " on " + from + " (Approved)"),
          "next year's row shows: " + text);
  }, { phone: true });

  await step("year end: the calendar address is a whole address with a copy button", async () => {
    await report(year);
    const field = page.locator("#leavecalendarurl");
    const address = await field.inputValue();
    check(new RegExp("^" + base.replace(/[.]/g, "\\.") + "leavecalendar\\.ics\\?token=[0-9a-f]{32}$").test(address),
          "the calendar address is " + address);
    check(await field.getAttribute("readonly") !== null, "the address can be edited");
    await page.locator("#copycalendar").click();
    await page.waitForFunction(() => document.getElementById("calendarcopied").textContent === "Copied");
    const feed = await h.fetchText(address);
    check(feed.status === 200 && feed.body.includes("DTSTART;VALUE=DATE:" + year + "1229\r\n"),
          "the feed at the address answered " + feed.status);
  }, { phone: true });

  await step("year end: replacing the calendar address asks first", async () => {
    const before = await page.locator("#leavecalendarurl").inputValue();
    let asked = "";
    page.once("dialog", (dialog) => { asked = dialog.message(); dialog.dismiss(); });
    await page.locator("#replacecalendar").click();
    check(asked.includes("Existing subscriptions will stop working"), "the question was: " + asked);
    check(await page.locator("#leavecalendarurl").inputValue() === before, "a refused replacement replaced it");
    page.once("dialog", (dialog) => dialog.accept());
    await clickAndLoad(page, page.locator("#replacecalendar"));
    const after = await page.locator("#leavecalendarurl").inputValue();
    check(after !== before && /token=[0-9a-f]{32}$/.test(after), "the address after replacing is " + after);
    check((await h.fetchText(before)).status === 403, "the old address still works");
    await h.logOut(page);
  });
};
