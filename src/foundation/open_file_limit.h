#pragma once
// The number of files a process may hold open. Every connection of the
// server costs descriptors, and the soft limit that a service is started with
// (often 1,024) is far below what the system allows it (the hard limit), so
// the server asks for all it may have before it accepts anyone.

// Raises the soft limit on open files to the hard limit. Returns the soft
// limit in force afterwards, or -1 when it cannot be read; a limit that
// cannot be raised stays as it was.
long LRaiseOpenFileLimit();
