#pragma once
// The modes of the server's data. User records hold passwords, session
// files are named by live session ids, logs and archives hold what staff
// did: only the service's user and the data folder's group (the people who
// run the office's server, whose desktop control window reads the same
// files) may read or write them, whatever umask the process was started
// with. Folders carry the set-group-ID bit, so that a file made in them
// belongs to the data folder's group whoever makes it (the root service or
// a desktop). Web sessions are the service's alone.

#include <sys/types.h>

#include <string>

#include "foundation/unique_fd.h"

inline constexpr mode_t kLDataFileMode = 0660;
inline constexpr mode_t kLDataFolderMode = 02770;
inline constexpr mode_t kLOwnerFileMode = 0600;
inline constexpr mode_t kLOwnerFolderMode = 0700;
// The umask of the daemon and the desktop: whatever they make without a
// mode of ours (a library's file, a copied backup) is still closed to
// other accounts.
inline constexpr mode_t kLDataUmask = 007;

// open(2) of `path` with `flags` and O_CLOEXEC; a file this call creates
// (O_CREAT) gets exactly `mode`, and an existing one keeps its own. Invalid
// on failure, errno set.
LUniqueFd LOpenCreating(const std::string& path, int flags, mode_t mode = kLDataFileMode);

// mkdir of `path`, giving a folder this call makes exactly `mode`; an
// existing folder is fine and left as it is.
bool LCreateFolderWithMode(const std::string& path, mode_t mode = kLDataFolderMode);
