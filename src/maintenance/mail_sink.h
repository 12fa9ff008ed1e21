#pragma once
// Where the weekly reports hand their finished mails: in the service that
// is SendEmail on the maintenance thread; a benchmark or a test that looks
// only at the composed texts puts its own receiver in its place.

#include <functional>
#include <string_view>

class LThread;

// Returns whether the mail was delivered.
using LKXMailSink = std::function<bool(std::string_view to, std::string_view subject, std::string_view body)>;

// Delivery through SendEmail, stopping with `thread`.
LKXMailSink KXDeliverySink(LThread* thread);
