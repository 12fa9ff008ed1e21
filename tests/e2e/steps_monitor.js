// The monitoring pages in the browser (called by panel_test.js after the
// hours steps): a station reports activity and two screenshots through the
// station simulator; the manager opens the day's activity log and its
// screenshots, sees the full-size viewer fit a narrow window, steps through
// it, comes back to the screenshots (whose thumbnails the browser
// revalidates) and sees the usage chart; then the staff member finds that
// look on "myaudit".

"use strict";

const path = require("path");
const h = require("./panel_helpers");
const { check } = h;

module.exports = async function runMonitorSteps(ctx) {
  const { page, base, step, admin, staff } = ctx;
  const jpeg = path.join(__dirname, "..", "..", "webroot", "main.jpg");
  const today = h.dateText(new Date());
  const seluser = () => "seluser=" + encodeURIComponent(staff.email) + "&date=" + today;
  const thumbnailsShown = () => page.locator("img[src^=\"getimg.jpg\"]").evaluateAll(
      (images) => images.filter((img) => img.complete && img.naturalWidth === 100).length);

  await step("a station reports activity and two screenshots", async () => {
    await h.runStation(ctx, staff, ["activity EXCEL.EXE \"Budget <2027> & plan\" 600 30 9", "screenshot " + jpeg,
                                    "wait 1.2", "screenshot " + jpeg, "wait 1"]);
  });

  await step("the manager opens the day's activity log", async () => {
    await h.switchUser(page, base, admin.email, admin.password);
    await h.open(page, base + "viewactivity?" + seluser(), "EXCEL.EXE");
  });

  let popup = null;
  await step("the screenshot page shows both pictures and opens the viewer", async () => {
    await h.open(page, base + "viewscreens?" + seluser());
    check(await thumbnailsShown() === 2, "the page does not show both thumbnails");
    [popup] = await Promise.all([ctx.context.waitForEvent("page"),
                                 page.locator("img[src^=\"getimg.jpg\"]").first().click()]);
    await popup.waitForLoadState("load");
  });

  await step("the full-size viewer fits a narrow window and opens the picture itself", async () => {
    // In a window narrower than the picture, the picture shrinks to fit.
    await popup.setViewportSize({ width: 320, height: 600 });
    const fit = await popup.locator("img[title=fullsize]").evaluate((img) =>
      ({ shown: img.getBoundingClientRect().width, natural: img.naturalWidth, window: window.innerWidth }));
    check(fit.natural > fit.window && fit.shown <= fit.window, "the picture does not fit: " + JSON.stringify(fit));
    // A click on it opens the picture itself, at its own size.
    const [original] = await Promise.all([ctx.context.waitForEvent("page"),
                                          popup.locator("img[title=fullsize]").click()]);
    await original.waitForLoadState("load");
    check(/\/fullsizeimg\.jpg\?/.test(original.url()), "a click on the picture opened " + original.url());
    await original.close();
    await popup.setViewportSize({ width: 1280, height: 900 });
    // The same viewer in the main window, for the step's screenshot.
    await h.open(page, popup.url());
  }, { phone: true });

  await step("the full-size viewer steps to the next picture", async () => {
    await h.clickAndLoad(popup, popup.locator("a", { hasText: ">>" }));
    const full = popup.locator("img[title=fullsize]");
    check(await full.evaluate((img) => img.complete && img.naturalWidth > 0), "the next picture did not load");
    await popup.close();
  });

  // The browser keeps the thumbnails and asks whether they changed: each
  // comes back as a 304 without its bytes. (Playwright shows such an answer
  // with the status of the kept copy; what went over the wire tells.)
  await step("a second visit to the screenshot page revalidates its thumbnails", async () => {
    const answers = [];
    const listen = (response) => {
      if (!response.url().startsWith(base + "getimg.jpg?")) return;
      answers.push((async () => {
        const asked = (await response.request().allHeaders())["if-none-match"];
        const sizes = await response.request().sizes();
        return { asked: asked || "", bodyBytes: sizes.responseBodySize };
      })());
    };
    await h.open(page, base + "mainpage");
    page.on("response", listen);
    try {
      await h.open(page, base + "viewscreens?" + seluser());
    } finally {
      page.off("response", listen);
    }
    const seen = await Promise.all(answers);
    check(seen.length === 2 && seen.every((a) => a.asked !== "" && a.bodyBytes === 0),
          "the thumbnails were not revalidated on the second visit: " + JSON.stringify(seen));
    check(await thumbnailsShown() === 2, "the revalidated thumbnails are not shown");
  }, { phone: true });

  await step("application usage shows its chart", async () => {
    await h.open(page, base + "viewappusage?seluser=" + encodeURIComponent(staff.email) + "&startdate=" + today +
                 "&enddate=" + today, "EXCEL.EXE");
    const box = await page.locator("svg rect").first().boundingBox();
    check(box && box.width > 0, "the usage chart's bar is not shown");
  });

  await step("the staff member sees the look on myaudit", async () => {
    await h.switchUser(page, base, staff.email, staff.password);
    await h.open(page, base + "myaudit", "screenshots " + today);
    await h.switchUser(page, base, admin.email, admin.password);
  });
};
