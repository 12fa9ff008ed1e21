// The main page's "Today" panel: every 15 seconds it is built again from
// today.json. Every value goes in as text, never as markup.
(function () {
  "use strict";
  var body = document.getElementById("todaybody");
  if (!body || !window.fetch) return;

  function hours(minutes) {
    var m = Math.abs(minutes);
    return (minutes < 0 ? "-" : "") + Math.floor(m / 60) + ":" + ("0" + (m % 60)).slice(-2);
  }
  function el(name, text, attributes) {
    var node = document.createElement(name);
    if (text !== undefined && text !== null) node.textContent = text;
    for (var key in attributes || {}) node.setAttribute(key, attributes[key]);
    return node;
  }
  function svg(name, attributes) {
    var node = document.createElementNS("http://www.w3.org/2000/svg", name);
    for (var key in attributes) node.setAttribute(key, attributes[key]);
    return node;
  }
  // The same bar as the server writes: filled up to the required hours.
  function weekBar(parent, worked, required) {
    if (required === null) {
      parent.appendChild(document.createTextNode(hours(worked)));
      return;
    }
    var width = required <= 0 ? 100 : Math.min(100, Math.floor(worked * 100 / required));
    var text = hours(worked) + " of " + hours(required);
    var bar = svg("svg", { "class": "todaybar", width: 100, height: 10, viewBox: "0 0 100 10",
                           role: "img", "aria-label": text });
    bar.appendChild(svg("rect", { width: 100, height: 10, fill: "#dde" }));
    bar.appendChild(svg("rect", { width: width, height: 10, fill: worked >= required ? "#1E9000" : "#3366cc" }));
    parent.appendChild(bar);
    parent.appendChild(document.createTextNode(" " + text));
  }
  function own(data) {
    var p = el("p", null, { "class": "todayown" });
    p.appendChild(document.createTextNode("My hours today: "));
    p.appendChild(el("b", hours(data.todayMinutes)));
    p.appendChild(el("br"));
    p.appendChild(document.createTextNode("This week: "));
    weekBar(p, data.weekMinutes, data.weekRequired);
    p.appendChild(el("br"));
    p.appendChild(document.createTextNode("My pending leave requests: " + data.pending));
    if (data.nextLeave) {
      p.appendChild(el("br"));
      p.appendChild(document.createTextNode("My next leave: " + data.nextLeave.start + " to " +
                                            data.nextLeave.end + " (" + data.nextLeave.type + ")"));
    }
    return p;
  }
  function counts(data) {
    var p = el("p", null, { "class": "todaycounts" });
    if (data.staffPending !== undefined) {
      p.appendChild(el("a", "Leave requests to approve: " + data.staffPending,
                       { href: "pendingleaverequests?direct=true" }));
    }
    if (data.staffPending !== undefined && data.staffUnexplained !== undefined) p.appendChild(el("br"));
    if (data.staffUnexplained !== undefined) {
      p.appendChild(el("a", "Unexplained absent days last week: " + data.staffUnexplained,
                       { href: "unexplainedabsence?direct=true" }));
    }
    return p;
  }
  function staff(rows) {
    var box = el("div", null, { "class": "todayscroll" });
    var table = el("table", null, { "class": "todaystaff" });
    var head = el("tr");
    ["Name", "State", "Since", "Today", "This week", "Now using"].forEach(function (title) {
      head.appendChild(el("th", title));
    });
    table.appendChild(el("thead")).appendChild(head);
    var tbody = table.appendChild(el("tbody"));
    rows.forEach(function (row) {
      var tr = el("tr", null, { "class": "today-" + row.state });
      var name = tr.appendChild(el("td"));
      name.appendChild(el("a", row.name || row.email, { href: "timesheet?seluser=" + encodeURIComponent(row.email) }));
      tr.appendChild(el("td", row.label + (row.leaveType ? " (" + row.leaveType + ")" : "")));
      tr.appendChild(el("td", row.since));
      tr.appendChild(el("td", hours(row.todayMinutes)));
      weekBar(tr.appendChild(el("td")), row.weekMinutes, row.weekRequired);
      var using = row.application || "";
      if (row.caption) using += (using ? ": " : "") + row.caption;
      tr.appendChild(el("td", using));
      tbody.appendChild(tr);
    });
    box.appendChild(table);
    return box;
  }
  function show(data) {
    var fresh = document.createDocumentFragment();
    fresh.appendChild(own(data.own));
    if (data.staff) {
      if (data.staffPending !== undefined || data.staffUnexplained !== undefined) fresh.appendChild(counts(data));
      fresh.appendChild(staff(data.staff));
    }
    body.textContent = "";
    body.appendChild(fresh);
  }
  function refresh() {
    fetch("today.json", { credentials: "same-origin", cache: "no-store" })
      .then(function (answer) { return answer.ok ? answer.json() : null; })
      .then(function (data) { if (data) show(data); })
      .catch(function () { /* the panel keeps what it shows until the next try */ });
  }
  window.setInterval(refresh, 15000);
})();
