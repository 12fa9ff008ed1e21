// Manual hours in the browser: a logged-on user adds a manual entry through
// the "enterhours" dialog with the date picker, sees the line confirming it,
// finds it in the manual hours list, changes its comment in edit mode and
// deletes it. Then, as the administrator, he opens a staff member's list in
// edit mode and adds an entry for her through "Add New Item", and changes
// his password, each save confirmed by one line on the next page. Called by
// panel_test.js after its logon and logout steps, with its helpers.

"use strict";

const h = require("./panel_helpers");
const { check, expectText, pressOk, valueOf, clickAndLoad } = h;

module.exports = async function runManualHours(ctx) {
  const { page, base, step, admin: user, staff } = ctx;
  const expectConfirmation = async (line) => {
    const lines = await h.confirmations(page);
    check(lines.length === 1 && lines[0] === line, "the confirmation lines are " + JSON.stringify(lines) +
          ", not \"" + line + "\"");
  };
  const listCells = () => h.listCells(page, "td.tdList");
  // Yesterday at 09:00 is always in the past and well inside the 200 days
  // that an entry may reach back.
  const now = new Date();
  const yesterday = new Date(now.getFullYear(), now.getMonth(), now.getDate() - 1);
  const day = h.dateText(yesterday);

  await step("manual hours: log on", () => h.logOn(page, base, user.email, user.password));

  await step("manual hours: add an entry, the date from the date picker", async () => {
    await clickAndLoad(page, page.getByText("Add a time sheet entry", { exact: true }));
    await expectText(page, "Enter Manual Time Sheet Entry");
    await page.click("a[href=\"javascript:NewCalendar(101)\"]");
    await page.waitForSelector(".kx-cal");
    if (yesterday.getMonth() !== now.getMonth()) await page.click(".kx-cal button[title=\"Previous month\"]");
    await page.click(".kx-cal td[data-date=\"" + day + "\"]");
    check(await valueOf(page, "101") === day, "the date picker did not write " + day);
    await h.fill(page, { 102: "09:00:00", 103: "10:30:00", 104: "e2e entry <kept as text>" });
    await pressOk(page, /\/mainpage$/);
    await expectConfirmation("Manual entry of 01:30 on " + day + " saved.");
  });

  await step("manual hours: the entry is listed", async () => {
    await clickAndLoad(page, page.getByText("Edit time sheet entries", { exact: true }));
    await h.fill(page, { startdate: day, enddate: day });
    await clickAndLoad(page, page.locator("input[type=submit][value=\"  Search  \"]"));
    await clickAndLoad(page, page.locator("#editmode", { hasText: "View Mode" }));
    const cells = await listCells();
    const expected = [day, "09:00:00", "10:30:00", "01:30:00", "Working", "e2e entry <kept as text>"];
    h.expectSame(cells, expected, "the list");
  });

  await step("manual hours: change the comment in edit mode", async () => {
    await clickAndLoad(page, page.locator("#editmode", { hasText: "Edit Mode" }));
    check(await page.locator("#btnDelete").isDisabled(), "Delete is enabled with no row ticked");
    await page.fill("input[name=inputcomment0]", "e2e entry, edited");
    await clickAndLoad(page, page.locator("input[type=submit][value=\"Apply Changes\"]"));
    check(await valueOf(page, "inputcomment0") === "e2e entry, edited", "the changed comment was not kept");
    check(await valueOf(page, "inputtimeend0") === "10:30:00", "the entry's times changed");
  });

  await step("manual hours: delete the entry", async () => {
    await page.check("input[name=check0]");
    check(!(await page.locator("#btnDelete").isDisabled()), "Delete stays disabled with a row ticked");
    await clickAndLoad(page, page.locator("#btnDelete"));
    await expectText(page, "There are no items in this list", "the manual hours list");
  });

  const staffList = base + "viewmanual?seluser=" + encodeURIComponent(staff.email) + "&startdate=" + day +
      "&enddate=" + day + "&edit=true";

  await step("manual hours: the administrator opens a staff member's list in edit mode", async () => {
    await h.open(page, staffList, "Manually Entered Work Hours");
    check(await valueOf(page, "userselect") === staff.email, "the list is not " + staff.email + "'s");
    check((await h.confirmations(page)).length === 0, "a confirmation shows on a page that follows no save");
  });

  await step("manual hours: Add New Item opens the dialog for her", async () => {
    await clickAndLoad(page, page.locator("input[type=button][value=\"Add New Item\"]"));
    await expectText(page, "Enter Manual Time Sheet Entry for " + staff.name);
    await h.fill(page, { 101: day, 102: "13:00:00", 103: "14:15:00", 104: "safety training" });
  }, { phone: true });

  await step("manual hours: saved, confirmed, listed in her list", async () => {
    await pressOk(page, /\/viewmanual/);
    await expectConfirmation("Manual entry of 01:15 on " + day + " for " + staff.name + " saved.");
    check(await valueOf(page, "userselect") === staff.email, "the list after the save is not " + staff.email + "'s");
    const cells = await listCells();
    check(cells.includes("13:00:00") && cells.includes("14:15:00") && cells.includes("01:15:00"),
          "her list shows " + JSON.stringify(cells));
  }, { phone: true });

  await step("manual hours: the confirmation is gone on reload", async () => {
    await page.reload({ waitUntil: "load" });
    check((await h.confirmations(page)).length === 0, "the confirmation shows again on reload");
  });

  const changePassword = async (from, to) => {
    await h.open(page, base + "mainpage");
    await clickAndLoad(page, page.getByText("Change my password", { exact: true }));
    await h.fill(page, { 101: from, 102: to, 103: to });
    await pressOk(page, /\/mainpage$/);
    await expectConfirmation("Your password was changed.");
  };

  await step("password: a change is confirmed on the main page",
             () => changePassword(user.password, user.password + "-new"), { phone: true });
  await step("password: changed back", () => changePassword(user.password + "-new", user.password));
};
