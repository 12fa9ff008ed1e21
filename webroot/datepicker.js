/* Date picker of the KavrixServer control panel.
 *
 *   NewCalendar(id)   opens a small month calendar under the input whose name
 *                     (or id) is `id`; choosing a day writes it into the input
 *                     as YYYY-MM-DD, the only date form the server reads.
 *                     Calling it again for the same input closes it.
 *
 * The pages call it from links such as href="javascript:NewCalendar(101)", so
 * it must return nothing: a value returned there would replace the page.
 * Weeks start on Monday; Saturdays and Sundays are greyed. Escape, a click
 * outside or "Close" dismiss the calendar without touching the input.
 */

(function () {
  "use strict";

  var MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August", "September",
                "October", "November", "December"];
  var DAYS = ["Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"];
  var open = null; // { box, input, year, month, onKey, onDown }

  function two(n) { return (n < 10 ? "0" : "") + n; }

  function formatDate(year, month, day) {
    return String(year) + "-" + two(month + 1) + "-" + two(day);
  }

  /* The input's own date when it holds a real one ("2026-02-30" does not). */
  function parseDate(text) {
    var match = /^\s*(\d{4})-(\d{2})-(\d{2})\s*$/.exec(text || "");
    if (!match) return null;
    var year = +match[1], month = +match[2] - 1, day = +match[3];
    var date = new Date(year, month, day);
    if (date.getFullYear() !== year || date.getMonth() !== month || date.getDate() !== day) return null;
    return { year: year, month: month, day: day };
  }

  function findInput(id) {
    var key = String(id);
    var named = document.getElementsByName(key);
    for (var i = 0; i < named.length; i++) {
      if (named[i].tagName === "INPUT") return named[i];
    }
    var byId = document.getElementById(key);
    return byId && byId.tagName === "INPUT" ? byId : null;
  }

  function close() {
    if (!open) return;
    document.removeEventListener("keydown", open.onKey, true);
    document.removeEventListener("mousedown", open.onDown, true);
    if (open.box.parentNode) open.box.parentNode.removeChild(open.box);
    open = null;
  }

  function choose(year, month, day) {
    var input = open.input;
    close();
    input.value = formatDate(year, month, day);
    // The search bar keeps its previous/next links in step on "change".
    input.dispatchEvent(new Event("input", { bubbles: true }));
    input.dispatchEvent(new Event("change", { bubbles: true }));
    input.focus();
  }

  function button(text, title, action) {
    var b = document.createElement("button");
    b.type = "button"; // never submits the page's form
    b.textContent = text;
    b.title = title;
    b.addEventListener("click", function (event) {
      event.preventDefault();
      action();
    });
    return b;
  }

  function shift(months) {
    var date = new Date(open.year, open.month + months, 1);
    open.year = date.getFullYear();
    open.month = date.getMonth();
    draw();
  }

  function dayCell(year, month, day, column, chosen, today) {
    var cell = document.createElement("td");
    cell.textContent = String(day);
    cell.className = "kx-cal-day";
    if (column >= 5) cell.className += " kx-cal-weekend";
    var text = formatDate(year, month, day);
    if (text === today) cell.className += " kx-cal-today";
    if (text === chosen) cell.className += " kx-cal-chosen";
    cell.setAttribute("data-date", text);
    cell.addEventListener("click", function () { choose(year, month, day); });
    return cell;
  }

  function draw() {
    var box = open.box;
    while (box.firstChild) box.removeChild(box.firstChild);

    var head = document.createElement("div");
    head.className = "kx-cal-head";
    var label = document.createElement("span");
    label.className = "kx-cal-month";
    label.textContent = MONTHS[open.month] + " " + open.year;
    head.appendChild(button("\u00AB", "Previous year", function () { shift(-12); }));
    head.appendChild(button("\u2039", "Previous month", function () { shift(-1); }));
    head.appendChild(label);
    head.appendChild(button("\u203A", "Next month", function () { shift(1); }));
    head.appendChild(button("\u00BB", "Next year", function () { shift(12); }));
    box.appendChild(head);

    var grid = document.createElement("table");
    var titles = grid.insertRow(-1);
    DAYS.forEach(function (name) {
      var th = document.createElement("th");
      th.textContent = name;
      titles.appendChild(th);
    });
    var now = new Date();
    var today = formatDate(now.getFullYear(), now.getMonth(), now.getDate());
    var current = parseDate(open.input.value);
    var chosen = current ? formatDate(current.year, current.month, current.day) : "";
    var first = (new Date(open.year, open.month, 1).getDay() + 6) % 7; // Monday is column 0
    var length = new Date(open.year, open.month + 1, 0).getDate();
    var row = grid.insertRow(-1);
    for (var blank = 0; blank < first; blank++) row.insertCell(-1);
    for (var day = 1; day <= length; day++) {
      var column = (first + day - 1) % 7;
      if (column === 0 && day > 1) row = grid.insertRow(-1);
      row.appendChild(dayCell(open.year, open.month, day, column, chosen, today));
    }
    box.appendChild(grid);

    var foot = document.createElement("div");
    foot.className = "kx-cal-foot";
    foot.appendChild(button("Today", "Choose today's date", function () {
      choose(now.getFullYear(), now.getMonth(), now.getDate());
    }));
    foot.appendChild(button("Close", "Close without choosing", close));
    box.appendChild(foot);
  }

  /* Under the input, moved left or above when it would leave the window. */
  function place(box, input) {
    var rect = input.getBoundingClientRect();
    var left = rect.left + window.pageXOffset;
    var top = rect.bottom + window.pageYOffset + 2;
    box.style.left = left + "px";
    box.style.top = top + "px";
    var own = box.getBoundingClientRect();
    if (own.right > window.innerWidth - 4) {
      box.style.left = Math.max(4, left - (own.right - window.innerWidth + 4)) + "px";
    }
    if (own.bottom > window.innerHeight - 4 && rect.top > own.height + 4) {
      box.style.top = (rect.top + window.pageYOffset - own.height - 2) + "px";
    }
  }

  window.NewCalendar = function (id) {
    var input = findInput(id);
    if (!input) return;
    var wasOpenHere = open && open.input === input;
    close();
    if (wasOpenHere || input.disabled || input.readOnly) return;

    var start = parseDate(input.value);
    var now = new Date();
    var box = document.createElement("div");
    box.className = "kx-cal";
    box.setAttribute("role", "dialog");
    box.setAttribute("aria-label", "Choose a date");
    open = {
      box: box,
      input: input,
      year: start ? start.year : now.getFullYear(),
      month: start ? start.month : now.getMonth(),
      onKey: function (event) {
        if (event.key === "Escape") close();
      },
      // The click that opened the calendar has already happened when this is
      // added, so only later presses outside close it.
      onDown: function (event) {
        if (open && !open.box.contains(event.target) && event.target !== open.input) close();
      }
    };
    draw();
    document.body.appendChild(box);
    place(box, input);
    document.addEventListener("keydown", open.onKey, true);
    document.addEventListener("mousedown", open.onDown, true);
  };

  // Report forms call onapply() when they are sent; it lets them go.
  if (typeof window.onapply !== "function") {
    window.onapply = function () { return true; };
  }

  /* The report search bar loads this file; its load function calls
     initSearchBar(). Browsers' own suggestion lists would cover the calendar
     under the date fields, so they are switched off there. A page's own
     initSearchBar, where it writes one, takes precedence. */
  if (typeof window.initSearchBar !== "function" || window.initSearchBar.kxStandIn) {
    window.initSearchBar = function () {
      ["dateinput", "startdate", "enddate"].forEach(function (name) {
        var input = findInput(name);
        if (input) input.setAttribute("autocomplete", "off");
      });
    };
  }
})();
