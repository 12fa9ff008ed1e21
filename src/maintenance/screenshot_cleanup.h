#pragma once
// Deleting old screenshot folders. Only folders named exactly
// "YYYY-MM-DD_qascreens" (a real date) directly inside a user's archive
// folder are candidates, and only when their date lies `days` or more
// calendar days before today. The walk goes through descriptors opened
// without following symbolic links below the archive root: a user folder
// or a screenshot folder that is a link is left alone, and a link inside
// a screenshot folder is removed as a link, never followed. Each deleted
// folder is logged.

#include <string>
#include <string_view>

class LThread;

// Whether `name` is a screenshot folder's name; `day` gets its date as days
// since 1970-01-01.
bool KXScreenFolderDay(std::string_view name, long& day);

// The old screenshot folders of the user folder `folder_name` inside
// `archive_root`, for the local day number `today`. Returns how many were
// deleted.
int KXDeleteOldScreenFolders(const std::string& archive_root, std::string_view folder_name, long today, int days);

// Every user's, in registry order, for "AutoDeleteDays" (30 when empty; a
// value below 1 turns the job off).
void KXDeleteOldScreenshots(LThread* thread);
