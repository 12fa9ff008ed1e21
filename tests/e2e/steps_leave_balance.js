// Leave balances and the team leave calendar in the browser: the
// administrator gives the user an allowance on her details page, she reads
// her balance on the leave form (the line follows the dates and the type she
// picks), is told that a long leave exceeds it, and both she and her manager
// open the team leave calendar from the main page; he steps to the next
// month.
//
// Called by panel_test.js after the year-end leave steps, logged out.

"use strict";

const h = require("./panel_helpers");
const { check, pressOk, clickAndLoad } = h;

module.exports = async function runLeaveBalance(ctx) {
  const { page, base, step, admin, staff: user } = ctx;
  const next = new Date().getFullYear() + 1;
  // Three weeks of March next year: more working days than the allowance.
  const from = next + "-03-01";
  const to = next + "-03-19";
  let weekdays = 0;
  for (let d = new Date(from + "T00:00:00Z"); d <= new Date(to + "T00:00:00Z"); d.setUTCDate(d.getUTCDate() + 1)) {
    if (d.getUTCDay() !== 0 && d.getUTCDay() !== 6) weekdays += 1;
  }
  const balanceTakes = (n) => page.waitForFunction(
      ([y, n]) => document.getElementById("leavebalance").textContent.includes("left in " + y + "; this request takes " + n + "."),
      [next, n]);

  await step("balance: the administrator gives the user a leave allowance", async () => {
    await h.logOn(page, base, admin.email, admin.password);
    await h.open(page, base + "userdetail?seluser=" + encodeURIComponent(user.email) +
                 "&onok=mainpage&oncancel=mainpage", "Leave allowance (days a year");
    await h.fill(page, { 701: "5", 702: "1" });
    // The picker buttons are submit buttons too, ahead of OK.
    await clickAndLoad(page, page.locator("input[type=submit][value=\"  OK  \"]").last(), /\/mainpage$/);
  }, { phone: true });

  await step("balance: the leave form's balance follows the dates and the type", async () => {
    await h.switchUser(page, base, user.email, user.password);
    await h.open(page, base + "leaveform?onok=mainpage&oncancel=mainpage");
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    await h.fill(page, { 104: from, 105: to });
    await balanceTakes(weekdays);
    await page.selectOption("select[name=\"103\"]", { label: "sick" });
    await balanceTakes(0);
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    await balanceTakes(weekdays);
  }, { phone: true });

  await step("balance: a request over the balance is sent and says so", async () => {
    await page.fill("input[name=\"106\"]", "Long spring trip");
    await pressOk(page, /\/mainpage$/, "It exceeds the balance of " + next + " by");
  }, { phone: true });

  await step("balance: the team leave calendar opens from the main page", async () => {
    await clickAndLoad(page, page.locator("a", { hasText: "Team leave calendar" }), /\/teamcalendar$/,
                       "Team Leave Calendar");
  }, { phone: true });

  await step("balance: the manager steps the team calendar to the next month", async () => {
    await h.switchUser(page, base, admin.email, admin.password);
    await h.open(page, base + "teamcalendar?month=" + next + "-02");
    await clickAndLoad(page, page.locator("#nextmonth"), null, "March " + next);
    check(await page.locator("#teamcalendar td.kx-pending").count() > 0, "the pending leave is not shown");
  }, { phone: true });

  await step("balance: log out", async () => {
    await h.open(page, base + "mainpage");
    await h.logOut(page);
  });
};
