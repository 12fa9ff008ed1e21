#include "web/pages/users/user_detail_keep.h"

#include <cstdlib>
#include <string>

#include "model/registry_text.h"
#include "web/http/weblet_form.h"
#include "web/pages/users/user_detail_controls.h"
#include "web/panel/current_user.h"
#include "web/panel/web_dialog.h"

namespace {

enum class Kind { kText, kCheck, kRadio, kDays };

struct Keep {
  const char* name;
  int id;
  Kind kind;
};

constexpr Keep kKeeps[] = {
    {"fdemail", kKXDetailEmail, Kind::kText},
    {"fdname", kKXDetailName, Kind::kText},
    {"fdadmin", kKXDetailAdmin, Kind::kCheck},
    {"fdaccountant", kKXDetailAccountant, Kind::kCheck},
    {"fdismonitor", kKXDetailMonitor, Kind::kCheck},
    {"fdteams", kKXDetailTeam, Kind::kText},
    {"fdmanagers", kKXDetailManagers, Kind::kText},
    {"fdpermanent", kKXDetailPermanent, Kind::kRadio},
    {"fddefaulthours", kKXDetailDefaultHours, Kind::kRadio},
    {"fdcustomhours", kKXDetailCustomHoursInput, Kind::kText},
    {"fdworksfixeddays", kKXDetailFixedDays, Kind::kRadio},
    {"fdworkdays", kKXDetailMonday, Kind::kDays},
    {"fdstricthours", kKXDetailStrictHours, Kind::kCheck},
    {"fdtakeslunchtime", kKXDetailTakeLunch, Kind::kCheck},
    {"fdlunchstarttime", kKXDetailLunchStart, Kind::kText},
    {"fdlunchduration", kKXDetailLunchDuration, Kind::kText},
    {"fdlogscreenshot", kKXDetailLogScreenShot, Kind::kCheck},
    {"fdshowdetails", kKXDetailShowDetails, Kind::kCheck},
    {"fdleaveallowance", kKXDetailLeaveAllowance, Kind::kText},
    {"fdcarryover", kKXDetailCarryOver, Kind::kText},
    // The expected hours would otherwise be the only typed values lost.
    {"fdhourstart", kKXDetailHourStart, Kind::kText},
    {"fdhourend", kKXDetailHourEnd, Kind::kText},
};
constexpr char kKeptFor[] = "fdseluser";
constexpr int kDayBoxes = 7;

std::string Field(const LWebletForm& form, int id) { return form.Params().GetParm(std::to_string(id)); }

std::string RadioField(int id) { return "rbg" + std::to_string(id / 100); }

}  // namespace

void KXKeepDetailForm(LWebletForm& form) {
  LWebletSessionData& session = form.Session();
  session.SetParm(kKeptFor, session.GetParm("seluser"));
  for (const Keep& keep : kKeeps) {
    std::string value;
    switch (keep.kind) {
      case Kind::kText:
        value = KXCleanRegistryText(Field(form, keep.id));
        break;
      case Kind::kCheck:
        value = Field(form, keep.id).empty() ? "false" : "true";
        break;
      case Kind::kRadio:
        value = form.Params().GetParm(RadioField(keep.id));
        break;
      case Kind::kDays: {
        int days = 0;
        for (int id = kKXDetailMonday; id < kKXDetailMonday + kDayBoxes; ++id) {
          if (!Field(form, id).empty()) days |= KXDetailWorkDayBit(id);
        }
        value = std::to_string(days);
        break;
      }
    }
    session.SetParm(keep.name, value);
  }
}

bool KXRestoreDetailForm(LWebDialog& dialog, std::string_view selected, bool returning) {
  LWebletForm& form = dialog.Form();
  std::string keptFor;
  WLWithdrawSessData(form, kKeptFor, keptFor, "");
  const bool use = returning && !keptFor.empty() && KXSameName(keptFor, selected);
  for (const Keep& keep : kKeeps) {
    const bool present = form.Session().TestExists(keep.name);
    std::string value;
    WLWithdrawSessData(form, keep.name, value, "");
    if (!use || !present) continue;
    switch (keep.kind) {
      case Kind::kText:
        dialog.SetText(keep.id, value);
        break;
      case Kind::kCheck:
        dialog.SetCheck(keep.id, value == "true");
        break;
      case Kind::kRadio: {
        // Only an id of the control's own group may choose.
        const int id = std::atoi(value.c_str());
        if (id / 100 == keep.id / 100) dialog.SetRadioCheck(id, true);
        break;
      }
      case Kind::kDays: {
        const int days = std::atoi(value.c_str());
        for (int id = kKXDetailMonday; id < kKXDetailMonday + kDayBoxes; ++id) {
          dialog.SetCheck(id, (days & KXDetailWorkDayBit(id)) != 0);
        }
        break;
      }
    }
  }
  return use;
}
