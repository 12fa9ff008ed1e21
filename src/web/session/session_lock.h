#pragma once
// The wait for a session file's lock. Several requests of one browser
// (frames, images, a double click) often change one session at the same
// moment, each holding the lock for well under a millisecond. Waits that
// double from 300 ms (flocktimed) would stall every such request for
// seconds, and a waiter that sleeps long keeps losing the lock to the ones
// that come after it; so this wait tries again every few milliseconds.

class LThread;

// `operation` is LOCK_SH or LOCK_EX. Returns true when locked within
// `timeoutMs`; the caller goes ahead either way. A stop request of
// `thread` (when given) ends the wait too.
bool LSessionFileLock(int fd, int operation, int timeoutMs, const LThread* thread);
