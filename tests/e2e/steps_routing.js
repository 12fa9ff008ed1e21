// The routing options in the browser: an administrator stores a domain-name
// mode, then moves the server to a new port and follows the page's link to
// the panel on that port. Called last by panel_test.js (the server
// answers on the new port from then on), with its helpers.

"use strict";

const { freePort, waitForPort } = require("./server_run");
const h = require("./panel_helpers");
const { check, pressOk } = h;

module.exports = async function runRouting(ctx) {
  const { page, base, step, admin: user, limitMs } = ctx;
  const newPort = await freePort();

  await step("routing: a domain name mode is stored", async () => {
    await h.logOn(page, base, user.email, user.password);
    await h.open(page, base + "routing", "Routing Options");
    await page.selectOption("select[name=\"102\"]", { label: "Use Domain Name" });
    await page.fill("input[name=\"103\"]", "office.example");
    await pressOk(page, /\/mainpage$/);
    await h.open(page, base + "routing", "http://office.example:");
  });

  await step("routing: a new port moves the panel there", async () => {
    await page.fill("input[name=\"105\"]", String(newPort));
    await page.check("input[type=radio][value=\"106\"]");
    await pressOk(page, null, "The server now answers on port " + newPort + ".");
    const link = page.locator("a[href$=\":" + newPort + "/mainpage\"]");
    check(await link.count() === 1, "no link to the new address");
    // The listener moves once the answer has gone out.
    await waitForPort(newPort, Date.now() + limitMs);
    await h.clickAndLoad(page, link, new RegExp(":" + newPort + "/mainpage$"), "Logged on as " + user.email);
    // The old port closes as soon as the answer has gone out, so the style
    // sheets that the answer asks for may find it closed.
  }, { expectedErrors: /ERR_CONNECTION_REFUSED \(http:\/\/127\.0\.0\.1:\d+\/(s|print)\.css\)/ });
};
