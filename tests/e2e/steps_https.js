// HTTPS in the browser: an administrator switches it on in the routing
// options, the panel's plain address then sends the browser to HTTPS, where
// the administrator logs on (the session cookie is "Secure") and opens an
// hours report. The server's own certificate is self-signed, so this browser
// accepts it as a person would after comparing its fingerprint. Called last
// by panel_test.js, after the routing steps, with the main page on the
// panel's current plain address.

"use strict";

const path = require("path");
const { freePort, waitForPort } = require("./server_run");

module.exports = async function runHttps(h) {
  const { page: mainPage, playwright, chromium, step, check, expectText, pressOk, user, shotFolder, limitMs } = h;
  const plainBase = new URL(mainPage.url()).origin + "/";
  const httpsPort = await freePort();
  const httpsBase = "https://127.0.0.1:" + httpsPort + "/";
  const browser = await playwright.chromium.launch({
    executablePath: chromium, headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run"],
  });
  try {
    const context = await browser.newContext({ ignoreHTTPSErrors: true, viewport: { width: 1280, height: 900 } });
    context.setDefaultTimeout(limitMs);
    const page = await context.newPage();
    const errors = [];
    page.on("pageerror", (error) => errors.push(error.message + " (" + page.url() + ")"));
    let shots = 0;
    const shot = async (name) => {
      shots += 1;
      await page.screenshot({ path: path.join(shotFolder, "https-" + String(shots).padStart(2, "0") + "-" + name + ".png"),
                              fullPage: true });
      check(errors.length === 0, "the browser reported errors on our pages:\n  " + errors.splice(0).join("\n  "));
    };

    await step("https: an administrator switches HTTPS on in the routing options", async () => {
      await page.goto(plainBase + "logon", { waitUntil: "load" });
      await page.fill("input[name=\"101\"]", user.email);
      await page.fill("input[name=\"102\"]", user.password);
      await pressOk(page, /\/mainpage$/);
      await page.goto(plainBase + "routing", { waitUntil: "load" });
      await expectText(page, "HTTPS port (0 = off)");
      check(await page.inputValue("input[name=\"109\"]") === "0", "HTTPS is not shown as off");
      await page.fill("input[name=\"109\"]", "https");
      await pressOk(page);
      await expectText(page, "The HTTPS port is invalid");
      await page.fill("input[name=\"109\"]", String(httpsPort));
      await pressOk(page);
      await expectText(page, "The panel now answers over HTTPS. Continue at " + httpsBase + "mainpage");
      await shot("routing-https-on");
      await waitForPort(httpsPort, Date.now() + limitMs);
    });

    await step("https: the plain address leads to HTTPS, where the administrator logs on", async () => {
      await context.clearCookies();
      await page.goto(plainBase + "logon", { waitUntil: "load" });
      check(page.url() === httpsBase + "logon", "the plain address was not sent to HTTPS: " + page.url());
      await page.fill("input[name=\"101\"]", user.email);
      await page.fill("input[name=\"102\"]", user.password);
      await pressOk(page, /\/mainpage$/);
      check(page.url().startsWith(httpsBase), "the main page is not on HTTPS: " + page.url());
      await expectText(page, "Logged on as " + user.email);
      const session = (await context.cookies()).find((cookie) => cookie.name === "sess");
      check(session && session.secure && session.httpOnly, "the session cookie is not Secure: " + JSON.stringify(session));
      await shot("mainpage-over-https");
    });

    await step("https: an hours report over HTTPS", async () => {
      const today = new Date().toISOString().slice(0, 10);
      await page.goto(httpsBase + "viewhours?seluser=" + encodeURIComponent(user.email) + "&startdate=" + today +
                      "&enddate=" + today, { waitUntil: "load" });
      check(page.url().startsWith(httpsBase), "the report left HTTPS: " + page.url());
      await expectText(page, "User Work Hours Report");
      check(await page.locator("a", { hasText: "Export CSV" }).count() === 1, "the report has no Export CSV link");
      await shot("report-over-https");
    });
    await context.close();
  } finally {
    await browser.close();
  }
};
