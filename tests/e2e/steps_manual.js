// Manual hours in the browser: a logged-on user adds a manual entry through
// the "enterhours" dialog with the date picker, finds it in the manual hours
// list, changes its comment in edit mode and deletes it. Then, as the
// administrator, he opens a staff member's list in edit mode and adds an
// entry for her through "Add New Item", and changes his password. Called by
// panel_test.js after its logon and logout steps, with its helpers.

"use strict";

const h = require("./panel_helpers");
const { check, expectText, pressOk, valueOf, clickAndLoad } = h;

module.exports = async function runManualHours(ctx) {
  const { page, base, step, admin: user, staff } = ctx;
  // Yesterday at 09:00 is always in the past and well inside the 200 days
  // that an entry may reach back.
  const now = new Date();
  const yesterday = new Date(now.getFullYear(), now.getMonth(), now.getDate() - 1);
  const day = h.dateText(yesterday);
  const calendar = "a[href=\"javascript:NewCalendar(101)\"]";

  // The date picker steps a month back and forth, writes the picked day and
  // tells the input's "change" listeners once; opened again it marks that
  // day, and Escape closes it.
  await step("manual hours: add an entry, the date from the date picker", async () => {
    await h.logOn(page, base, user.email, user.password);
    await clickAndLoad(page, page.getByText("Add a time sheet entry", { exact: true }), null,
                       "Enter Manual Time Sheet Entry");
    await page.evaluate(() => document.getElementsByName("101")[0].addEventListener("change", () => {
      window.kxChanged = (window.kxChanged || 0) + 1;
    }));
    await page.click(calendar);
    await page.click(".kx-cal button[title=\"Previous month\"]");
    if (yesterday.getMonth() === now.getMonth()) await page.click(".kx-cal button[title=\"Next month\"]");
    await page.click(".kx-cal td[data-date=\"" + day + "\"]");
    check(await valueOf(page, "101") === day, "the date picker did not write " + day);
    check(await page.evaluate(() => window.kxChanged) === 1, "the input's change listener did not run once");
    await page.click(calendar);
    await page.waitForSelector(".kx-cal td.kx-cal-chosen[data-date=\"" + day + "\"]");
    await page.keyboard.press("Escape");
    check(await page.locator(".kx-cal").count() === 0, "Escape did not close the calendar");
    await h.fill(page, { 102: "09:00:00", 103: "10:30:00", 104: "e2e entry" });
    await pressOk(page, /\/mainpage$/, "Manual entry of 01:30 on " + day + " saved.");
  });

  await step("manual hours: the entry is listed", async () => {
    await clickAndLoad(page, page.getByText("Edit time sheet entries", { exact: true }));
    await h.fill(page, { startdate: day, enddate: day });
    await clickAndLoad(page, page.locator("input[type=submit][value=\"  Search  \"]"));
    await clickAndLoad(page, page.locator("#editmode", { hasText: "View Mode" }), null, "e2e entry");
  });

  await step("manual hours: change the comment in edit mode", async () => {
    await clickAndLoad(page, page.locator("#editmode", { hasText: "Edit Mode" }));
    await page.fill("input[name=inputcomment0]", "e2e entry, edited");
    await clickAndLoad(page, page.locator("input[type=submit][value=\"Apply Changes\"]"));
    check(await valueOf(page, "inputcomment0") === "e2e entry, edited", "the changed comment was not kept");
  });

  await step("manual hours: delete the entry", async () => {
    check(await page.locator("#btnDelete").isDisabled(), "Delete is enabled with no row ticked");
    await page.check("input[name=check0]");
    await clickAndLoad(page, page.locator("#btnDelete"), null, "There are no items in this list");
  });

  await step("manual hours: Add New Item on a staff member's list opens the dialog for her", async () => {
    await h.open(page, base + "viewmanual?seluser=" + encodeURIComponent(staff.email) + "&startdate=" + day +
                 "&enddate=" + day + "&edit=true", "Manually Entered Work Hours");
    await clickAndLoad(page, page.locator("input[type=button][value=\"Add New Item\"]"), null,
                       "Enter Manual Time Sheet Entry for ");
    await h.fill(page, { 101: day, 102: "13:00:00", 103: "14:15:00", 104: "safety training" });
  }, { phone: true });

  await step("manual hours: saved into her list", async () => {
    await pressOk(page, /\/viewmanual/, "01:15:00");
    check(await valueOf(page, "userselect") === staff.email, "the list after the save is not " + staff.email + "'s");
  }, { phone: true });

  // The administrator keeps the new password for the later steps.
  await step("password: a change is confirmed on the main page", async () => {
    await h.open(page, base + "mainpage");
    await clickAndLoad(page, page.getByText("Change my password", { exact: true }));
    const changed = user.password + "-new";
    await h.fill(page, { 101: user.password, 102: changed, 103: changed });
    await pressOk(page, /\/mainpage$/, "Your password was changed.");
    user.password = changed;
  }, { phone: true });
};
