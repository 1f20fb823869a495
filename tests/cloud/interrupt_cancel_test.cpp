// Interrupts and termination requests during a whole remote solve against the local service:
// while the model is written, before the create, during the create and the upload, while
// waiting, a second interrupt, a service that ignores the cancel, SIGTERM and SIGHUP. Each scenario runs in a child process,
// so that the signals never reach this test program's own handlers.
#include "cloud/interrupt_cancel.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cloud/client_log.hpp"
#include "cloud/nimbrova_client.hpp"
#include "cloud/support/service_fixture.hpp"
#include "core/text/message_catalogue.hpp"
#include "velorium/velorium.hpp"

namespace velorium::nimbrova {
namespace {

namespace json = boost::json;
using namespace std::chrono_literals;

// Runs `scenario` in a child process and gives what it returned; the child has `limit` to end.
std::string run_in_child(const std::function<std::string()>& scenario, std::chrono::seconds limit) {
  int channel[2];
  if (::pipe2(channel, O_CLOEXEC) != 0) return "<no pipe>";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    std::string report;
    try {
      report = scenario();
    } catch (const std::exception& e) {
      report = std::string("exception: ") + e.what();
    }
    for (std::size_t sent = 0; sent < report.size();) {
      const ssize_t wrote = ::write(channel[1], report.data() + sent, report.size() - sent);
      if (wrote <= 0) break;
      sent += static_cast<std::size_t>(wrote);
    }
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string report;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd wait{channel[0], POLLIN, 0};
    if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
      ::kill(child, SIGKILL);
      report += "<the child did not end in time>";
      break;
    }
    char buffer[4096];
    const ssize_t got = ::read(channel[0], buffer, sizeof buffer);
    if (got <= 0) break;
    report.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) report += "<the child ended by signal " + std::to_string(WTERMSIG(status)) + ">";
  return report;
}

// The host's own handlers in the child: they count, and note whether the operation's folder
// was still there when a signal reached them.
volatile sig_atomic_t host_calls[NSIG] = {};
volatile sig_atomic_t folder_seen_by_host = 0;
char folder_path[4096] = {};

extern "C" void host_handler(int signal_number) {
  host_calls[signal_number] = host_calls[signal_number] + 1;
  if (::access(folder_path, F_OK) == 0) folder_seen_by_host = 1;
}

constexpr int kHostSignals[] = {SIGINT, SIGTERM, SIGHUP};

struct Case {
  const char* what;
  json::array faults;
  int trigger;              // the catalogue message after whose text the first signal goes
  std::chrono::milliseconds delay;  // from that text to the signal
  int first;
  int second;               // 0, or a signal sent once the cancel is announced (message 165)
  // Expected.
  std::size_t creates;
  std::size_t cancels;
  // Status polls: the client polls every 3 s of its (virtual) clock, so waiting out the 30 s
  // after a cancel takes 10 or more; ending at once, fewer.
  std::size_t least_polls;
  std::size_t most_polls;
  const char* host;  // the host handlers' calls after the solve
};

class InterruptCancelTest : public test::ServiceTest {
 protected:
  // The child's part: a solve of the small model from a private folder of its own, the
  // signals sent from the client log's texts, and a report of what came of it.
  std::string solve_with_signals(const Case& c) {
    for (int signal_number : kHostSignals) {
      struct sigaction host {};
      host.sa_handler = host_handler;
      sigemptyset(&host.sa_mask);
      ::sigaction(signal_number, &host, nullptr);
    }
    auto folder = std::make_unique<PrivateFolder>(files_.path().string());
    std::strncpy(folder_path, folder->path().c_str(), sizeof folder_path - 1);
    std::unique_ptr<TemporaryFile> model = folder->file("small.mps");
    std::ofstream(model->path()) << test::kSmallMps;
    RemoteParameters parameters;
    parameters.int_params["remote_timeout"] = 300;
    parameters.bool_params["log_to_console"] = false;
    auto client = std::make_unique<Client>(std::move(model), parameters, nullptr, std::move(folder));

    std::atomic<bool> sent_first{false};
    std::atomic<bool> sent_second{false};
    const std::string trigger = get_message(c.trigger);
    set_client_log_tap_for_testing([&](std::string_view text) {
      if (text.find(trigger) != std::string_view::npos && !sent_first.exchange(true)) {
        std::thread([&c] {
          std::this_thread::sleep_for(c.delay);
          ::kill(::getpid(), c.first);
        }).detach();
      }
      if (c.second != 0 && text == get_message(165) && !sent_second.exchange(true)) ::kill(::getpid(), c.second);
    });
    const RemoteCalculationResult result = client->solve();
    client.reset();
    set_client_log_tap_for_testing(nullptr);

    std::string report = "outcome " + result.outcome_text + "; host";
    bool restored = true;
    for (int signal_number : kHostSignals) {
      report += " " + std::to_string(host_calls[signal_number]);
      struct sigaction now {};
      ::sigaction(signal_number, nullptr, &now);
      restored = restored && now.sa_handler == host_handler;
    }
    report += restored ? "; handlers restored" : "; handlers not restored";
    report += folder_seen_by_host ? "; files left when the signal went on" : "";
    return report;
  }

