// The hours pages in the browser (called by panel_test.js once the wizard
// and the logon steps have run): a staff member's station reports activity
// through the station simulator, the staff member's manager logs on, opens
// the time sheet from the main page (today's), the day's time sheet with its
// picture, the week's work-hours report, downloads the report as CSV, and
// picks weeks from the date-range menu on a table of days.

"use strict";

const fs = require("fs");
const path = require("path");

const { runSimulator } = require("./simulator");

function two(n) { return (n < 10 ? "0" : "") + n; }
function dateText(d) { return d.getFullYear() + "-" + two(d.getMonth() + 1) + "-" + two(d.getDate()); }

// `ctx`: page, base, step, check, expectText, program (the server binary, the
// simulator lies beside it), root and home (the server's KAVRIX_ROOT and
// HOME), temp (a folder for files of the test), admin ({email, password}),
// limitMs.
module.exports = async function runHoursSteps(ctx) {
  const { page, base, step, check, expectText, admin, limitMs } = ctx;
  const simulator = path.join(path.dirname(ctx.program), "kavrixstation-sim");
  const env = Object.assign({}, process.env, { KAVRIX_ROOT: ctx.root, HOME: ctx.home });
  delete env.DISPLAY;
  let staff = null;
  let today = "";

  await step("a station reports a staff member's activity", async () => {
    check(fs.existsSync(simulator), "no station simulator at " + simulator + " (build the target kavrixstation-sim)");
    // A user made without a manager gets the last administrator as manager.
    const usersFile = path.join(ctx.temp, "hours-users.txt");
    await runSimulator(simulator, ["--make-users", "1", "--teams", "1", "--users-file", usersFile], env, limitMs);
    const [email, password] = fs.readFileSync(usersFile, "utf8").trim().split(/\s+/);
    staff = { email, password };
    // Twenty minutes of work just passed, inside fifty minutes of private use.
    const output = await runSimulator(simulator, [
      "--port", String(ctx.port), "--user", email, "--password", password,
      "--command", "activity WINWORD.EXE \"Quarterly report\" 1200 40 12",
      "--command", "activity solitaire.exe Solitaire 3000 10 5 private",
      "--command", "wait 1"], env, limitMs);
    check(/logon result=0/.test(output), "the station's logon failed:\n" + output);
    today = dateText(new Date());
  });

  await step("the manager logs on", async () => {
    await page.goto(base + "logon", { waitUntil: "load" });
    await page.fill("input[name=\"101\"]", admin.email);
    await page.fill("input[name=\"102\"]", admin.password);
    await Promise.all([page.waitForURL(/\/mainpage$/, { waitUntil: "load" }),
                       page.locator("input[type=submit][name=submit]").first().click()]);
    await expectText(page, "Logged on as " + admin.email);
  });

  await step("the time sheet from the main page shows today", async () => {
    await Promise.all([page.waitForURL(/\/timesheet$/, { waitUntil: "load" }),
                       page.getByText("Time sheet", { exact: true }).click()]);
    const shown = await page.locator("#dateinput").inputValue();
    check(shown === today, "the time sheet opened without a day shows \"" + shown + "\", not " + today);
    await expectText(page, "Total Worked Hours");
  }, { phone: true });

  await step("time sheet shows the day as a picture and a table", async () => {
    await page.goto(base + "timesheet?seluser=" + encodeURIComponent(staff.email) + "&date=" + today,
                    { waitUntil: "load" });
    await expectText(page, "Total Worked Hours");
    const picture = page.locator("svg.timeline");
    check(await picture.count() === 1, "the time sheet has no picture of the day");
    check(await picture.isVisible(), "the picture of the day is not shown");
    const box = await picture.boundingBox();
    check(box && box.width > 600 && box.height > 20, "the picture of the day is too small: " + JSON.stringify(box));
    const bars = await page.$$eval("svg.timeline rect title", (titles) => titles.map((t) => t.textContent));
    check(bars.some((t) => /^active /.test(t)) && bars.some((t) => /^private /.test(t)),
          "the picture has no active and private bars: " + JSON.stringify(bars));
    check(await page.locator("#\\31 10 a", { hasText: "active" }).count() >= 1, "the table has no active period");
  });

  await step("work-hours report of the week", async () => {
    const monday = new Date();
    monday.setDate(monday.getDate() - ((monday.getDay() + 6) % 7));
    const sunday = new Date(monday);
    sunday.setDate(monday.getDate() + 6);
    await page.goto(base + "viewhours?seluser=" + encodeURIComponent(staff.email) + "&startdate=" + dateText(monday) +
                    "&enddate=" + dateText(sunday), { waitUntil: "load" });
    await expectText(page, "Total 1 days");
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
      check(shown[0] === thisWeek && shown[1] === lastWeek,
            "on " + day + " This Week and Last Week are " + shown.join(" and ") + ", not " + thisWeek + " and " +
            lastWeek);
    }
    await setClock(null);
    await choose("This Week");
  }, { phone: true });
};
