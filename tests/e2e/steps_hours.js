// The hours pages in the browser (called by panel_test.js once the wizard
// and the logon steps have run): a staff member's station reports activity
// through the station simulator, the staff member's manager logs on, opens
// the time sheet from the main page (today's), the day's time sheet with its
// picture, the week's work-hours report, downloads the report as CSV, and
// picks weeks from the date-range menu on a table of days.

"use strict";

const fs = require("fs");
const path = require("path");
const h = require("./panel_helpers");
const { check, expectText } = h;

module.exports = async function runHoursSteps(ctx) {
  const { page, base, step, admin } = ctx;
  const today = h.dateText(new Date());
  let staff = null;

  await step("a station reports a staff member's activity", async () => {
    // A user made without a manager gets the last administrator as manager.
    staff = await h.simulatorUser(ctx, "hours-users.txt");
    // Twenty minutes of work just passed, inside fifty minutes of private use.
    await h.runStation(ctx, staff, ["activity WINWORD.EXE \"Quarterly report\" 1200 40 12",
                                    "activity solitaire.exe Solitaire 3000 10 5 private", "wait 1"]);
  });

  await step("the manager logs on", () => h.logOn(page, base, admin.email, admin.password));

  await step("the time sheet from the main page shows today", async () => {
    await h.clickAndLoad(page, page.getByText("Time sheet", { exact: true }), /\/timesheet$/);
    const shown = await page.locator("#dateinput").inputValue();
    check(shown === today, "the time sheet opened without a day shows \"" + shown + "\", not " + today);
    await expectText(page, "Total Worked Hours");
  }, { phone: true });

  await step("time sheet shows the day as a picture and a table", async () => {
    await h.open(page, base + "timesheet?seluser=" + encodeURIComponent(staff.email) + "&date=" + today,
                 "Total Worked Hours");
    const picture = page.locator("svg.timeline");
    check(await picture.count() === 1 && await picture.isVisible(), "the time sheet shows no picture of the day");
    const box = await picture.boundingBox();
    check(box && box.width > 600 && box.height > 20, "the picture of the day is too small: " + JSON.stringify(box));
    const bars = await page.$$eval("svg.timeline rect title", (titles) => titles.map((t) => t.textContent));
    check(bars.some((t) => /^active /.test(t)) && bars.some((t) => /^private /.test(t)),
          "the picture has no active and private bars: " + JSON.stringify(bars));
    check(await page.locator("#\\31 10 a", { hasText: "active" }).count() >= 1, "the table has no active period");
  });

  await step("work-hours report of the week", async () => {
    const week = h.thisWeek();
    await h.open(page, base + "viewhours?seluser=" + encodeURIComponent(staff.email) + "&startdate=" + week.from +
                 "&enddate=" + week.to, "Total 1 days");
    await expectText(page, today);
    // The week's balance: a new user owes the default forty hours.
    const balance = await page.locator("tr", { hasText: "Total 1 days" }).locator("td").allInnerTexts();
    check(balance[balance.length - 2] === "40:00" && /^-3\d:\d\d$/.test(balance[balance.length - 1]),
          "the week's required time and balance are " + JSON.stringify(balance.slice(-2)));
    check(await page.locator("a", { hasText: "Export CSV" }).count() === 1, "the report has no Export CSV link");
  });

  await step("work-hours report downloads as CSV", async () => {
    const [download] = await Promise.all([page.waitForEvent("download"),
                                          page.locator("a", { hasText: "Export CSV" }).click()]);
    const file = path.join(ctx.temp, "workhours.csv");
    await download.saveAs(file);
    const lines = fs.readFileSync(file, "utf8").split("\r\n");
    check(lines[0] === "Name,Email,Date,Time Start,Time End,Break(s) minutes,Break(s),Active minutes,Active," +
          "Idle minutes,Idle,Manual minutes,Manual,Total minutes,Total,Required minutes,Required," +
          "Difference minutes,Difference", "the CSV header is " + lines[0]);
    const day = lines.find((line) => line.includes("," + staff.email + "," + today + ","));
    check(day !== undefined, "the CSV has no row of " + today + ":\n" + lines.join("\n"));
    const active = Number(day.split(",")[7]);
    check(active >= 19 && active <= 20, "the CSV row's active minutes are " + active + ": " + day);
    check(/^workhours_.*\.csv$/.test(download.suggestedFilename()), "the download is named " +
          download.suggestedFilename());
  });

  // The menu computes its ranges in the browser, so the page's clock is set
  // to each day of the table in turn; weeks run Monday to Sunday, as the
  // system's last week does.
  await step("the date-range menu's weeks run Monday to Sunday", async () => {
    const weeks = [
      // today (local noon)   This Week                  Last Week
      ["2026-03-08", "2026-03-02..2026-03-08", "2026-02-23..2026-03-01"],  // a Sunday
      ["2026-03-09", "2026-03-09..2026-03-15", "2026-03-02..2026-03-08"],  // a Monday
      ["2026-03-11", "2026-03-09..2026-03-15", "2026-03-02..2026-03-08"],  // mid-week
      ["2026-04-01", "2026-03-30..2026-04-05", "2026-03-23..2026-03-29"],  // across a month end
      ["2026-12-31", "2026-12-28..2027-01-03", "2026-12-21..2026-12-27"],  // across a year end
      ["2027-01-03", "2026-12-28..2027-01-03", "2026-12-21..2026-12-27"],  // its Sunday
    ];
    const setClock = (day) => page.evaluate((day) => {
      const Real = window.kxRealDate || (window.kxRealDate = Date);
      const fixed = day ? new Real(day + "T12:00:00").getTime() : null;
      window.Date = fixed === null ? Real : class extends Real {
        constructor(...args) { if (args.length) super(...args); else super(fixed); }
        static now() { return fixed; }
      };
    }, day);
    const choose = async (label) => {
      await page.selectOption("#daterange", { label: "Date Range" });
      await page.selectOption("#daterange", { label });
      return (await page.locator("#startdate").inputValue()) + ".." + (await page.locator("#enddate").inputValue());
    };
    for (const [day, thisWeek, lastWeek] of weeks) {
      await setClock(day);
      const shown = [await choose("This Week"), await choose("Last Week")];
      check(shown[0] === thisWeek && shown[1] === lastWeek, "on " + day + " This Week and Last Week are " +
            shown.join(" and ") + ", not " + thisWeek + " and " + lastWeek);
    }
    await setClock(null);
    await choose("This Week");
  }, { phone: true });
};
