// User administration in the browser: the administrator adds a user with
// custom hours and work days, picks a manager and a team through the
// pickers, edits the user, resends the start-up instructions, imports two
// users from a CSV file and deletes one; Enter on the details form saves it.
// Then a staff member types an administrator's details address and gets the
// panel's message page. Called once by panel_test.js.

"use strict";

const fs = require("fs");
const path = require("path");

const h = require("./panel_helpers");
const { check, expectText, pressOk, valueOf, clickAndLoad } = h;

const NEW_USER = "e2e.new@example.com";
const STAFF_PASSWORD = "Users-Test-5";

// A team for the picker, written as the registry writes its records (the
// team pages are not part of this test), after any team already there.
function addTeam(root, name) {
  const etc = path.join(root, "kavrixserver", "etc");
  const list = path.join(etc, "teamlist");
  const text = fs.existsSync(list) ? fs.readFileSync(list, "utf8") : "";
  const match = /maxid=(\d+)/.exec(text);
  const id = match ? Number(match[1]) : 0;
  fs.mkdirSync(path.join(etc, "teamlist_"), { recursive: true });
  fs.writeFileSync(path.join(etc, "teamlist_", String(id)), "name=" + name + "\r\n");
  fs.writeFileSync(list, "maxid=" + (id + 1) + "\r\n");
}

module.exports = async function runUsers(ctx) {
  const { page, base, step, admin, staff, root, temp } = ctx;
  // The last button of a label: the details form starts with an unseen copy
  // of OK that takes Enter.
  const submit = (label) => page.locator("input[type=submit][value=\"" + label + "\"]").last();
  const backFromPicker = /\/userdetail\?returning=1$/;

  await step("users: the administrator opens the staff list", async () => {
    addTeam(root, "Sales");
    await h.logOn(page, base, admin.email, admin.password);
    await clickAndLoad(page, page.getByText("Manage users", { exact: true }));
    await expectText(page, admin.email, "the staff list");
    check(await page.locator("input[type=submit][name=submit_pwdresend]").isDisabled(),
          "the resend button is enabled with nothing ticked");
  });

  await step("users: a new user with custom hours and work days", async () => {
    await clickAndLoad(page, page.locator("input[type=button][value=\"Add New Employee\"]"), null, "Add a New User");
    await h.fill(page, { 101: NEW_USER, 102: "Eve <Example>" });
    await page.check("input[name=rbg2][value=\"211\"]");
    await page.fill("input[name=\"212\"]", "30");
    await page.uncheck("input[name=\"405\"]");
    await h.fill(page, { 501: "09:00:00", 502: "17:00:00", 108: "" });
  });

  await step("users: a manager picked, the form kept and marked not saved yet", async () => {
    await clickAndLoad(page, submit("Add a Manager"), null, "Select a manager");
    await page.selectOption("select[name=\"101\"]", { label: admin.name + " (" + admin.email + ")" });
    await pressOk(page, backFromPicker, "These changes are not saved yet: press OK to save them.");
    await h.expectValues(page, { 102: "Eve <Example>", 212: "30", 108: admin.email });
    check(!(await page.locator("input[name=\"405\"]").isChecked()), "Friday came back ticked");
  }, { phone: true });

  await step("users: a team picked, the new user saved", async () => {
    await clickAndLoad(page, submit("Add to a Team"));
    await page.selectOption("select[name=\"101\"]", { label: "Sales" });
    await pressOk(page, backFromPicker);
    check((await valueOf(page, "104")).endsWith("Sales"), "the team was not added");
    await clickAndLoad(page, submit("  OK  "));
    await expectText(page, "Eve <Example>", "the staff list after adding");
  }, { phone: true });

  await step("users: the new user edited, Enter saves", async () => {
    await clickAndLoad(page, page.getByRole("link", { name: "Eve <Example>" }), null, "View User Details");
    check(await page.locator("input[name=rbg2][value=\"211\"]").isChecked(), "custom hours not stored");
    check(await page.locator("input[name=\"404\"]").isChecked() &&
          !(await page.locator("input[name=\"405\"]").isChecked()), "work days not stored");
    await page.fill("input[name=\"102\"]", "Eve Renamed");
    // Enter in a field is OK, not the first picker button.
    await Promise.all([page.waitForURL(/\/userlist$/, { waitUntil: "load" }),
                       page.locator("input[name=\"102\"]").press("Enter")]);
    await expectText(page, "Eve Renamed");
  }, { phone: true });

  await step("users: start-up instructions sent again", async () => {
    await page.check("input[type=checkbox][value=\"" + NEW_USER + "\"]");
    await clickAndLoad(page, page.locator("input[name=submit_pwdresend]"));
    await expectText(page, "Startup Instructions emails have been sent to the following addresses:");
    await expectText(page, NEW_USER);
  });

  await step("users: two users imported from a CSV file", async () => {
    const file = path.join(temp, "import.csv");
    fs.writeFileSync(file, "bob.csv@example.com,\"Bob Csv\",\"\",\"\",0,0,0,\"Sales\",\"" + admin.email + "\"\r\n" +
                           "cara.csv@example.com,\"Cara Csv\",\"\",\"\",0,1,0,\"\",\"\"\r\n");
    await h.open(page, base + "userlist?category=all");
    await clickAndLoad(page, page.getByText("Import users from a CSV file", { exact: true }));
    await page.setInputFiles("#csvfile", file);
    await page.waitForFunction(() => document.getElementsByName("csv")[0].value.includes("cara.csv"));
    await clickAndLoad(page, submit("Preview"), null, "Bob Csv");
    await clickAndLoad(page, submit("Import"));
    await expectText(page, "Imported: 2 users added, 0 users changed.");
    await clickAndLoad(page, page.getByText("Back to the user list", { exact: true }), null, "Cara Csv");
  });

  await step("users: one imported user deleted", async () => {
    await clickAndLoad(page, page.locator("a[href^=\"deleteuser?seluser=cara.csv%40example.com\"]"));
    await expectText(page, "Are you sure to delete this employee?");
    await pressOk(page, /\/userlist$/);
    const body = await page.evaluate(() => document.body.innerText);
    check(!body.includes("Cara Csv") && body.includes("Bob Csv"), "the list after deleting is wrong");
  });

  await step("users: a staff member typing an administrator's address sees the message page", async () => {
    h.setPassword(root, staff.email, STAFF_PASSWORD);
    await h.switchUser(page, base, staff.email, STAFF_PASSWORD);
    await h.open(page, base + "userdetail?seluser=" + encodeURIComponent(admin.email), "Kavrixserver Message");
    await expectText(page, "Only managers, administrators or HR staff can view the detail of this user!");
  }, { phone: true });

  await step("users: Return on the message page leads to the main page", async () => {
    await clickAndLoad(page, submit("Return"));
    check(/\/mainpage$/.test(page.url()), "Return led to " + page.url());
    await expectText(page, "Logged on as " + staff.email);
  }, { phone: true });
};
