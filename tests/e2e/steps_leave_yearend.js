// Leave over the year end in the browser: a user applies for 29 December
// of this year to 5 January of the next, her manager approves it as one
// request on the pending page, and her leave report shows her calendar
// address with a copy button; replacing it asks first.
//
// Called by panel_test.js after the leave steps, which gave the user
// her calendar address.

"use strict";

const h = require("./panel_helpers");
const { check, pressOk, clickAndLoad } = h;

module.exports = async function runLeaveYearEnd(ctx) {
  const { page, base, step, admin, staff: user } = ctx;
  const year = new Date().getFullYear();
  const reason = page.locator("input[name^=inputreason][value=\"New year trip\"]");

  await step("year end: the user applies for leave from 29 December to 5 January", async () => {
    await h.logOn(page, base, user.email, user.password);
    await h.open(page, base + "leaveform?onok=mainpage&oncancel=mainpage");
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    await h.fill(page, { 104: year + "-12-29", 105: (year + 1) + "-01-05", 106: "New year trip" });
    await pressOk(page, /\/mainpage$/, "Your leave application for 29 Dec " + year + "-5 Jan " + (year + 1));
  }, { phone: true });

  await step("year end: the manager approves it as one request", async () => {
    await h.switchUser(page, base, admin.email, admin.password);
    await h.open(page, base + "pendingleaverequests");
    const name = await reason.getAttribute("name");
    await page.locator("input[name=\"check" + name.slice("inputreason".length) + "\"]").check();
    await clickAndLoad(page, page.locator("#submit_approve"), null, "1 request approved.");
    check(await reason.count() === 0, "the request is still pending");
  }, { phone: true });

  await step("year end: the report's calendar address has a copy button", async () => {
    await h.switchUser(page, base, user.email, user.password);
    await h.open(page, base + "leavereport?seluser=" + encodeURIComponent(user.email) + "&year=" + year +
                 "&edit=false", "Continues in " + (year + 1));
    await page.locator("#copycalendar").click();
    await page.waitForFunction(() => document.getElementById("calendarcopied").textContent === "Copied");
    const feed = await fetch(await page.locator("#leavecalendarurl").inputValue());
    check(feed.status === 200, "the feed at the address answered " + feed.status);
  }, { phone: true });

  await step("year end: replacing the calendar address asks first", async () => {
    const before = await page.locator("#leavecalendarurl").inputValue();
    let asked = "";
    page.once("dialog", (dialog) => { asked = dialog.message(); dialog.dismiss(); });
    await page.locator("#replacecalendar").click();
    check(asked !== "", "replacing the address asked nothing");
    check(await page.locator("#leavecalendarurl").inputValue() === before, "a refused replacement replaced it");
    page.once("dialog", (dialog) => dialog.accept());
    await clickAndLoad(page, page.locator("#replacecalendar"));
    check(await page.locator("#leavecalendarurl").inputValue() !== before, "the address was not replaced");
    await h.logOut(page);
  });
};
