// The staff and manager paths again on a phone (390 x 844, touch): every
// page must fit the screen's width (a wide table scrolls in its own box, the
// page itself never sideways), its controls must be big enough to tap and
// its text big enough to read.

"use strict";

const h = require("./panel_helpers");
const { check } = h;

const PHONE = { width: 390, height: 844 };

// What a person at a phone would stumble over on the page now shown.
// A phone browser widens its layout to a page that does not fit, so the
// width is checked against the screen's as well as the window's.
async function phoneFaults(page) {
  return page.evaluate((screenWidth) => {
    const faults = [];
    const root = document.documentElement;
    const width = Math.min(window.innerWidth, screenWidth);
    if (root.scrollWidth > width) {
      faults.push("the page scrolls sideways: " + root.scrollWidth + " px wide in " + width);
      const wide = Array.from(document.querySelectorAll("body *")).filter((e) => e.getBoundingClientRect().right > width);
      faults.push("too wide: " + wide.slice(-3).map((e) => e.outerHTML.slice(0, 60)).join(" | "));
    }
    const shown = (element) => {
      const box = element.getBoundingClientRect();
      return box.width > 0 && box.height > 0 && getComputedStyle(element).visibility !== "hidden";
    };
    const targets = "a.toptext, li a, input[type=submit], input[type=button], input[type=text], " +
                    "input[type=password], select, button";
    for (const element of document.querySelectorAll(targets)) {
      if (!shown(element) || element.closest(".kx-cal")) continue;
      const height = element.getBoundingClientRect().height;
      if (height < 43.5) faults.push("a tap target " + Math.round(height) + " px high: " + element.outerHTML.slice(0, 80));
    }
    const small = document.querySelectorAll("body *");
    for (const element of small) {
      const own = Array.from(element.childNodes).some((node) => node.nodeType === 3 && node.textContent.trim()) ||
                  element.matches("input[type=text], input[type=password], input[type=submit], input[type=button], select, " +
                                  "textarea, button");
      if (!own || !shown(element)) continue;
      const size = parseFloat(getComputedStyle(element).fontSize);
      if (size < 16) faults.push("text of " + size + " px: \"" + element.textContent.trim().slice(0, 40) + "\"");
    }
    return faults.slice(0, 8);
  }, PHONE.width);
}

module.exports = async function runPhoneSteps(ctx) {
  const { base, step, admin, staff } = ctx;
  await h.inOwnBrowser(ctx, "phone", { viewport: PHONE, isMobile: true, hasTouch: true, deviceScaleFactor: 1 },
                      async (page, shot) => {
    const visit = async (who, address, expected) => {
      await h.open(page, base + address, expected);
      const faults = await phoneFaults(page);
      await shot(who + "-" + address.replace(/\?.*$/, "").replace(/[^a-z0-9]+/gi, "-"));
      check(faults.length === 0, address + " at phone width:\n  " + faults.join("\n  "));
    };

    const paths = [
      { who: "staff", person: staff, pages: [
        ["mainpage", "My Leave"],
        ["leaveform?onok=mainpage&oncancel=mainpage", "Please fill out the leave application form."],
        ["enterhours?onok=mainpage&oncancel=mainpage", null],
        ["timesheet", null],
        ["viewhours?seluser=" + encodeURIComponent(staff.email), null],
      ] },
      { who: "manager", person: admin, pages: [
        ["mainpage", "My Staff"],
        ["pendingleaverequests?direct=true", null],
      ] },
    ];
    await step("phone: the logon page fits the screen", () => visit("anyone", "logon", "Logon"));
    for (const one of paths) {
      await step("phone: the " + one.who + "'s pages fit the screen", async () => {
        await h.logOn(page, base, one.person.email, one.person.password);
        for (const [address, expected] of one.pages) await visit(one.who, address, expected);
        await h.open(page, base + "logout");
      });
    }
  });
};
