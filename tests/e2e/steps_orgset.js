// Organisation settings in the browser: the administrator switches the leave
// module off on the configuration page and sees the main page lose its leave
// links (and switches it back on), then adds a team, a leave type and a
// public holiday through their dialogs and deletes each from its list.
// Saving the configuration unchanged leaves last week's hours as they were.
// Called once by panel_test.js, with its helpers.

"use strict";

const fs = require("fs");
const path = require("path");
const h = require("./panel_helpers");
const { check, expectText, pressOk, clickAndLoad, dateText } = h;

// Two periods of work a week ago with nine idle minutes between them: the
// idle tolerance decides whether those minutes are idle or a break.
function writeLastWeek(root, email) {
  const day = new Date();
  day.setDate(day.getDate() - 7);
  const folder = path.join(root, "kavrixserver", "etc", "Archive", email.toLowerCase().replace(/["*./:<>?\\|]/g, ""));
  fs.mkdirSync(folder, { recursive: true });
  fs.writeFileSync(path.join(folder, dateText(day) + "_activity.csv"),
                   "09:00:00,600,0,10,2,\"WINWORD.EXE\",\"Report\"\r\n" +
                   "09:19:00,600,0,10,2,\"WINWORD.EXE\",\"Report\"\r\n");
  return dateText(day);
}

module.exports = async function runOrgSettings(ctx) {
  const { page, base, step, admin, root } = ctx;
  const listCells = () => h.listCells(page);
  const mainPageLink = async (text) => {
    await h.open(page, base + "mainpage");
    await clickAndLoad(page, page.getByText(text, { exact: true }));
  };

  const setLeaveModule = async (on) => {
    await clickAndLoad(page, page.getByText("Change system configuration", { exact: true }), null, "System Configuration");
    const box = page.locator("input[type=checkbox][name=\"118\"]");
    if (on) await box.check(); else await box.uncheck();
    await pressOk(page, /\/mainpage$/);
  };

  await step("settings: log on as the administrator", async () => {
    await h.logOn(page, base, admin.email, admin.password);
    await expectText(page, "Add a leave entry");
  });

  await step("settings: the leave module off removes the leave links", async () => {
    await setLeaveModule(false);
    const body = await h.bodyText(page);
    check(!body.includes("Add a leave entry") && !body.includes("Manage staff leave report"),
          "the main page still offers leave with the leave module off:\n" + body.slice(0, 1500));
  });

  await step("settings: the leave module on brings them back", async () => {
    await setLeaveModule(true);
    await expectText(page, "Add a leave entry");
  });

  await step("settings: saved unchanged, last week's hours stay as they were", async () => {
    const day = writeLastWeek(root, admin.email);
    const report = base + "viewhours?seluser=" + encodeURIComponent(admin.email) + "&startdate=" + day +
                   "&enddate=" + day;
    const reportText = async () => {
      await h.open(page, report, "Total 1 days");
      return h.bodyText(page);
    };
    const before = await reportText();
    await mainPageLink("Change system configuration");
    const tolerance = await page.locator("input[name=\"107\"]").inputValue();
    check(tolerance === "8", "the page shows " + tolerance + " idle minutes, not the 8 the hours use");
    await pressOk(page, /\/mainpage$/);
    const after = await reportText();
    check(after === before, "saving the configuration changed last week's hours:\n" + before + "\n---\n" + after);
  }, { phone: true });

  // Adds through the dialog, typing key by key so that the input's key
  // filter runs, then ticks the new row and deletes it.
  const addAndDelete = async (what) => {
    await mainPageLink(what.link);
    await expectText(page, what.listTitle);
    await clickAndLoad(page, page.locator("input[type=button][value=\"" + what.addLabel + "\"]"), null, what.dialogTitle);
    await what.fill();
    await pressOk(page, new RegExp("/" + what.listPage + "$"));
    check((await listCells()).includes(what.shown),
          what.listPage + " does not list \"" + what.shown + "\": " + JSON.stringify(await listCells()));
    const remove = page.locator("input[type=submit][value=\"" + what.deleteLabel + "\"]");
    check(await remove.isDisabled(), "the delete button is enabled before a row is ticked");
    await page.locator("input[type=checkbox][value=\"" + what.value + "\"]").check();
    check(!(await remove.isDisabled()), "ticking a row did not enable the delete button");
    await clickAndLoad(page, remove);
    check(!(await listCells()).includes(what.shown), what.listPage + " still lists \"" + what.shown + "\"");
    await clickAndLoad(page, page.locator("input[type=button][value=\"  Return  \"]"));
  };

  await step("settings: add and delete a team", async () => {
    await addAndDelete({
      link: "Edit team list", listTitle: "Team List", addLabel: "Add New Team", dialogTitle: "Add New Team",
      listPage: "teamlist", deleteLabel: "Delete Team", shown: "E2E-Team_1", value: "E2E-Team_1",
      // The filter drops the space, the comma and the angle brackets.
      fill: async () => page.locator("input[name=\"101\"]").pressSequentially("E2E-<Te am>,_1"),
    });
  });

  await step("settings: add and delete a leave type", async () => {
    await addAndDelete({
      link: "Edit leave types", listTitle: "Leave Type List", addLabel: "Add New Leave Type",
      dialogTitle: "Add New Leave Type", listPage: "leavetypelist", deleteLabel: "Delete Leave Type",
      shown: "Long service", value: "Long service",
      fill: async () => page.locator("input[name=\"101\"]").pressSequentially("Long service"),
    });
  });

  await step("settings: add and delete a public holiday", async () => {
    await addAndDelete({
      link: "Set public holidays", listTitle: "Holidays", addLabel: "Add Holiday", dialogTitle: "Add Public Holiday",
      listPage: "holidaylist", deleteLabel: "Delete Holiday", shown: "Founders <day>",
      value: "2030-12-25~2030-12-26",
      fill: () => h.fill(page, { 101: "2030-12-25", 102: "2030-12-26", 103: "Founders <day>" }),
    });
  });
};