  test::ScratchDir files_;
};

TEST_F(InterruptCancelTest, EveryWayOfInterruptingEndsWithTheCalculationCancelledAndTheSignalHandedOn) {
  const json::object ignored_cancel{{"endpoint", "cancel"}, {"action", "status"}, {"code", 200}};
  const auto delayed = [](const char* endpoint) {
    return json::object{{"endpoint", endpoint}, {"action", "delay"}, {"delay", 20}};
  };
  const Case cases[] = {
      {"an interrupt while waiting", {}, 167, 0ms, SIGINT, 0, 1, 1, 1, 9, "1 0 0"},
      {"a second interrupt, the cancel ignored", {ignored_cancel}, 167, 0ms, SIGINT, SIGINT, 1, 1, 1, 9, "1 0 0"},
      {"30 s after the cancel, the cancel ignored", {ignored_cancel}, 167, 0ms, SIGINT, 0, 1, 1, 10, 99, "1 0 0"},
      {"a termination request while waiting", {ignored_cancel}, 167, 0ms, SIGTERM, 0, 1, 1, 1, 9, "0 1 0"},
      {"a hang-up while waiting", {ignored_cancel}, 167, 0ms, SIGHUP, 0, 1, 1, 1, 9, "0 0 1"},
      {"an interrupt before the create", {}, 177, 0ms, SIGINT, 0, 0, 0, 0, 0, "1 0 0"},
      {"an interrupt during the create", {delayed("create")}, 177, 500ms, SIGINT, 0, 1, 0, 0, 0, "1 0 0"},
      {"an interrupt during the upload", {delayed("upload")}, 176, 500ms, SIGINT, 0, 1, 1, 1, 9, "1 0 0"},
  };
  for (const Case& c : cases) {
    service_->faults(c.faults);
    service_->clear_journal();
    service_->hold(30);  // a calculation stays "calculating" until it is cancelled
    const std::string report = run_in_child([&] { return solve_with_signals(c); }, 30s);
    service_->hold(0);
    EXPECT_EQ(report, std::string("outcome error: CANCELLED; host ") + c.host + "; handlers restored") << c.what;
    EXPECT_EQ(sent("create").size(), c.creates) << c.what;
    EXPECT_EQ(sent("cancel").size(), c.cancels) << c.what;
    EXPECT_LE(sent("upload").size(), 1u) << c.what;  // a stopped upload is not tried again
    EXPECT_GE(sent("status").size(), c.least_polls) << c.what;
    EXPECT_LE(sent("status").size(), c.most_polls) << c.what;
  }
}

// Interrupts once, at the first line the model logs (the writer's renaming of an illegal name).
class InterruptAtFirstLine final : public ILogCallback {
 public:
  void LogMessage(const char*) override {
    if (!sent_) ::kill(::getpid(), SIGINT);
    sent_ = true;
  }

 private:
  bool sent_ = false;
};

TEST_F(InterruptCancelTest, AnInterruptWhileTheModelIsWrittenEndsTheOperationBeforeTheCreate) {
  const std::string report = run_in_child(
      [this] {
        struct sigaction host {};
        host.sa_handler = host_handler;
        sigemptyset(&host.sa_mask);
        ::sigaction(SIGINT, &host, nullptr);
        IModel* model = CreateModel();
        model->SetBoolParam("log_to_console", false);
        model->SetStringParam("temp_folder_path", files_.path().string().c_str());
        model->AddVariable(0, 1, 1, variable_type::continuous, "an illegal name")->Release();
        InterruptAtFirstLine interrupt;
        model->SetLogCallback(&interrupt);
        ISolveResult* result = model->SolveRemote("");
        std::string text = "calc uid [" + std::string(model->GetCalcUID()) + "]; result ";
        text += result && result->GetSolveResult() == solve_result::fail ? "fails" : "does not fail";
        text += "; host " + std::to_string(host_calls[SIGINT]);
        text += std::filesystem::is_empty(files_.path()) ? "; no file left" : "; files left";
        if (result) result->Release();
        model->Release();
        return text;
      },
      30s);
  EXPECT_EQ(report, "calc uid []; result fails; host 1; no file left");
  EXPECT_TRUE(service_->journal().empty());  // nothing was sent
}

}  // namespace
}  // namespace velorium::nimbrova
