// Links made elsewhere, and the other browsers of a user whose password
// changes: a link carrying the details form's fields and its OK button only
// shows the form; a logon link carrying an address and a password logs
// nobody on; a password changed in one browser logs that user off in
// another, which is left on the page saying so. Called once by panel_test.js.

"use strict";

const h = require("./panel_helpers");
const { check, expectText, pressOk, switchUser } = h;

const NEW_PASSWORD = "Links-Test-5";

module.exports = async function runSafeLinks(ctx) {
  const { page, base, step, admin, staff } = ctx;
  await h.inOwnBrowser(ctx, "links", {}, async (other) => {
    const details = "userdetail?seluser=" + encodeURIComponent(staff.email);

    await step("links: a link with the details form's fields and OK only shows the form", async () => {
      await switchUser(page, base, admin.email, admin.password);
      await h.open(page, base + details + "&101=" + encodeURIComponent(staff.email) +
                   "&102=Mallory&106=on&submit=%20%20OK%20%20", staff.email);
      await h.open(page, base + details);
      check(await page.locator("input[name=\"102\"]").inputValue() !== "Mallory", "the link renamed the user");
    }, { phone: true });

    await step("links: a logon link logs nobody on", async () => {
      const link = base + "logon?101=" + encodeURIComponent(admin.email) + "&102=" +
                   encodeURIComponent(admin.password) + "&submit=Logon";
      await h.open(page, base + "logout");
      await h.open(page, link);
      await h.open(page, base + "mainpage", "Your session is expired");
    }, { phone: true });

    await step("password: a change in one browser logs the user off in the other", async () => {
      await switchUser(page, base, staff.email, staff.password);
      await switchUser(other, base, staff.email, staff.password);
      await h.open(other, base + "changepassword?onok=mainpage&oncancel=mainpage");
      await h.fill(other, { 101: staff.password, 102: NEW_PASSWORD, 103: NEW_PASSWORD });
      await pressOk(other, /\/mainpage$/, "Logged on as " + staff.email);
      await page.reload({ waitUntil: "load" });
      await expectText(page, "Your session is expired", "the other browser after the change");
    }, { phone: true });
  });
};
