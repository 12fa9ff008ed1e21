#pragma once
// One HTTP exchange with the router: connect, send the request, read the
// answer until the router closes, kLUPnPMaxAnswer bytes have come, the
// router is silent too long or the whole budget is spent. The router is not
// trusted: the answer is cut, never grown past the limit.

#include <chrono>
#include <string>
#include <string_view>

#include "foundation/process_result.h"

class LThread;

inline constexpr int kLUPnPConnectTimeoutMs = 3000;
inline constexpr int kLUPnPSilenceTimeoutMs = 3000;
// A router that drips a byte now and then cannot hold the probe for longer
// than this per exchange.
inline constexpr int kLUPnPExchangeBudgetMs = 10000;
// The description fetch as a whole.
inline constexpr int kLUPnPDescriptionBudgetMs = 3000;

// `host` is a dotted IPv4 address; no name is ever resolved, so the probe
// sends nothing to a name server. Failed only when the address is not one
// or no connection could be made; stopped on the thread's stop request.
// `budgetMs` bounds the whole exchange after the connection is made.
[[nodiscard]] LProcessResult LUPnPHttpExchange(LThread* thread, std::string_view host, int port,
                                               std::string_view request, int budgetMs,
                                               std::string& answer);

// The clock the budgets and the silence are measured on; tests put one of
// their own in its place (nullptr puts the steady clock back).
using LUPnPClock = std::chrono::steady_clock::time_point (*)();
void LUPnPSetClock(LUPnPClock clock);
