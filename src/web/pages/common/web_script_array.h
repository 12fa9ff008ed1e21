#pragma once
// The control panel's URL table (web_script_array.cpp): the rows of
// web_script_plan.h whose handlers exist, in that order. A path without a
// row is answered from the web root's static files.

#include "web/http/url_table.h"

LWebScriptTable WebScriptArray();
