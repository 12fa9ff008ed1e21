// What reading a request costs the server before any page runs: a plain GET
// with a few headers, and URL-encoded form bodies of growing size up to the
// largest body the server accepts. A form body is read by every POST, logged
// on or not, so its cost must grow with its length and no faster: the CPU
// time of BM_FormBody/1000000 is the figure to watch (target < 50 ms).

#include <benchmark/benchmark.h>

#include <string>

#include "bench_main.h"
#include "web/http/request_parser.h"

namespace {

// "a=1&" repeated to `bytes` bytes, behind the head of a POST.
std::string FormPost(std::size_t bytes) {
  std::string body;
  body.reserve(bytes);
  while (body.size() + 4 <= bytes) body += "a=1&";
  return "POST /login HTTP/1.1\r\nHost: h\r\nContent-Type: application/x-www-form-urlencoded\r\n"
         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

void Parse(benchmark::State& state, const std::string& raw) {
  for (auto _ : state) {
    LHttpRequestParser parser([] { return std::string("192.0.2.1"); });
    LHttpFeedRequest(parser, raw);
    if (parser.Step() != LHttpStep::kReady) state.SkipWithError("request not complete");
    benchmark::DoNotOptimize(parser.Request().params.Size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * raw.size()));
}

void BM_PlainGet(benchmark::State& state) {
  Parse(state, "GET /timesheet?seluser=a%40b.c&startdate=2024-02-01 HTTP/1.1\r\nHost: h\r\n"
               "Cookie: sess=labcdefgh1\r\nUser-Agent: bench\r\n\r\n");
}
BENCHMARK(BM_PlainGet)->Unit(benchmark::kMicrosecond);

void BM_FormBody(benchmark::State& state) { Parse(state, FormPost(static_cast<std::size_t>(state.range(0)))); }
BENCHMARK(BM_FormBody)->Arg(250000)->Arg(500000)->Arg(kLMaxContentLength)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return KavrixBenchMain(argc, argv); }
