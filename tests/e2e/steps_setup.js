// A setup wizard interrupted and finished later, on a second fresh server so
// that the main run's data and sessions stay as they are: the administrator
// is created, the browser "closes" (its session cookie is dropped), the next
// visit finds the wizard switched off, and after logging on the main page
// offers "Finish the setup", which leads through the modules question, the
// first users (with their work days) and the finish.
// The second server is reached at 127.0.0.2, whose cookies are its own.

"use strict";

const path = require("path");
const { freePort, waitForPort, startServer } = require("./server_run");
const h = require("./panel_helpers");
const { check, expectText, pressOk } = h;

module.exports = async function runSetupResume(ctx) {
  const { page, step, limitMs } = ctx;
  const admin = { email: "owner@example.com", name: "Olga Owner", password: "Later-Finish-3" };
  const folder = path.join(ctx.temp, "second-server");
  const port = await freePort();
  const base = "http://127.0.0.2:" + port + "/";
  const server = startServer(ctx.program, path.join(folder, "root"), path.join(folder, "home"), port,
                             path.join(folder, "server-stderr.log"), limitMs);
  try {
    await server.running;
    await waitForPort(port, Date.now() + limitMs, "127.0.0.2");

    await step("setup: step 1 on a second fresh server, then the browser closes", async () => {
      await h.open(page, base, "Setup Wizard: Step 1 of 3");
      await h.fill(page, { 101: admin.email, 102: admin.name, 103: admin.password, 104: admin.password });
      await pressOk(page, /\/wizardconfirmemail$/);
      // Only this server's session goes; the main run's (at 127.0.0.1) stays.
      const cookies = await page.context().cookies();
      await page.context().clearCookies();
      await page.context().addCookies(cookies.filter((c) => c.domain !== "127.0.0.2"));
    });

    await step("setup: the next visit finds the wizard off, the main page offers the rest", async () => {
      await h.open(page, base, "Can not run setup wizard when admin users still exist");
      await h.logOn(page, base, admin.email, admin.password);
      await expectText(page, "Finish the setup");
    }, { phone: true });

    await step("setup: finishing leads through the modules question", async () => {
      await h.clickAndLoad(page, page.getByText("Check that KavrixServer can send email", { exact: true }),
                           /\/wizardconfirmemail$/);
      await page.check("input[type=radio][value=\"102\"]");
      await pressOk(page, /\/wizardsmtpsetting$/, "SMTP Settings");
      await pressOk(page, /\/wizardkavrixusage$/);
      await pressOk(page, /\/wizardaddusers$/, "Work days of these users:");
    }, { phone: true });

    await step("setup: the first users with their work days", async () => {
      await h.fill(page, { 101: "later.user@example.com", 201: "Later User" });
      await page.uncheck("input[type=checkbox][name=\"705\"]");
      await pressOk(page, /\/wizardfinish$/, "Initial Setup: Finished!");
      await pressOk(page, /\/mainpage$/, "Logged on as " + admin.email);
    });
  } finally {
    if (server.child.exitCode === null && server.child.signalCode === null) {
      server.child.kill("SIGTERM");
      const end = await server.exited;
      check(end.code === 0, "the second server ended with " + JSON.stringify(end));
    }
  }
};
