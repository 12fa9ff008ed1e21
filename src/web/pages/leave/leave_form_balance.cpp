#include "web/pages/leave/leave_form_balance.h"

#include <algorithm>
#include <cstdlib>

#include "model/leave_balance.h"
#include "model/leave_log.h"
#include "model/public_holidays.h"
#include "model/user.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/leave/leave_balance_text.h"
#include "web/text/js_text.h"

namespace {

int YearOf(const std::string& date) { return std::atoi(date.substr(0, 4).c_str()); }

// The words of leave_balance_text.cpp, once more for the browser.
constexpr char kScript[] =
    "function kxDaysText(n){return n+(n==1||n==-1?' day':' days');}\r\n"
    "function kxIsDate(t){return /^\\d{4}-\\d{2}-\\d{2}$/.test(t);}\r\n"
    "function kxHoliday(t){for(var i=0;i<kxHolidays.length;i++){"
    "if(kxHolidays[i][0]<=t&&t<=kxHolidays[i][1])return true;}return false;}\r\n"
    "function kxLeaveDays(a,b){var n=0;if(!kxIsDate(a)||!kxIsDate(b)||b<a)return 0;"
    "var d=new Date(a+'T00:00:00Z'),e=new Date(b+'T00:00:00Z');"
    "for(var i=0;d<=e&&i<400;i++){var w=d.getUTCDay(),t=d.toISOString().substring(0,10);"
    "if(w!=0&&w!=6&&!kxHoliday(t))n++;d=new Date(d.getTime()+86400000);}return n;}\r\n"
    "function kxBalanceText(){var f=document.getElementById(kxFromId).value,"
    "t=document.getElementById(kxToId).value,s=document.getElementsByName(kxTypeId)[0];"
    "if(!kxIsDate(f)||!kxIsDate(t)||t<f)return '';"
    "var counts=s&&kxCounts[s.selectedIndex],out=[];"
    "for(var y=+f.substring(0,4);y<=+t.substring(0,4);y++){var b=kxBalance[y];if(!b)continue;"
    "var a=f>y+'-01-01'?f:y+'-01-01',z=t<y+'-12-31'?t:y+'-12-31',takes=counts?kxLeaveDays(a,z):0,"
    "left=b[0],text='You have '+left+' of '+kxDaysText(b[1])+' left in '+y+'; this request takes '+takes+'.',"
    "over=Math.min(takes,takes-left);if(over>0)text+=' It exceeds your balance by '+kxDaysText(over)+'.';"
    "out.push(text);}return out.join(' ');}\r\n"
    "function kxUpdateBalance(){var e=document.getElementById('leavebalance'),t=kxBalanceText();"
    "if(e&&t&&e.textContent!=t)e.textContent=t;}\r\n"
    // The date picker sets the fields without an event, so the line looks
    // at them now and then as well.
    "document.addEventListener('change',kxUpdateBalance);document.addEventListener('input',kxUpdateBalance);"
    "setInterval(kxUpdateBalance,400);\r\n";

}  // namespace

std::string KXLeaveFormBalanceSentences(LKXUser& user, const std::string& from, const std::string& to, bool counts,
                                        const LKXLeaveCounting& counting) {
  std::string text;
  for (int year = YearOf(from); year <= YearOf(to); ++year) {
    const LKXLeaveBalance balance = KXLeaveBalance(user, year, counting);
    if (!balance.kept) continue;
    const int takes = counts ? counting.DaysInYear(from, to, year) : 0;
    if (!text.empty()) text += ' ';
    text += KXLeaveFormBalanceText(balance, year, takes);
  }
  return text;
}

void WLWriteLeaveFormBalance(LWebletForm& form, LKXUser& user, const std::string& from, const std::string& to,
                             int typeIndex, const std::vector<bool>& typeCounts, int typeId, int fromId, int toId) {
  const LKXLeaveCounting counting;
  const std::string today = LDateTime::Now().GetDateText();
  const bool valid = KXIsDateText(from) && KXIsDateText(to) && from <= to;
  const std::string first = valid ? from : today;
  const std::string last = valid ? to : today;
  // The years a leave applied for now most likely touches, and those of
  // the dates shown.
  std::string balances;
  bool any = false;
  const int thisYear = YearOf(today);
  for (int year = std::min(thisYear, YearOf(first)); year <= std::max(thisYear + 1, YearOf(last)); ++year) {
    const LKXLeaveBalance balance = KXLeaveBalance(user, year, counting);
    if (!balance.kept) continue;
    any = true;
    balances += (balances.empty() ? "" : ",") + std::to_string(year) + ":[" + std::to_string(balance.Left()) + "," +
                std::to_string(balance.Available()) + "]";
  }
  if (!any) return;
  const bool counts = typeIndex >= 0 && typeIndex < static_cast<int>(typeCounts.size()) &&
                      typeCounts[static_cast<std::size_t>(typeIndex)];
  std::string holidays;
  for (const LKXPublicHoliday& holiday : KXGetPublicHolidays()) {
    holidays += (holidays.empty() ? "[" : ",[") + LJavaScriptString(holiday.start) + "," +
                LJavaScriptString(holiday.end) + "]";
  }
  std::string countsList;
  for (bool c : typeCounts) countsList += countsList.empty() ? (c ? "1" : "0") : (c ? ",1" : ",0");
  wfformat(form, "<tr><td colspan=5><span id=leavebalance>%H</span>",
           KXLeaveFormBalanceSentences(user, first, last, counts, counting));
  wfformat(form,
           "<script type=\"text/javascript\">var kxBalance={%s},kxHolidays=[%s],kxCounts=[%s],"
           "kxTypeId='%d',kxFromId='%d',kxToId='%d';\r\n%s</script></td></tr>",
           balances, holidays, countsList, typeId, fromId, toId, kScript);
}
