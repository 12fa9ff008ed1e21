// Organisation settings in the browser: the administrator saves the
// configuration page, then adds a team, a leave type and a public holiday
// through their dialogs and deletes each from its list.
// Called once by panel_test.js, with its helpers.

"use strict";

const h = require("./panel_helpers");
const { check, pressOk, clickAndLoad } = h;

module.exports = async function runOrgSettings(ctx) {
  const { page, base, step, admin } = ctx;
  const mainPageLink = async (text) => {
    await h.open(page, base + "mainpage");
    await clickAndLoad(page, page.getByText(text, { exact: true }));
  };

  await step("settings: the configuration page saved", async () => {
    await h.logOn(page, base, admin.email, admin.password);
    await mainPageLink("Change system configuration");
    await pressOk(page, /\/mainpage$/);
  }, { phone: true });

  // Adds through the dialog, typing key by key so that the input's key
  // filter runs, then ticks the new row and deletes it.
  const addAndDelete = async (what) => {
    await mainPageLink(what.link);
    await clickAndLoad(page, page.locator("input[type=button][value=\"" + what.addLabel + "\"]"));
    await what.fill();
    await pressOk(page, new RegExp("/" + what.listPage + "$"));
    check((await h.listCells(page)).includes(what.shown),
          what.listPage + " does not list \"" + what.shown + "\": " + JSON.stringify(await h.listCells(page)));
    const remove = page.locator("input[type=submit][value=\"" + what.deleteLabel + "\"]");
    check(await remove.isDisabled(), "the delete button is enabled before a row is ticked");
    await page.locator("input[type=checkbox][value=\"" + what.value + "\"]").check();
    await clickAndLoad(page, remove);
    check(!(await h.listCells(page)).includes(what.shown), what.listPage + " still lists \"" + what.shown + "\"");
    await clickAndLoad(page, page.locator("input[type=button][value=\"  Return  \"]"));
  };

  await step("settings: add and delete a team", async () => {
    await addAndDelete({
      link: "Edit team list", addLabel: "Add New Team", listPage: "teamlist", deleteLabel: "Delete Team",
      shown: "E2E-Team_1", value: "E2E-Team_1",
      // The filter drops the space, the comma and the angle brackets.
      fill: async () => page.locator("input[name=\"101\"]").pressSequentially("E2E-<Te am>,_1"),
    });
  });

  await step("settings: add and delete a leave type", async () => {
    await addAndDelete({
      link: "Edit leave types", addLabel: "Add New Leave Type", listPage: "leavetypelist",
      deleteLabel: "Delete Leave Type", shown: "Long service", value: "Long service",
      fill: async () => page.locator("input[name=\"101\"]").pressSequentially("Long service"),
    });
  });

  await step("settings: add and delete a public holiday", async () => {
    await addAndDelete({
      link: "Set public holidays", addLabel: "Add Holiday", listPage: "holidaylist", deleteLabel: "Delete Holiday",
      shown: "Founders <day>", value: "2030-12-25~2030-12-26",
      fill: () => h.fill(page, { 101: "2030-12-25", 102: "2030-12-26", 103: "Founders <day>" }),
    });
  });
};
