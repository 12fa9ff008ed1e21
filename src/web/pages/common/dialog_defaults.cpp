#include "web/pages/common/dialog_defaults.h"

#include "web/http/weblet_form.h"

void WLDefaultDialogTargets(LWebletForm& form, const char* onOk, const char* onCancel) {
  LHashTable& params = form.Params();
  if (params.GetParm("onok")[0] == '\0') params.SetParm("onok", onOk);
  if (params.GetParm("oncancel")[0] == '\0') params.SetParm("oncancel", onCancel);
}
