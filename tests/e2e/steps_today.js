// The main page's "Today" panel in the browser (called by panel_test.js
// after the monitoring steps): a station of a new user connects through the
// simulator and reports work; the administrator's panel shows that user in
// now, the panel's own script rebuilds the same rows from today.json, and
// the staff member sees his own part.

"use strict";

const h = require("./panel_helpers");
const { check, expectText } = h;

// The text of the panel's row of `email`, or "" while it has none.
function rowText(page, email) {
  return page.evaluate((address) => {
    const link = Array.from(document.querySelectorAll("#todaybody a")).find((a) =>
      a.getAttribute("href") === "timesheet?seluser=" + encodeURIComponent(address));
    return link ? link.closest("tr").innerText.replace(/\s+/g, " ").trim() : "";
  }, email);
}

module.exports = async function runTodaySteps(ctx) {
  const { page, base, step, admin, staff } = ctx;
  let station = null;

  await step("the Today panel shows a connected station's user in now", async () => {
    // The station stays connected while the panel is looked at.
    station = h.runStation(ctx, staff, ["activity WINWORD.EXE \"Plan <b>& notes</b>\" 900 40 12",
                                        "presence active Office WINWORD.EXE \"Plan <b>& notes</b>\" 555", "wait 45"],
                           ctx.limitMs + 45000);
    await h.switchUser(page, base, admin.email, admin.password);
    let row = "";
    for (const end = Date.now() + ctx.limitMs; Date.now() < end;) {
      row = await rowText(page, staff.email);
      if (/In now/.test(row)) break;
      await page.reload({ waitUntil: "load" });
    }
    check(/In now/.test(row), "the panel's row of the station's user reads \"" + row + "\"");
  }, { phone: true });

  await step("the Today panel refreshes itself from today.json", async () => {
    const before = await rowText(page, staff.email);
    // The script builds the panel again every 15 seconds; the old nodes go.
    await page.evaluate(() => { document.querySelector("#todaybody .todayown").dataset.old = "1"; });
    await page.waitForFunction(() => {
      const own = document.querySelector("#todaybody .todayown");
      return own && !own.dataset.old;
    }, null, { timeout: 20000 });
    const after = await rowText(page, staff.email);
    check(after.replace(/\d+:\d\d/g, "") === before.replace(/\d+:\d\d/g, ""),
          "the refreshed row differs: \"" + before + "\" then \"" + after + "\"");
  });

  await step("a staff member's Today panel shows only his own part", async () => {
    await h.switchUser(page, base, staff.email, staff.password);
    await expectText(page, "My hours today:");
    await station;
  }, { phone: true });
};
