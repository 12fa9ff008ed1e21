#pragma once
// How the registry turns typed text into stored keys, and how it reads and
// writes the comma lists of a user record ("Manager", "Team").
//
// E-mail addresses and team or leave-type names identify records, so the
// text that is compared must be the text that is stored. A settings value is
// cut at its first CR or LF, loses leading "=" signs and keeps 259 bytes
// (doc/settings_files.md); an address checked for uniqueness before those
// cuts could be stored as another user's address after them. Every registry
// function therefore cleans its keys with KXCleanRegistryText first, and
// also drops blanks around them, which nobody types on purpose and which
// would otherwise make "a@b.com " a second user beside "a@b.com".

#include <string>
#include <string_view>
#include <vector>

// The text as the registry stores and compares it: leading bytes up to 0x20
// and "=" signs dropped, cut at the first CR or LF, cut to 259 bytes,
// trailing bytes up to 0x20 dropped. Empty means "no key".
std::string KXCleanRegistryText(std::string_view text);

// Registry names (e-mail addresses, team and leave-type names) compare
// without regard to ASCII letter case.
bool KXSameName(std::string_view a, std::string_view b);

// The items of a comma list, read with the comma item rule of the work logs
// (a quoted item may hold commas), each with surrounding blanks dropped.
// Empty items are left out.
std::vector<std::string> KXCommaListItems(std::string_view list);

// Whether some item of `list` names `name` (letter case ignored). Blanks
// around an item do not count: "boss@x.com , b@x.com" names boss@x.com.
bool KXCommaListContains(std::string_view list, std::string_view name);

// One item as it must be written into a comma list: quoted, with inner
// quotes doubled, when it holds a comma or a double quote, so that the
// reader gives it back whole; otherwise as it is.
std::string KXCommaListItem(std::string_view name);

// The items joined by "," (each through KXCommaListItem).
std::string KXJoinCommaList(const std::vector<std::string>& items);
