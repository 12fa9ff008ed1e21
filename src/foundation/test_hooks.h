#pragma once
// Process-wide state of the foundation (the fake clock, the settings caches,
// the log's cached clock text) is dropped here, so that a test which points
// KAVRIX_ROOT and HOME at a fresh folder starts from nothing.

void LFoundationResetForTests();
