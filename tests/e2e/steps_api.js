// The read API from outside (called once by panel_test.js after the hours
// steps, with the administrator logged on): the administrator creates a
// personal token on My Details and sees it once; curl reads the API with it
// and jq picks the answer apart; revoking the token on the same page ends it.

"use strict";

const childProcess = require("child_process");

const h = require("./panel_helpers");
const { check } = h;

module.exports = async function runApiSteps(ctx) {
  const { page, base, step, admin } = ctx;
  let token = "";
  const curl = (args) => childProcess.execFileSync("bash", ["-c", "curl -sS " + args], {
    env: Object.assign({}, process.env, { KAVRIX_API_TOKEN: token, KAVRIX_BASE: base }), encoding: "utf8",
  }).trim();

  await step("My Details creates an API token, shown once", async () => {
    await h.open(page, base + "mainpage");
    await h.clickAndLoad(page, page.getByText("View my details", { exact: true }), /\/userdetail\?/, "API token");
    await h.clickAndLoad(page, page.locator("#createapitoken"), null, "Copy this token now: it is not shown again.");
    token = await page.locator("#apitoken").inputValue();
    check(/^[0-9a-f]{32}$/.test(token), "the shown token is \"" + token + "\"");
  }, { phone: true });

  await step("curl reads the API with the token and jq picks the answer apart", async () => {
    const emails = curl("-H \"Authorization: Bearer $KAVRIX_API_TOKEN\" \"${KAVRIX_BASE}api/v1/users\" | " +
                        "jq -r '.users[].email'").split("\n");
    check(emails.includes(admin.email), "jq found no administrator among " + JSON.stringify(emails));
  });

  await step("revoking the token on My Details ends it", async () => {
    await h.clickAndLoad(page, page.locator("#revokeapitoken"), null, "The API token has been revoked.");
    const status = curl("-o /dev/null -w '%{http_code}' -H \"Authorization: Bearer $KAVRIX_API_TOKEN\" " +
                        "\"${KAVRIX_BASE}api/v1/users\"");
    check(status === "401", "the revoked token got " + status);
  }, { phone: true });
};
