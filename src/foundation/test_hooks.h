#pragma once
// Process-wide state of the foundation (the fake clock, the settings caches,
// the log's cached clock text) is dropped here, so that a test which points
// KAVRIX_ROOT and HOME at a fresh folder starts from nothing.

void LFoundationResetForTests();

// The clock of a program started by a test: when the environment holds
// KAVRIX_TEST_NOW ("YYYY-MM-DD HH:MM:SS", local time), LDateTime::Now() is
// that moment for the life of the process, so that a test can start the
// real service in the night of its choice. Returns whether it was set.
bool LFoundationApplyTestClock();
