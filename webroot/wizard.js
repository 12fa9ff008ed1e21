// The user rows of the setup wizard's step 3 ("wizardaddusers").
//
// The page gives this script:
//   - the hidden field named 90: how many rows to show (4 at first);
//   - the empty element with id 50, which receives the rows;
//   - for a page shown again after a refused post, the values typed before,
//     in hidden inputs without a name (so they are not posted twice) whose
//     ids are "wv" and the field number, e.g. "wv101";
//   - start(invalidId, message) once the page has loaded, and a link that
//     calls addItem().
// Row i (1 to 5) posts the fields 100+i (e-mail), 200+i (name), 300+i (work
// type: 1 permanent, 2 casual) and 600+i (hours per week; empty means the
// company's default). Rows are built with DOM calls, never from HTML text,
// so whatever a user typed is shown as text.

var kWizardMaxRows = 5;
var kWizardRowCountField = "90";
var kWizardPlaceholder = "50";
var kWizardEmailBase = 100;
var kWizardNameBase = 200;
var kWizardWorkTypeBase = 300;
var kWizardHoursBase = 600;
var kWizardWorkTypes = [["1", "Permanent"], ["2", "Casual (paid by the hour)"]];

var gWizardTable = null;  // the tbody that holds the rows
var gWizardRows = 0;       // user rows shown (the message row does not count)

function wizardRowCountField() {
  var fields = document.getElementsByName(kWizardRowCountField);
  return fields.length > 0 ? fields[0] : null;
}

// The value posted before for field `id`, or "" on a first display.
function wizardPostedValue(id) {
  var element = document.getElementById("wv" + id);
  return element ? element.value : "";
}

function wizardCell(row, child) {
  var cell = document.createElement("td");
  if (child) cell.appendChild(child);
  row.appendChild(cell);
  return cell;
}

function wizardTextInput(id, size, title) {
  var input = document.createElement("input");
  input.type = "text";
  input.name = String(id);
  input.id = "field" + id;
  input.size = size;
  input.title = title;
  input.value = wizardPostedValue(id);
  return input;
}

function wizardWorkTypeSelect(id) {
  var select = document.createElement("select");
  select.name = String(id);
  select.id = "field" + id;
  select.title = "Permanent staff are expected to work their hours each week; casual staff are paid by the hour";
  var posted = wizardPostedValue(id);
  for (var i = 0; i < kWizardWorkTypes.length; i++) {
    var option = document.createElement("option");
    option.value = kWizardWorkTypes[i][0];
    option.appendChild(document.createTextNode(kWizardWorkTypes[i][1]));
    if (posted === option.value) option.selected = true;
    select.appendChild(option);
  }
  return select;
}

function wizardHeaderRow() {
  var row = document.createElement("tr");
  var titles = ["", "Email", "Name", "Work type", "Hours/week"];
  for (var i = 0; i < titles.length; i++) {
    var cell = document.createElement("th");
    cell.align = "left";
    cell.appendChild(document.createTextNode(titles[i]));
    row.appendChild(cell);
  }
  return row;
}

// Appends user row `index` (from 1) to the table.
function wizardAppendRow(index) {
  var row = document.createElement("tr");
  row.id = "wizardrow" + index;
  wizardCell(row, document.createTextNode(index + "."));
  wizardCell(row, wizardTextInput(kWizardEmailBase + index, 28, "The user's email address"));
  wizardCell(row, wizardTextInput(kWizardNameBase + index, 24, "The user's name"));
  wizardCell(row, wizardWorkTypeSelect(kWizardWorkTypeBase + index));
  wizardCell(row, wizardTextInput(kWizardHoursBase + index, 4,
      "Hours per week for permanent staff; leave empty for the company's default"));
  gWizardTable.appendChild(row);
  gWizardRows = index;
}

// The count the page asked for, kept within 1 to kWizardMaxRows.
function wizardWantedRows() {
  var field = wizardRowCountField();
  var count = field ? parseInt(field.value, 10) : NaN;
  if (isNaN(count) || count < 1) count = 4;
  return count > kWizardMaxRows ? kWizardMaxRows : count;
}

function wizardUpdateAddLink() {
  var links = document.getElementsByName("51");
  if (links.length > 0 && gWizardRows >= kWizardMaxRows) links[0].style.display = "none";
}

function wizardMessageRow(message) {
  var row = document.createElement("tr");
  var cell = document.createElement("td");
  cell.colSpan = 5;
  cell.style.color = "#a00000";
  cell.id = "wizardmessage";
  cell.appendChild(document.createTextNode(message));
  row.appendChild(cell);
  return row;
}

// Shows `message` directly above the row of field `invalidId`, in the
// colours of the panel's other dialogs, and puts the cursor there. A
// message that belongs to no field (the page passes the placeholder's id)
// goes above all rows.
function wizardShowMessage(invalidId, message) {
  if (!message || !gWizardTable) return;
  var field = document.getElementById("field" + invalidId);
  if (!field) {
    gWizardTable.insertBefore(wizardMessageRow(message), gWizardTable.firstChild);
    return;
  }
  var row = field.parentNode.parentNode;
  row.style.backgroundColor = "#ffe0e0";
  row.parentNode.insertBefore(wizardMessageRow(message), row);
  field.focus();
}

function start(invalidId, message) {
  var placeholder = document.getElementById(kWizardPlaceholder);
  if (!placeholder) return;
  var table = document.createElement("table");
  table.border = 0;
  table.cellPadding = 3;
  var body = document.createElement("tbody");
  table.appendChild(body);
  gWizardTable = body;
  body.appendChild(wizardHeaderRow());
  var count = wizardWantedRows();
  for (var i = 1; i <= count; i++) wizardAppendRow(i);
  placeholder.appendChild(table);
  var field = wizardRowCountField();
  if (field) field.value = String(count);
  wizardUpdateAddLink();
  wizardShowMessage(parseInt(invalidId, 10), message);
}

function addItem() {
  if (!gWizardTable) return;
  var count = gWizardRows;
  if (count >= kWizardMaxRows) return;
  wizardAppendRow(count + 1);
  var field = wizardRowCountField();
  if (field) field.value = String(count + 1);
  wizardUpdateAddLink();
  var email = document.getElementById("field" + (kWizardEmailBase + count + 1));
  if (email) email.focus();
}
