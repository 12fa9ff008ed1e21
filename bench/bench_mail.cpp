// 500 logon-details mails through a relay: the maintenance pass's mail step
// with 500 users whose "PasswordReq" is set, delivered over SMTP to a real
// server on loopback (aiosmtpd, keeping no files). Each mail issues a new
// password, composes the text and runs a whole SMTP dialogue on its own
// connection, as the service does. Prints mails per second and the
// process's peak memory.
//
// Needs python3-aiosmtpd (scripts/setup); without it the program says so
// and ends.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "bench_main.h"
#include "foundation/settings_sections.h"
#include "maintenance/flagged_mail.h"
#include "maintenance/notification_mail.h"
#include "model/registry_lists.h"
#include "model/users.h"
#include "support/smtp_peer.h"

namespace {

constexpr int kMails = 500;
KavrixSmtpPeer* gPeer = nullptr;

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Prepare() {
  for (int i = 0; i < kMails; ++i) {
    KXAddUser("user" + std::to_string(i) + "@office.example", "User " + std::to_string(i), i == 0, false, "", "", "");
  }
  LSettingSetString("Routing", "LocalAddressMode", "4");
  LSettingSetString("Routing", "StaticIPAddress", "203.0.113.9");
  LSettingSetString("Email", "ReplyToEmail", "office@office.example");
  LSettingSetString("Email", "SendDirect", "0");
  LSettingSetString("Email", "HeloHostName", "bench.test.example");
  LSettingSetString("Email", "MailSMTPHost", gPeer->HostText());
}

void RaiseEveryRequest() {
  for (LKXUserListIterator it(gKXUsersList); it.Next();) (void)it.Get().SetFlag(kKXUserPasswordReq, true);
}

void BM_LogonDetailsMailsThroughRelay(benchmark::State& state) {
  const long before = PeakKilobytes();
  for (auto _ : state) {
    state.PauseTiming();
    RaiseEveryRequest();
    state.ResumeTiming();
    KXSendFlaggedMail(nullptr, true);
  }
  state.counters["mails_per_s"] = benchmark::Counter(double(kMails) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["peak_rss_kb"] = double(PeakKilobytes());
  state.counters["rss_growth_kb"] = double(PeakKilobytes() - before);
}
BENCHMARK(BM_LogonDetailsMailsThroughRelay)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The delivery alone, without issuing passwords and clearing flags (which
// write the user records): the share of the SMTP dialogue in the above.
void BM_RelayDeliveryOnly(benchmark::State& state) {
  const std::string body(2900, 'x');  // about the size of a logon-details text
  for (auto _ : state) {
    for (int i = 0; i < kMails; ++i) {
      if (!SendEmail(nullptr, "user" + std::to_string(i) + "@office.example", "KavrixServer: Logon Details", body)) {
        state.SkipWithError("a mail was not delivered");
        return;
      }
    }
  }
  state.counters["mails_per_s"] = benchmark::Counter(double(kMails) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RelayDeliveryOnly)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  char folder[] = "/tmp/kavrix-bench-peer-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  KavrixSmtpPeer peer;
  std::string why;
  KavrixSmtpPeerOptions options;
  options.count_only = true;
  if (!peer.Start(folder, options, why)) {
    std::fprintf(stderr, "bench_mail: no SMTP server: %s\n", why.c_str());
    return 1;
  }
  gPeer = &peer;
  const int status = KavrixBenchMain(argc, argv, Prepare);
  peer.Stop();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
