#pragma once
// A pause between the tries of a lock that cannot be waited on.

// Sleeps `ms` milliseconds, resumed after a signal interrupts it.
void LSleepMilliseconds(int ms);
