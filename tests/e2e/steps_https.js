// HTTPS in the browser: an administrator switches it on in the routing
// options, the panel's plain address then sends the browser to HTTPS, where
// the administrator logs on (the session cookie is "Secure"). The server's own certificate is self-signed, so this browser
// accepts it as a person would after comparing its fingerprint. Called last
// by panel_test.js, after the routing steps, with the main page on the
// panel's current plain address.

"use strict";

const { freePort, waitForPort } = require("./server_run");
const h = require("./panel_helpers");
const { check, pressOk } = h;

module.exports = async function runHttps(ctx) {
  const { page: mainPage, step, admin: user, limitMs } = ctx;
  const plainBase = new URL(mainPage.url()).origin + "/";
  const httpsPort = await freePort();
  const httpsBase = "https://127.0.0.1:" + httpsPort + "/";
  await h.inOwnBrowser(ctx, "https", { ignoreHTTPSErrors: true, viewport: { width: 1280, height: 900 } },
                      async (page, shot, context) => {
    await step("https: an administrator switches HTTPS on in the routing options", async () => {
      await h.logOn(page, plainBase, user.email, user.password);
      await h.open(page, plainBase + "routing", "HTTPS port (0 = off)");
      await page.fill("input[name=\"109\"]", String(httpsPort));
      await pressOk(page, null, "The panel now answers over HTTPS. Continue at " + httpsBase + "mainpage");
      await shot("routing-https-on");
      await waitForPort(httpsPort, Date.now() + limitMs);
    });

    await step("https: the plain address leads to HTTPS, where the administrator logs on", async () => {
      await context.clearCookies();
      await h.open(page, plainBase + "logon");
      check(page.url() === httpsBase + "logon", "the plain address was not sent to HTTPS: " + page.url());
      await h.fill(page, { 101: user.email, 102: user.password });
      await pressOk(page, new RegExp("^" + httpsBase + "mainpage$"), "Logged on as " + user.email);
      const session = (await context.cookies()).find((cookie) => cookie.name === "sess");
      check(session && session.secure && session.httpOnly, "the session cookie is not Secure: " + JSON.stringify(session));
      await shot("mainpage-over-https");
    });
  }, false);
};
