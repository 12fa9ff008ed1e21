#include "web/panel/date_range_select.h"

#include "web/panel/html_list.h"

std::string LDateRangeSelectHtml(std::string_view name) {
  std::string html =
      LHtmlFormatChecked("<select name=%H id=daterange onchange=\"changedates()\">", name);
  int value = 0;
  for (const char* choice : kLDateRangeChoices) {
    html += LHtmlFormatChecked("<option value=%d%s>%s</option>", value,
                               value == 0 ? " selected" : "", choice);
    ++value;
  }
  html += "</select>";
  return html;
}

std::string LDateRangeScript(std::string_view startId, std::string_view endId) {
  return LHtmlFormatChecked(
      "function kxDateText(v) {\r\n"
      "  function two(n) { return (n < 10 ? '0' : '') + n; }\r\n"
      "  return v.getFullYear() + '-' + two(v.getMonth() + 1) + '-' + two(v.getDate());\r\n"
      "}\r\n"
      "function kxSetDate(id, v) {\r\n"
      "  var el = document.getElementById(id);\r\n"
      "  if (!el) return;\r\n"
      "  el.value = kxDateText(v);\r\n"
      "  if (typeof evChange == 'function') evChange(id);\r\n"
      "}\r\n"
      "function changedates() {\r\n"
      "  var c = parseInt(document.getElementById('daterange').value, 10);\r\n"
      "  if (!(c > 0)) return;\r\n"
      "  var n = new Date();\r\n"
      // w: days since Monday, as the weeks of the reports and mails run
      // Monday to Sunday.
      "  var y = n.getFullYear(), m = n.getMonth(), d = n.getDate(), w = (n.getDay() + 6) %% 7;\r\n"
      "  var s = new Date(y, m, d), e = new Date(y, m, d);\r\n"
      "  switch (c) {\r\n"
      "    case 2: s = new Date(y, m, d - 6); break;\r\n"
      "    case 3: s = new Date(y, m, d - 29); break;\r\n"
      "    case 4: s = new Date(y, m, d - w); e = new Date(y, m, d - w + 6); break;\r\n"
      "    case 5: s = new Date(y, m, d - w - 7); e = new Date(y, m, d - w - 1); break;\r\n"
      "    case 6: s = new Date(y, m, 1); e = new Date(y, m + 1, 0); break;\r\n"
      "    case 7: s = new Date(y, m - 1, 1); e = new Date(y, m, 0); break;\r\n"
      "    case 8: s = new Date(y, 0, 1); e = new Date(y, 11, 31); break;\r\n"
      "    case 9: s = new Date(y - 1, 0, 1); e = new Date(y - 1, 11, 31); break;\r\n"
      "  }\r\n"
      "  kxSetDate('%s', s);\r\n"
      "  kxSetDate('%s', e);\r\n"
      "}\r\n",
      startId, endId);
}
