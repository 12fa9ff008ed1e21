// Links made elsewhere, and the other browsers of a user whose password
// changes: a link carrying the details form's fields and its OK button only
// shows the form; a logon link carrying an address and a password logs
// nobody on and shows no password; a password changed in one browser logs
// that user off in another, which is left on the page saying so. Called once by
// panel_test.js.

"use strict";

const { setPassword, switchUser } = require("./data_root");

const STAFF_PASSWORD = "Links-Test-4";
const NEW_PASSWORD = "Links-Test-5";

module.exports = async function runSafeLinks(h) {
  const { playwright, chromium, page, base, step, check, expectText, pressOk, admin, staff, root } = h;
  const browser = await playwright.chromium.launch({
    executablePath: chromium, headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run"],
  });
  try {
    const other = await (await browser.newContext()).newPage();
    const details = "userdetail?seluser=" + encodeURIComponent(staff.email);

    await step("links: a link with the details form's fields and OK only shows the form", async () => {
      await switchUser(page, base, admin.email, admin.password);
      await page.goto(base + details + "&101=" + encodeURIComponent(staff.email) +
                      "&102=Mallory&106=on&submit=%20%20OK%20%20", { waitUntil: "load" });
      await expectText(page, staff.email, "the details page opened by the link");
      await page.goto(base + details, { waitUntil: "load" });
      check(!(await page.locator("input[name=\"106\"]").isChecked()), "the link made the user an administrator");
      check(await page.locator("input[name=\"102\"]").inputValue() === staff.name, "the link renamed the user");
    }, { phone: true });

    await step("links: a logon link logs nobody on", async () => {
      const link = base + "logon?101=" + encodeURIComponent(admin.email) + "&102=" +
                   encodeURIComponent(admin.password) + "&submit=Logon";
      await page.goto(base + "logout", { waitUntil: "load" });
      await page.goto(link, { waitUntil: "load" });
      await page.goto(base + "mainpage", { waitUntil: "load" });
      await expectText(page, "Your session is expired", "the main page after the logon link");
      await page.goto(link, { waitUntil: "load" });
      await expectText(page, "Forgot your password?", "the logon page opened by the link");
      check(await page.locator("input[name=\"102\"]").inputValue() === "", "the link's password stands in the form");
    }, { phone: true });

    await step("password: a change in one browser logs the user off in the other", async () => {
      setPassword(root, staff.email, STAFF_PASSWORD);
      await switchUser(page, base, staff.email, STAFF_PASSWORD);
      await switchUser(other, base, staff.email, STAFF_PASSWORD);
      await other.goto(base + "changepassword?onok=mainpage&oncancel=mainpage", { waitUntil: "load" });
      await other.fill("input[name=\"101\"]", STAFF_PASSWORD);
      await other.fill("input[name=\"102\"]", NEW_PASSWORD);
      await other.fill("input[name=\"103\"]", NEW_PASSWORD);
      await pressOk(other, /\/mainpage$/);
      await expectText(other, "Logged on as " + staff.email, "the browser that changed the password");
      await page.reload({ waitUntil: "load" });
      await expectText(page, "Your session is expired", "the other browser after the change");
    }, { phone: true });
  } finally {
    await browser.close();
  }
};
