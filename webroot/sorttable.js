/* Sortable lists of the KavrixServer control panel.
 *
 *   initTable(tableId)               makes the list with that id re-sort in place
 *   initTable(tableId, checkColumn)  the same; a true second argument says the
 *                                    rows begin with a check box, and ticked
 *                                    rows are highlighted
 *
 * The column titles of a list are links that ask the server for the same page
 * sorted by that column ("iCol" and "bAsc" in the address). The server owns
 * the order: it knows each cell's sort key (numbers, hours, dates) and keeps
 * total rows below the others whatever the column. So a click fetches that
 * address in the background and swaps in the list it returns, without
 * reloading the page: the search bar, ticked boxes and the scroll position
 * stay as they were. When the fetch fails the link is simply followed.
 */

(function () {
  "use strict";

  function paramOf(href, name) {
    var match = new RegExp("[?&]" + name + "=([^&#]*)").exec(href);
    return match ? decodeURIComponent(match[1]) : null;
  }

  function headerRow(table) {
    return table.rows.length ? table.rows[0] : null;
  }

  function sortLinks(table) {
    var row = headerRow(table);
    if (!row) return [];
    var links = row.getElementsByTagName("a");
    var found = [];
    for (var i = 0; i < links.length; i++) {
      if (paramOf(links[i].href, "iCol") !== null) found.push(links[i]);
    }
    return found;
  }

  /* An arrow after the title of the sorted column. A title link carries
     bAsc=0 only for the column the list is sorted by ascending; a descending
     order is known from the address that produced the list. */
  function markSortedColumn(table, href) {
    var links = sortLinks(table);
    var column = paramOf(href || "", "iCol");
    var ascending = paramOf(href || "", "bAsc") === "1";
    for (var i = 0; i < links.length; i++) {
      var old = links[i].parentNode.querySelector(".kx-sort-arrow");
      if (old) old.parentNode.removeChild(old);
    }
    for (var j = 0; j < links.length; j++) {
      var own = paramOf(links[j].href, "iCol");
      var arrow = null;
      if (paramOf(links[j].href, "bAsc") === "0") arrow = "\u25B2";
      else if (column !== null && own === column && !ascending) arrow = "\u25BC";
      if (arrow) {
        var span = document.createElement("span");
        span.className = "kx-sort-arrow";
        span.textContent = arrow;
        links[j].appendChild(span);
      }
    }
  }

  function checkBoxes(table) {
    var found = [];
    var inputs = table.getElementsByTagName("input");
    for (var i = 0; i < inputs.length; i++) {
      if (inputs[i].type === "checkbox") found.push(inputs[i]);
    }
    return found;
  }

  function highlightTicked(table) {
    for (var i = 1; i < table.rows.length; i++) {
      var box = table.rows[i].querySelector("input[type=checkbox]");
      if (!box) continue;
      if (box.checked) table.rows[i].classList.add("kx-ticked");
      else table.rows[i].classList.remove("kx-ticked");
    }
  }

  /* Boxes are matched by their value (a user's address, a record's key),
     never by name: names carry row numbers, which change with the order. */
  function carryTicks(from, to) {
    var ticked = {};
    var counts = {};
    checkBoxes(from).forEach(function (box) {
      if (box.value && box.value !== "on") {
        counts[box.value] = (counts[box.value] || 0) + 1;
        if (box.checked) ticked[box.value] = true;
      }
    });
    checkBoxes(to).forEach(function (box) {
      if (ticked[box.value] && counts[box.value] === 1) box.checked = true;
    });
  }

  /* Typed but unsaved values would be lost by a new list, exactly as by
     following the link, so such a list is left to the link. */
  function hasUnsavedInput(table) {
    var inputs = table.querySelectorAll("input[type=text], textarea");
    for (var i = 0; i < inputs.length; i++) {
      if (inputs[i].value !== inputs[i].defaultValue) return true;
    }
    var selects = table.getElementsByTagName("select");
    for (var j = 0; j < selects.length; j++) {
      var options = selects[j].options;
      for (var k = 0; k < options.length; k++) {
        if (options[k].selected !== options[k].defaultSelected) return true;
      }
    }
    return false;
  }

  function resort(table, href, checkColumn) {
    if (!window.fetch || !window.DOMParser || hasUnsavedInput(table)) {
      window.location.href = href;
      return;
    }
    table.classList.add("kx-loading");
    window.fetch(href, { credentials: "same-origin", cache: "no-store" })
      .then(function (response) {
        if (!response.ok) throw new Error("status " + response.status);
        return response.text();
      })
      .then(function (text) {
        var page = new DOMParser().parseFromString(text, "text/html");
        var fresh = page.getElementById(table.id);
        if (!fresh) throw new Error("no list in the answer");
        fresh = document.importNode(fresh, true);
        carryTicks(table, fresh);
        table.parentNode.replaceChild(fresh, table);
        if (window.history && window.history.replaceState) window.history.replaceState(null, "", href);
        attach(fresh, href, checkColumn);
        // The page's own script enables its buttons from the ticked boxes.
        if (typeof window.validate === "function") window.validate();
      })
      .catch(function () {
        window.location.href = href;
      });
  }

  function attach(table, href, checkColumn) {
    markSortedColumn(table, href);
    if (checkColumn) highlightTicked(table);
    table.addEventListener("click", function (event) {
      var link = event.target.closest ? event.target.closest("a") : null;
      if (link && table.contains(link) && headerRow(table) && headerRow(table).contains(link) &&
          paramOf(link.href, "iCol") !== null && !event.ctrlKey && !event.metaKey && !event.shiftKey &&
          event.button === 0) {
        event.preventDefault();
        resort(table, link.href, checkColumn);
      }
    });
    if (checkColumn) {
      // "click" as well: the select-all box of the title row ticks the others
      // from its own onclick, which fires no change event on them.
      table.addEventListener("change", function () { highlightTicked(table); });
      table.addEventListener("click", function () { highlightTicked(table); });
    }
  }

  window.initTable = function (tableId, checkColumn) {
    var table = document.getElementById(String(tableId));
    if (!table || table.tagName !== "TABLE") return;
    attach(table, window.location.href, checkColumn && String(checkColumn) !== "0");
  };

  /* Pages whose form calls onapply() on submit, or whose load function calls
     initSearchBar(), may run without a search bar or without a script of
     their own for them; these stand-ins let the form submit. A page's own
     definition, before or after this file, is the one that counts. */
  if (typeof window.onapply !== "function") {
    window.onapply = function () { return true; };
  }
  if (typeof window.initSearchBar !== "function") {
    window.initSearchBar = function () {};
    // datepicker.js, which comes with every search bar, replaces this one.
    window.initSearchBar.kxStandIn = true;
  }
})();
