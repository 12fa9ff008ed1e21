#pragma once
// When the engine starts no station is connected, whatever the user records
// say after a crash or a power cut: every user's "Connected" flag is cleared.

// Sets "Connected" to false on every existing member of the record list
// "UsersList" (ids 0 .. MaxID-1, gaps skipped). Returns the number of
// records visited.
int LResetConnectedFlags();
