#pragma once
// The control panel's URL table (web_script_array.cpp): its 66 paths in
// their lookup order, then the paths this server adds, each with its
// handler and access rule. A path without a row is answered from the web
// root's static files.

#include "web/http/url_table.h"

LWebScriptTable WebScriptArray();
