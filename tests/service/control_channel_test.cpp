// The control channel inside one process: the service engine with a small
// engine of its own, real desktops on the real socket.

#include <glib.h>
#include <sys/socket.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "foundation/log.h"
#include "service/control_wire.h"
#include "service/engine_proxy.h"
#include "service/named_pipe.h"
#include "service/service_engine.h"
#include "support/loopback.h"
#include "support/recording_engine.h"
#include "support/test_helpers.h"
#include "support/web_server_fixture.h"

namespace {

// Bound for a broken run; nothing passes by it.
constexpr int kLimitMs = 20000;

using RecordingEngine = KavrixRecordingEngine;
constexpr auto MakeEngine = &KavrixRecordingEngine::Make;

// A desktop on the raw socket.
class Desktop {
 public:
  explicit Desktop(const std::string& path) : fd_(LNamedPipeRef::OpenPath(path)) {}
  int Fd() const { return fd_.Get(); }
  bool Send(const std::string& bytes) { return KavrixSendAll(fd_.Get(), bytes); }
  // The next message, or one of type 0 when the connection ended.
  LControlMessage Next() {
    LControlMessage message;
    char chunk[4096];
    while (reader_.Next(&message) != LControlMessageReader::Status::kMessage) {
      pollfd wait{fd_.Get(), POLLIN, 0};
      const ssize_t got = poll(&wait, 1, kLimitMs) == 1 ? recv(fd_.Get(), chunk, sizeof(chunk), 0) : 0;
      if (got <= 0) return {};
      reader_.Feed(chunk, static_cast<size_t>(got));
    }
    return message;
  }
  // The message text of the next log line whose text starts with `prefix`.
  std::string NextLogLine(const std::string& prefix = "") {
    for (;;) {
      const LControlMessage message = Next();
      if (message.header.type == 0) return "<closed>";
      if (message.header.type != kLServiceLogLine) continue;
      const std::string text = LControlSplitLogLine(message.payload, message.header.extra).second;
      if (text.rfind(prefix, 0) == 0) return text;
    }
  }

 private:
  LUniqueFd fd_;
  LControlMessageReader reader_{false};
};

class ControlChannelTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    path_ = TempDir() + "/.spipe.test";
    RecordingEngine::Clear();
    service_ = std::make_unique<LServiceEngine<RecordingEngine>>(path_, MakeEngine);
    service_->Start();
    dispatcher_ = std::make_unique<LambdaThread>([this](LThread* self) { service_->Wait(self); });
    ASSERT_TRUE(dispatcher_->Start(0));
  }
  void TearDown() override {
    dispatcher_.reset();
    service_->Shutdown();
    service_.reset();
    KavrixTempRoot::TearDown();
  }
  // Connects and waits until the service has registered the connection.
  std::unique_ptr<Desktop> Connect() {
    const size_t before = service_->ConnectionCount();
    auto desktop = std::make_unique<Desktop>(path_);
    EXPECT_TRUE(KavrixWaitUntil([&] { return service_->ConnectionCount() == before + 1; }));
    return desktop;
  }

  std::string path_;
  std::unique_ptr<LServiceEngine<RecordingEngine>> service_;
  std::unique_ptr<LambdaThread> dispatcher_;
};

}  // namespace

TEST_F(ControlChannelTest, RequestsRunOnTheDispatcherAndRepliesCarryTheirIds) {
  auto desktop = Connect();
  // An unknown type is ignored; commands follow each other one at a time:
  // the second has run once the query sent after it is answered.
  ASSERT_TRUE(desktop->Send(LControlMessageBytes(kLServiceCommand, 1, 1, "abc") +
                            LControlMessageBytes(kLServiceAckCommand, 5, 7, "ignored") +
                            LControlMessageBytes(9, 1, 10, "x") +
                            LControlMessageBytes(kLServiceCommand, 2, 11, {}) +
                            LControlMessageBytes(kLServiceQuery, 0, 12, {})));
  for (const uint32_t id : {7u, 12u}) {
    const LControlMessage reply = desktop->Next();
    EXPECT_EQ(LControlMessageBytes(reply.header.type, reply.header.code, reply.header.extra, reply.payload),
              LControlMessageBytes(kLServiceReply, 0, id, {}));
  }
  EXPECT_EQ(RecordingEngine::Commands(), "1:abc;2:;");
  EXPECT_FALSE(service_->IsStopRequested());
}

