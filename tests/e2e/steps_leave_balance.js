// Leave balances and the team leave calendar in the browser: the
// administrator gives the user an allowance on her details page, she reads
// her balance on the leave form (the line follows the dates she types), is
// told that a long leave exceeds it, her manager sees the overrun on the
// pending page, her leave report shows the year's balance, and both open
// the team leave calendar from the main page and step to the next month.
//
// Called by panel_test.js after the year-end leave steps, logged out.

"use strict";

const h = require("./panel_helpers");
const { check, expectText, pressOk, clickAndLoad } = h;

const PASSWORD = "Balance-Days-9";

module.exports = async function runLeaveBalance(ctx) {
  const { page, base, step, root, admin, staff: user } = ctx;
  const next = new Date().getFullYear() + 1;
  // Three weeks of March next year: more working days than the allowance.
  const from = next + "-03-01";
  const to = next + "-03-19";
  let weekdays = 0;
  let days = 0;
  for (let d = new Date(from + "T00:00:00Z"); d <= new Date(to + "T00:00:00Z"); d.setUTCDate(d.getUTCDate() + 1)) {
    days += 1;
    if (d.getUTCDay() !== 0 && d.getUTCDay() !== 6) weekdays += 1;
  }

  const logon = (email, password) => h.logOn(page, base, email, password);
  // Dialog pages name the link "Logoff": leave from the main page.
  const logout = async () => {
    await h.open(page, base + "mainpage");
    await h.logOut(page);
  };
  const teamCalendar = () => clickAndLoad(page, page.locator("a", { hasText: "Team leave calendar" }), /\/teamcalendar$/);
  const balanceLine = async () => (await page.locator("#leavebalance").innerText()).trim();

  await step("balance: the administrator gives the user a leave allowance", async () => {
    await logon(admin.email, admin.password);
    await h.open(page, base + "userdetail?seluser=" + encodeURIComponent(user.email) +
                 "&onok=mainpage&oncancel=mainpage", "Leave allowance (days a year");
    await h.fill(page, { 701: "5", 702: "1" });
    // The picker buttons are submit buttons too, ahead of OK.
    await clickAndLoad(page, page.locator("input[type=submit][value=\"  OK  \"]").last(), /\/mainpage$/);
    await h.open(page, base + "userdetail?seluser=" + encodeURIComponent(user.email));
    check(await page.inputValue("input[name=\"701\"]") === "5", "the allowance was not kept");
  }, { phone: true });

  await step("balance: the leave form says what is left and follows the dates", async () => {
    await logout();
    h.setPassword(root, user.email, PASSWORD);
    await logon(user.email, PASSWORD);
    await h.open(page, base + "leaveform?onok=mainpage&oncancel=mainpage");
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    const first = await balanceLine();
    check(/^You have -?\d+ of \d+ days? left in \d{4}; this request takes [01]\./.test(first),
          "the form's balance line reads: " + first);
    await h.fill(page, { 104: from, 105: to });
    await page.waitForFunction(
        ([y, n]) => document.getElementById("leavebalance").textContent.includes("left in " + y + "; this request takes " + n + "."),
        [next, weekdays]);
    const line = await balanceLine();
    check(/ It exceeds your balance by \d+ days?\.$/.test(line), "the line does not warn: " + line);
    await page.selectOption("select[name=\"103\"]", { label: "sick" });
    await page.waitForFunction(() => document.getElementById("leavebalance").textContent.includes("takes 0."));
    await page.selectOption("select[name=\"103\"]", { label: "holiday" });
    await page.waitForFunction((n) => document.getElementById("leavebalance").textContent.includes("takes " + n + "."),
                               weekdays);
  }, { phone: true });

  await step("balance: a request over the balance is sent and says so", async () => {
    await page.fill("input[name=\"106\"]", "Long spring trip");
    await pressOk(page, /\/mainpage$/, "It exceeds the balance of " + next + " by");
  }, { phone: true });

  await step("balance: the team leave calendar opens from the main page", async () => {
    await teamCalendar();
    await expectText(page, "Team Leave Calendar");
    const names = await page.locator("#teamcalendar td.kx-name").allInnerTexts();
    check(names.length === 1 && names[0] === user.name, "a plain user sees the rows " + names.join(", "));
  }, { phone: true });

  await step("balance: the manager sees the overrun on the pending page", async () => {
    await h.switchUser(page, base, admin.email, admin.password);
    await h.open(page, base + "pendingleaverequests", "Balance after approval");
    const reasons = page.locator("input[name^=inputreason][value=\"Long spring trip\"]");
    const text = await page.locator("tr[bgcolor]", { has: reasons }).innerText();
    check(new RegExp("left in " + next + ": \\d+ days? over the balance").test(text), "the row shows: " + text);
  }, { phone: true });

  await step("balance: the team calendar shows the pending leave hatched in its month", async () => {
    await h.open(page, base + "mainpage");
    await teamCalendar();
    await h.open(page, base + "teamcalendar?month=" + next + "-02");
    await clickAndLoad(page, page.locator("#nextmonth"), null, "March " + next);
    const names = await page.locator("#teamcalendar td.kx-name").allInnerTexts();
    check(names.includes(user.name) && names.includes(admin.name), "the manager sees the rows " + names.join(", "));
    const row = page.locator("#teamcalendar tr", { has: page.locator("td.kx-name", { hasText: user.name }) });
    const pending = await row.locator("td.kx-pending").count();
    // Every day of the leave, weekends too, so that it reads as one stretch.
    check(pending === days, "the pending leave covers " + pending + " days of the row");
  }, { phone: true });

  await step("balance: the user's leave report shows the year's balance", async () => {
    await h.open(page, base + "leavereport?seluser=" + encodeURIComponent(user.email) + "&year=" + next + "&edit=false");
    const line = (await page.locator("#leavebalance").innerText()).trim();
    check(new RegExp("^Leave balance " + next + ": -?\\d+ of 5 days left \\(allowance 5, carried over 0, taken \\d+\\)\\.$")
        .test(line), "the report's balance reads: " + line);
  }, { phone: true });

  await step("balance: log out", logout);
};
