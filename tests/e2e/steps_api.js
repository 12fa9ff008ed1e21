// The read API from outside (called once by panel_test.js after the hours
// steps, with the administrator logged on): the administrator creates a
// personal token on My Details and sees it once; curl reads the API with it
// and jq picks the answer apart; Python's json reads this week's hours of every
// user and finds the same minutes as the CSV export of that week; revoking the
// token on the same page ends it.

"use strict";

const childProcess = require("child_process");

const h = require("./panel_helpers");
const { check } = h;

// argv: base address, session id; the token comes in KAVRIX_API_TOKEN. The
// export is read with the session, as the "Export CSV" link would.
const PYTHON_COMPARE = String.raw`
import csv, datetime, io, json, os, sys, urllib.parse, urllib.request
base, session = sys.argv[1:3]
monday = datetime.date.today() - datetime.timedelta(days=datetime.date.today().weekday())
start, end = monday.isoformat(), (monday + datetime.timedelta(days=6)).isoformat()
def get(path, header, value):
    request = urllib.request.Request(base + path, headers={header: value})
    return urllib.request.urlopen(request).read().decode("utf-8")
hours = json.loads(get("api/v1/hours?from=" + start + "&to=" + end,
                       "Authorization", "Bearer " + os.environ["KAVRIX_API_TOKEN"]))
compared = 0
for user in hours["users"]:
    export = get("viewhours.csv?seluser=" + urllib.parse.quote(user["email"]) + "&startdate=" + start +
                 "&enddate=" + end, "Cookie", "sess=" + session)
    rows = {row["Date"]: row for row in csv.DictReader(io.StringIO(export)) if len(row["Date"]) == 10}
    for day in user["days"]:
        row = rows.pop(day["date"], None)
        if row is None:
            assert day["worked"] == 0, (user["email"], day)
            continue
        for key, column in (("worked", "Total minutes"), ("breaks", "Break(s) minutes"),
                            ("manual", "Manual minutes")):
            assert day[key] == int(row[column]), (user["email"], day, key, row)
        compared += 1
    assert not rows, ("days in the CSV but not in the API", user["email"], rows)
print("compared", compared, "worked days of", len(hours["users"]), "users")
`;

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

  await step("Python's json reads the week's hours: the same minutes as the CSV export", async () => {
    const session = (await page.context().cookies(base)).find((cookie) => cookie.name === "sess");
    check(session, "the browser has no session cookie");
    const out = childProcess.execFileSync("python3", ["-c", PYTHON_COMPARE, base, session.value], {
      env: Object.assign({}, process.env, { KAVRIX_API_TOKEN: token }), encoding: "utf8",
    });
    const match = /compared (\d+) worked days/.exec(out);
    check(match && Number(match[1]) >= 1, "Python compared no worked day: " + out);
  });

  await step("revoking the token on My Details ends it", async () => {
    await h.clickAndLoad(page, page.locator("#revokeapitoken"), null, "The API token has been revoked.");
    const status = curl("-o /dev/null -w '%{http_code}' -H \"Authorization: Bearer $KAVRIX_API_TOKEN\" " +
                        "\"${KAVRIX_BASE}api/v1/users\"");
    check(status === "401", "the revoked token got " + status);
  }, { phone: true });
};