TEST_F(ControlChannelTest, BrokenPeersAreCutOffWhileOthersKeepReceiving) {
  const LServiceMessageHeader huge{kLServiceMagic, kLServiceCommand, 1, kLControlMaxPayload + 1, 1};
  struct Case {
    const char* name;
    std::string bytes;
    bool closeAfter;
    const char* logged;  // the reason in the service's log line, or null
  } cases[] = {
      {"wrong magic", std::string("\x35\x12\x01\x00", 4) + std::string(12, '\0'), false, "not a control message"},
      {"oversized", std::string(reinterpret_cast<const char*>(&huge), sizeof(huge)), false,
       "message larger than 65536 bytes"},
      {"half a payload", LControlMessageBytes(kLServiceCommand, 1, 1, std::string(100, 'p')).substr(0, 40), true,
       nullptr},
  };
  auto watcher = Connect();
  for (const Case& c : cases) {
    auto bad = Connect();
    ASSERT_TRUE(bad->Send(c.bytes)) << c.name;
    if (c.closeAfter) {
      shutdown(bad->Fd(), SHUT_RDWR);
    } else {
      EXPECT_TRUE(KavrixPeerClosed(bad->Fd())) << c.name;
      EXPECT_EQ(watcher->NextLogLine("Control connection"),
                "Control connection of user 0 (process " + std::to_string(getpid()) + ") closed: " + c.logged);
    }
    EXPECT_TRUE(KavrixWaitUntil([&] { return service_->ConnectionCount() == 1; })) << c.name;
    LOGF("after %s", c.name);
    EXPECT_EQ(watcher->NextLogLine("after"), std::string("after ") + c.name);
  }
  EXPECT_EQ(RecordingEngine::Commands(), "");
}

TEST_F(ControlChannelTest, ADesktopThatDoesNotReadCannotHoldUpLogging) {
  auto slow = Connect();
  constexpr int kLines = 20000;
  const std::string filler(150, 'f');
  // Far more than the socket and the queue hold: were logging to wait for
  // this desktop, the loop would never end.
  for (int i = 0; i < kLines; ++i) LOGF("slow %d %s", i, filler.c_str());
  LOG("last");
  int received = 0;
  int dropped = 0;
  bool sawLast = false;
  int previous = -1;
  // "last" may be among the dropped lines itself.
  while (received + dropped + (sawLast ? 1 : 0) < kLines + 1) {
    const std::string text = slow->NextLogLine();
    ASSERT_NE(text, "<closed>");
    int number = 0;
    if (sscanf(text.c_str(), "slow %d", &number) == 1) {
      ASSERT_GT(number, previous);  // lines are lost, never reordered
      previous = number;
      ++received;
    } else if (text == "last") {
      sawLast = true;
    } else {
      const std::string note = " log lines were not sent to this window: it did not read them in time";
      ASSERT_NE(text.find(note), std::string::npos) << text;
      dropped += atoi(text.c_str());
    }
  }
  EXPECT_EQ(received + dropped + (sawLast ? 1 : 0), kLines + 1);
  EXPECT_GT(dropped, 0);
}

// Concurrent requests of the proxy get their own replies; a notification
// of the service reaches the desktop's handler on the thread that runs the
// main loop, never on the proxy's reading thread.
TEST_F(ControlChannelTest, TheProxysRequestsGetTheirRepliesAndNotificationsReachItsMainLoop) {
  struct Recorder : LControlNotifyHandler {
    void EvControlNotify(std::uint32_t code, const void* data, size_t size) override {
      seen += std::to_string(code) + ":" + std::string(static_cast<const char*>(data), data ? size : 0) + ";";
      onMainThread = onMainThread && std::this_thread::get_id() == mainThread;
    }
    std::string seen;
    bool onMainThread = true;
    std::thread::id mainThread = std::this_thread::get_id();
  } recorder;
  LServicePaths paths;
  paths.controlSocket = path_;
  LServiceEngineProxy<RecordingEngine> proxy(paths, MakeEngine);
  proxy.SetControlNotifyHandler(&recorder);
  ASSERT_TRUE(proxy.OpenChannel());
  ASSERT_TRUE(proxy.StartReading());
  ASSERT_TRUE(KavrixWaitUntil([&] { return service_->ConnectionCount() == 1; }));
  std::atomic<int> answered{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        uint32_t result = 99;
        if (proxy.Request(kLServiceAckCommand, 3, "data", kLimitMs, &result) && result == 0) ++answered;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  // Its settings change reaching the service: ChannelWindowTest.
  EXPECT_EQ(answered.load(), 400);
  service_->EvEngineNotify(5, "ab", 2);
  ASSERT_TRUE(KavrixWaitUntil([&] {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    return recorder.seen == "5:ab;";
  })) << recorder.seen;
  EXPECT_TRUE(recorder.onMainThread);
  proxy.Stop();
  EXPECT_FALSE(proxy.IsConnected());
}
