#include "web/url_table.h"

// The pages of the control panel register here, one row per path, in the
// order the lookup must try them. None has been written yet.
LWebScriptTable WebScriptArray() { return {}; }
