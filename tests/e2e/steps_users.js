// User administration in the browser: the administrator adds a user, picks
// a manager through the picker, edits the user (Enter on the details form
// saves it), re-sorts the list, resends the start-up instructions, imports
// two users from a CSV file and deletes one. Then a staff member types an
// administrator's details address and gets the panel's message page. Called
// once by panel_test.js.

"use strict";

const fs = require("fs");
const path = require("path");
const h = require("./panel_helpers");
const { check, expectText, pressOk, valueOf, clickAndLoad } = h;

const NEW_USER = "e2e.new@example.com";

module.exports = async function runUsers(ctx) {
  const { page, base, step, admin, staff, temp } = ctx;
  // The last button of a label: the details form starts with an unseen copy
  // of OK that takes Enter.
  const submit = (label) => page.locator("input[type=submit][value=\"" + label + "\"]").last();
  const backFromPicker = /\/userdetail\?returning=1$/;
  const names = () => page.$$eval("#\\31 10 tr", (rows) => rows.slice(1).map((r) => r.cells[1].innerText.trim()));
  // A click on the Name title; resolves to the names once the new list is in.
  const sortByName = async () => {
    const title = page.locator("#\\31 10 a.thList", { hasText: "Name" });
    const href = await title.getAttribute("href");
    await title.click();
    await page.waitForFunction((asked) => location.href.endsWith(asked), href);
    return names();
  };

  await step("users: the administrator opens the staff list", async () => {
    await h.logOn(page, base, admin.email, admin.password);
    await clickAndLoad(page, page.getByText("Manage users", { exact: true }), null, admin.email);
  });

  await step("users: a new user's details", async () => {
    await clickAndLoad(page, page.locator("input[type=button][value=\"Add New Employee\"]"), null, "Add a New User");
    await h.fill(page, { 101: NEW_USER, 102: "Eve <Example>", 108: "" });
  });

  await step("users: a manager picked, the form kept and marked not saved yet", async () => {
    await clickAndLoad(page, submit("Add a Manager"), null, "Select a manager");
    await page.selectOption("select[name=\"101\"]", { label: admin.name + " (" + admin.email + ")" });
    await pressOk(page, backFromPicker, "These changes are not saved yet: press OK to save them.");
    check(await valueOf(page, "108") === admin.email, "the picked manager is not in the form");
  }, { phone: true });

  await step("users: the new user saved", async () => {
    await clickAndLoad(page, submit("  OK  "), null, "Eve <Example>");
  });

  await step("users: the new user edited, Enter saves", async () => {
    await clickAndLoad(page, page.getByRole("link", { name: "Eve <Example>" }), null, "View User Details");
    await page.fill("input[name=\"102\"]", "Eve Renamed");
    // Enter in a field is OK, not the first picker button.
    await Promise.all([page.waitForURL(/\/userlist$/, { waitUntil: "load" }),
                       page.locator("input[name=\"102\"]").press("Enter")]);
    await expectText(page, "Eve Renamed");
  }, { phone: true });

  // The list asks the server for each order and swaps it in without a
  // reload: the tick stays, and so does the button it enabled.
  await step("users: the list re-sorts in place and keeps a ticked row", async () => {
    await page.evaluate(() => { window.kxMarker = "same page"; });
    const resend = page.locator("input[name=submit_pwdresend]");
    check(await resend.isDisabled(), "the resend button is enabled with nothing ticked");
    await page.check("input[type=checkbox][value=\"" + NEW_USER + "\"]");
    const first = await sortByName();
    h.expectSame(await sortByName(), [...first].reverse(), "the names sorted the other way");
    check(await page.evaluate(() => window.kxMarker) === "same page", "sorting reloaded the page");
    check(await page.isChecked("input[value=\"" + NEW_USER + "\"]"), "the ticked row lost its tick");
    check(await page.locator("#\\31 10 tr.kx-ticked").count() === 1, "the ticked row is not highlighted");
    check(!(await resend.isDisabled()), "the resend button is disabled with a ticked row");
  });

  await step("users: start-up instructions sent again", async () => {
    await clickAndLoad(page, page.locator("input[name=submit_pwdresend]"), null, NEW_USER);
  });

  await step("users: two users imported from a CSV file", async () => {
    const file = path.join(temp, "import.csv");
    fs.writeFileSync(file, "bob.csv@example.com,\"Bob Csv\",\"\",\"\",0,0,0,\"\",\"" + admin.email + "\"\r\n" +
                           "cara.csv@example.com,\"Cara Csv\",\"\",\"\",0,1,0,\"\",\"\"\r\n");
    await h.open(page, base + "userlist?category=all");
    await clickAndLoad(page, page.getByText("Import users from a CSV file", { exact: true }));
    await page.setInputFiles("#csvfile", file);
    await page.waitForFunction(() => document.getElementsByName("csv")[0].value.includes("cara.csv"));
    await clickAndLoad(page, submit("Preview"), null, "Bob Csv");
    await clickAndLoad(page, submit("Import"));
    await clickAndLoad(page, page.getByText("Back to the user list", { exact: true }), null, "Cara Csv");
  });

  await step("users: one imported user deleted", async () => {
    await clickAndLoad(page, page.locator("a[href^=\"deleteuser?seluser=cara.csv%40example.com\"]"));
    await pressOk(page, /\/userlist$/);
    check(!(await h.bodyText(page)).includes("Cara Csv"), "the deleted user is still listed");
  });

  await step("users: a staff member's refusal page leads back to the main page", async () => {
    await h.switchUser(page, base, staff.email, staff.password);
    await h.open(page, base + "userdetail?seluser=" + encodeURIComponent(admin.email), "Kavrixserver Message");
    await clickAndLoad(page, submit("Return"), /\/mainpage$/, "Logged on as " + staff.email);
  }, { phone: true });
};
