// The hours pages in the browser (called by panel_test.js once the wizard
// and the logon steps have run): a staff member's station reports activity
// through the station simulator, the staff member's manager logs on and opens
// the time sheet from the main page (today's), the day's time sheet with its
// picture, the week's work-hours report, downloads the report as CSV, and
// picks weeks from the date-range menu.

"use strict";

const fs = require("fs");
const path = require("path");
const h = require("./panel_helpers");
const { check, expectText } = h;

module.exports = async function runHoursSteps(ctx) {
  const { page, base, step, admin, staff } = ctx;
  const today = h.dateText(new Date());

  await step("a station reports a staff member's activity", async () => {
    // Twenty minutes of work just passed, inside fifty minutes of private use.
    await h.runStation(ctx, staff, ["activity WINWORD.EXE \"Quarterly report\" 1200 40 12",
                                    "activity solitaire.exe Solitaire 3000 10 5 private", "wait 1"]);
  });

  await step("the time sheet from the main page shows today", async () => {
    await h.logOn(page, base, admin.email, admin.password);
    await h.clickAndLoad(page, page.getByText("Time sheet", { exact: true }), /\/timesheet$/, "Total Worked Hours");
    const shown = await page.locator("#dateinput").inputValue();
    check(shown === today, "the time sheet opened without a day shows \"" + shown + "\", not " + today);
  }, { phone: true });

  await step("time sheet shows the day as a picture", async () => {
    await h.open(page, base + "timesheet?seluser=" + encodeURIComponent(staff.email) + "&date=" + today);
    const box = await page.locator("svg.timeline").boundingBox();
    check(box && box.width > 600 && box.height > 20, "the picture of the day is missing or too small: " +
          JSON.stringify(box));
  });

  await step("work-hours report of the week", async () => {
    const monday = h.addDays(new Date(), -((new Date().getDay() + 6) % 7));
    await h.open(page, base + "viewhours?seluser=" + encodeURIComponent(staff.email) + "&startdate=" +
                 h.dateText(monday) + "&enddate=" + h.dateText(h.addDays(monday, 6)), "Total 1 days");
  });

  await step("work-hours report downloads as CSV", async () => {
    const [download] = await Promise.all([page.waitForEvent("download"),
                                          page.locator("a", { hasText: "Export CSV" }).click()]);
    const file = path.join(ctx.temp, "workhours.csv");
    await download.saveAs(file);
    check(/^workhours_.*\.csv$/.test(download.suggestedFilename()), "the download is named " +
          download.suggestedFilename());
    check(fs.readFileSync(file, "utf8").includes("," + staff.email + "," + today + ","),
          "the CSV has no row of " + today);
  });

  // The menu computes its ranges in the browser, so the page's clock is set
  // to each day of the table in turn; weeks run Monday to Sunday, as the
  // system's last week does.
  await step("the date-range menu's weeks run Monday to Sunday", async () => {
    const weeks = [
      // today (local noon)   This Week                  Last Week
      ["2026-03-09", "2026-03-09..2026-03-15", "2026-03-02..2026-03-08"],  // a Monday
      ["2027-01-03", "2026-12-28..2027-01-03", "2026-12-21..2026-12-27"],  // a Sunday, across a year end
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
      h.expectSame([await choose("This Week"), await choose("Last Week")], [thisWeek, lastWeek],
                   "on " + day + " This Week and Last Week");
    }
    await setClock(null);
    await choose("This Week");
  }, { phone: true });
};
