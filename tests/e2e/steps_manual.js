// Manual hours in the browser: a logged-on user adds a manual entry through
// the "enterhours" dialog with the date picker, finds it in the manual hours
// list, changes its comment in edit mode and deletes it. Called by
// panel_test.js after its logon and logout steps, with its helpers.

"use strict";

function two(n) {
  return (n < 10 ? "0" : "") + n;
}

function dateText(day) {
  return day.getFullYear() + "-" + two(day.getMonth() + 1) + "-" + two(day.getDate());
}

async function clickAndLoad(page, locator) {
  await Promise.all([page.waitForNavigation({ waitUntil: "load" }), locator.click()]);
}

// The texts of the list's cells in order.
async function listCells(page) {
  return page.evaluate(() => Array.from(document.querySelectorAll("table[id=\"110\"] td.tdList"))
      .map((cell) => cell.innerText.trim()));
}

module.exports = async function runManualHours(page, base, step, tools) {
  const { check, expectText, pressOk, valueOf, user } = tools;
  // Yesterday at 09:00 is always in the past and well inside the 200 days
  // that an entry may reach back.
  const now = new Date();
  const yesterday = new Date(now.getFullYear(), now.getMonth(), now.getDate() - 1);
  const day = dateText(yesterday);

  await step("manual hours: log on", async () => {
    await page.goto(base + "logon", { waitUntil: "load" });
    await page.fill("input[name=\"101\"]", user.email);
    await page.fill("input[name=\"102\"]", user.password);
    await pressOk(page, /\/mainpage$/);
  });

  await step("manual hours: add an entry, the date from the date picker", async () => {
    await clickAndLoad(page, page.getByText("Add a time sheet entry", { exact: true }));
    await expectText(page, "Enter Manual Time Sheet Entry");
    await page.click("a[href=\"javascript:NewCalendar(101)\"]");
    await page.waitForSelector(".kx-cal");
    if (yesterday.getMonth() !== now.getMonth()) await page.click(".kx-cal button[title=\"Previous month\"]");
    await page.click(".kx-cal td[data-date=\"" + day + "\"]");
    check(await valueOf(page, "101") === day, "the date picker did not write " + day);
    await page.fill("input[name=\"102\"]", "09:00:00");
    await page.fill("input[name=\"103\"]", "10:30:00");
    await page.fill("input[name=\"104\"]", "e2e entry <kept as text>");
    await pressOk(page, /\/mainpage$/);
  });

  await step("manual hours: the entry is listed", async () => {
    await clickAndLoad(page, page.getByText("Edit time sheet entries", { exact: true }));
    await page.fill("input[name=startdate]", day);
    await page.fill("input[name=enddate]", day);
    await clickAndLoad(page, page.locator("input[type=submit][value=\"  Search  \"]"));
    await clickAndLoad(page, page.locator("#editmode", { hasText: "View Mode" }));
    const cells = await listCells(page);
    const expected = [day, "09:00:00", "10:30:00", "01:30:00", "Working", "e2e entry <kept as text>"];
    check(JSON.stringify(cells) === JSON.stringify(expected), "the list shows " + JSON.stringify(cells));
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
};
