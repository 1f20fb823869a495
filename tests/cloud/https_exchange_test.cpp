#include "cloud/https_exchange.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/system/system_error.hpp>

#include "cloud/name_resolution.hpp"
#include "cloud/proxy_endpoint_cache.hpp"
#include "cloud/root_certificates.hpp"
#include "cloud/support/connect_relay.hpp"
#include "cloud/support/recording_reporter.hpp"
#include "cloud/support/recording_tls_server.hpp"
#include "cloud/support/test_pki.hpp"
#include "support/scoped_env.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::nimbrova {
namespace {

using test::RecordedRequest;
using test::RecordingReporter;
using test::RecordingTlsServer;
using test::ScriptedReply;
using namespace std::chrono_literals;

std::vector<std::string> field_names(const RecordedRequest& request) {
  std::vector<std::string> names;
  for (const auto& field : request.fields) names.push_back(field.first);
  return names;
}

class HttpsExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test_roots_enabled()) GTEST_SKIP() << "needs a build with VELORIUM_TEST_TRUST=ON";
  }
  static std::unique_ptr<RecordingTlsServer> server_with(const std::string& leaf) {
    const test::TestPki& pki = test::TestPki::get();
    return std::make_unique<RecordingTlsServer>(pki.certificate(leaf), pki.key(leaf));
  }
  // One GET of `url` with a short deadline.
  static CloudReply get(const std::string& url, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    CloudRequest request("", timeout);
    return http_get(request, url);
  }
  // The text of the exception `call` throws as type E; "<none>" when it returns.
  template <class E>
  static std::string failure_of(const std::function<void()>& call) {
    try {
      call();
    } catch (const E& e) {
      return e.what();
    }
    return "<none>";
  }

  test::ScopedTestRoots roots_;
  std::unique_ptr<RecordingTlsServer> server_ = server_with("server");
};

TEST_F(HttpsExchangeTest, FieldsGoOutInTheOrderSetThenConnectionHostAndLength) {
  using Verb = CloudReply (*)(CloudRequest&, const std::string&);
  struct Case {
    Verb verb;
    const char* body;
    const char* request_line;
    std::vector<std::string> fields;
    const char* length;  // expected Content-Length, or "<absent>"
  };
  const std::vector<Case> cases = {
      {http_get, "", "GET /api/v1/calculations/u/status HTTP/1.1", {"X-API-KEY", "Connection", "Host"}, "<absent>"},
      {http_patch, "", "PATCH /api/v1/calculations/u/status HTTP/1.1", {"X-API-KEY", "Connection", "Host"},
       "<absent>"},
      {http_post, "", "POST /api/v1/calculations/u/status HTTP/1.1",
       {"X-API-KEY", "Connection", "Host", "Content-Length"}, "0"},
      {http_post, "{\"a\":1}", "POST /api/v1/calculations/u/status HTTP/1.1",
       {"X-API-KEY", "Connection", "Host", "Content-Length"}, "7"},
      {http_patch, "xyz", "PATCH /api/v1/calculations/u/status HTTP/1.1",
       {"X-API-KEY", "Connection", "Host", "Content-Length"}, "3"},
  };
  for (const Case& c : cases) {
    CloudRequest request;
    request.set_field("X-API-KEY", "key-1");
    request.body_text = c.body;
    c.verb(request, server_->url("/api/v1/calculations/u/status"));
    const RecordedRequest sent = server_->journal().back();
    EXPECT_EQ(sent.request_line, c.request_line);
    EXPECT_EQ(field_names(sent), c.fields) << c.request_line;
    EXPECT_EQ(sent.field("X-API-KEY"), "key-1");
    EXPECT_EQ(sent.field("Connection"), "close");
    EXPECT_EQ(sent.field("Host"), "127.0.0.1");  // the host alone, without the port
    EXPECT_EQ(sent.field("Content-Length"), c.length) << c.request_line;
    EXPECT_EQ(sent.body, c.body);
  }
}

TEST_F(HttpsExchangeTest, AFieldSetAgainMovesToTheEnd) {
  CloudRequest request;
  request.set_field("X-API-KEY", "old");
  request.set_field("Content-Type", "application/json");
  request.set_field("X-API-KEY", "new");
  request.body_text = "{}";
  http_post(request, server_->url("/c/"));
  const RecordedRequest sent = server_->journal().back();
  EXPECT_EQ(field_names(sent),
            (std::vector<std::string>{"Content-Type", "X-API-KEY", "Connection", "Host", "Content-Length"}));
  EXPECT_EQ(sent.field("X-API-KEY"), "new");
}

TEST_F(HttpsExchangeTest, AnAddressWithoutPathAsksForTheRoot) {
  get(server_->url("", "localhost"));
  const RecordedRequest sent = server_->journal().back();
  EXPECT_EQ(sent.request_line, "GET / HTTP/1.1");
  EXPECT_EQ(sent.field("Host"), "localhost");
}

TEST_F(HttpsExchangeTest, Only2xxRepliesAndAnAllowedRedirectAreRepliesTheRestHttpErrors) {
  struct Case {
    unsigned status;
    bool redirect_allowed;
    const char* failure;  // "<none>" when the reply is returned
  };
  const Case cases[] = {{200, false, "<none>"},
                        {204, false, "<none>"},
                        {206, false, "<none>"},
                        {302, true, "<none>"},
                        {302, false, "Http result : 302"},
                        {301, true, "Http result : 301"},
                        {307, true, "Http result : 307"},
                        {308, true, "Http result : 308"},
                        {399, false, "Http result : 399"},
                        {400, false, "Http result : 400"},
                        {401, false, "invalid_api_key"},
                        {403, false, "invalid_api_key"},
                        {404, false, "Http result : 404"},
                        {500, false, "Http result : 500"}};
  for (const Case& c : cases) {
    server_->script({ScriptedReply::status(c.status, "LOCATION: https://127.0.0.1:1/next\r\n", "body")});
    CloudReply reply;
    const std::string failure = failure_of<std::runtime_error>([&] {
      CloudRequest request("", std::chrono::seconds(10));
      request.redirect_allowed = c.redirect_allowed;
      reply = http_get(request, server_->url("/s"));
    });
    EXPECT_EQ(failure, c.failure) << c.status;
    if (failure == "<none>") {
      EXPECT_EQ(reply.result_int(), c.status);
      EXPECT_EQ(reply.body(), c.status == 204 ? "" : "body");  // a 204 reply has no body
      EXPECT_EQ(reply["Location"], "https://127.0.0.1:1/next");  // looked up without regard to case
    }
  }
}

TEST_F(HttpsExchangeTest, InterimRepliesBeforeTheRealOneAreSkipped) {
  const std::string real = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nfinal";
  struct Case {
    const char* what;
    std::string before;
    const char* failure;
  };
  const Case cases[] = {
      {"100 Continue", "HTTP/1.1 100 Continue\r\n\r\n", "<none>"},
      {"103 Early Hints with a field", "HTTP/1.1 103 Early Hints\r\nLink: </a.css>; rel=preload\r\n\r\n", "<none>"},
      {"three in a row", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 103 Hints\r\n\r\n",
       "<none>"},
      // A protocol switch nobody asked for is no interim reply.
      {"101 Switching Protocols", "HTTP/1.1 101 Switching Protocols\r\n\r\n", "Http result : 101"},
  };
  for (const Case& c : cases) {
    server_->script({ScriptedReply::bytes(c.before + real)});
    CloudReply reply;
    EXPECT_EQ(failure_of<std::runtime_error>([&] { reply = get(server_->url("/interim")); }), c.failure) << c.what;
    if (std::string(c.failure) == "<none>") {
      EXPECT_EQ(reply.result_int(), 200u) << c.what;
      EXPECT_EQ(reply.body(), "final") << c.what;
      EXPECT_EQ(reply["Link"], "") << c.what;  // the interim reply's fields are not the reply's
    }
  }
}

TEST_F(HttpsExchangeTest, AReplyMustArriveWithinItsTotalDeadlineHoweverItTrickles) {
  // One byte every 100 ms never trips the one-second inactivity rule: the header is due within
  // the second, the body at a least average rate, whatever keeps arriving.
  const std::string header = "HTTP/1.1 200 OK\r\nX-Filler: abcdefghijklmnopqrstuvwxyz\r\nContent-Length: 40\r\n\r\n";
  const std::string short_header = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n";
  struct Case {
    const char* what;
    ScriptedReply reply;
    const char* failure;  // the start of the network error's text, or "<none>"
  };
  const Case cases[] = {
      {"a header trickling for 7 s", ScriptedReply::drip(header + std::string(40, 'b'), 0, 100ms),
       "reading the reply's header: the reply came too slowly"},
      {"a body trickling for 4 s", ScriptedReply::drip(header + std::string(40, 'b'), header.size(), 100ms),
       "reading the reply's body: the reply came too slowly"},
      {"a body trickling for 0.3 s", ScriptedReply::drip(short_header + "abc", short_header.size(), 100ms), "<none>"},
  };
  for (const Case& c : cases) {
    server_->script({c.reply});
    CloudReply reply;
    const std::string failure =
        failure_of<boost::system::system_error>([&] { reply = get(server_->url("/slow"), std::chrono::seconds(1)); });
    EXPECT_EQ(failure.rfind(c.failure, 0), 0u) << c.what << ": " << failure;
    if (std::string(c.failure) == "<none>") EXPECT_EQ(reply.body(), "abc") << c.what;
  }
}

TEST_F(HttpsExchangeTest, NameResolutionIsWaitedForOnlyUntilTheDeadline) {
  struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    bool finished = false;
  };
  const auto gate = std::make_shared<Gate>();
  const NameResolver before =
      exchange_name_resolver_for_testing([gate](const std::string&, const std::string&, Endpoints&) {
        std::unique_lock lock(gate->mutex);
        gate->changed.wait_for(lock, std::chrono::seconds(20), [&] { return gate->open; });
        gate->finished = true;
        gate->changed.notify_all();
        return boost::system::error_code(boost::asio::error::host_not_found);
      });
  const std::string failure = failure_of<boost::system::system_error>(
      [&] { get(server_->url("/resolve"), std::chrono::milliseconds(300)); });
  std::unique_lock lock(gate->mutex);
  EXPECT_FALSE(gate->finished);  // the exchange gave up on a resolution still running
  gate->open = true;
  gate->changed.notify_all();
  EXPECT_TRUE(gate->changed.wait_for(lock, std::chrono::seconds(20), [&] { return gate->finished; }));
  lock.unlock();
  exchange_name_resolver_for_testing(before);
  EXPECT_EQ(failure.rfind("resolving 127.0.0.1: no progress before the deadline", 0), 0u) << failure;
  EXPECT_EQ(server_->connections(), 0);
}

TEST_F(HttpsExchangeTest, TheCertificateMustChainToATrustedRootAndNameTheHost) {
  struct Case {
    const char* leaf;
    const char* host;
    bool reached;
  };
  const Case cases[] = {
      {"server", "127.0.0.1", true},        {"server", "localhost", true},
      {"localhost_only", "localhost", true}, {"localhost_only", "127.0.0.1", false},  // valid, for another name
      {"ip_only", "127.0.0.1", true},       {"ip_only", "localhost", false},
      {"expired", "127.0.0.1", false},
      {"cn_only", "localhost", false},  // the subject's common name never counts
  };
  for (const Case& c : cases) {
    auto server = server_with(c.leaf);
    const std::string failure = failure_of<boost::system::system_error>([&] { get(server->url("/t", c.host)); });
    if (c.reached) {
      EXPECT_EQ(failure, "<none>") << c.leaf << " at " << c.host;
      EXPECT_EQ(server->journal().size(), 1u);
    } else {
      EXPECT_EQ(failure.rfind("handshake", 0), 0u) << c.leaf << " at " << c.host << ": " << failure;
      EXPECT_TRUE(server->journal().empty());
    }
  }
}

TEST_F(HttpsExchangeTest, WithoutTheTestRootsTheTestAuthorityIsNotTrusted) {
  test::ScopedEnv no_roots("VELORIUM_TEST_ROOTS", std::nullopt);
  const std::string failure = failure_of<boost::system::system_error>([&] { get(server_->url("/t")); });
  EXPECT_EQ(failure.rfind("handshake", 0), 0u) << failure;
  EXPECT_TRUE(server_->journal().empty());
}

TEST_F(HttpsExchangeTest, ATunnelThroughTheProxyCarriesNoApiKey) {
  test::ConnectRelay relay;
  const std::size_t cached_before = proxy_endpoint_cache_size();
  for (int k = 0; k < 2; ++k) {
    CloudRequest request(relay.url());
    request.set_field("X-API-KEY", "secret-key");
    const CloudReply reply = http_get(request, server_->url("/through"));
    EXPECT_EQ(reply.body(), "ok");
  }
  const std::string authority = "127.0.0.1:" + std::to_string(server_->port());
  ASSERT_EQ(relay.journal().size(), 2u);
  const RecordedRequest tunnel = relay.journal().front();
  EXPECT_EQ(tunnel.request_line, "CONNECT " + authority + " HTTP/1.1");
  EXPECT_EQ(field_names(tunnel), std::vector<std::string>{"Host"});
  EXPECT_EQ(tunnel.field("Host"), authority);
  EXPECT_EQ(server_->journal().back().field("X-API-KEY"), "secret-key");
  EXPECT_EQ(proxy_endpoint_cache_size(), cached_before + 1);  // resolved once for both requests
}

TEST_F(HttpsExchangeTest, AProxyThatRefusesTheTunnelGivesANetworkErrorNamingItsStatus) {
  test::ConnectRelay relay(407);
  CloudRequest request(relay.url());
  const std::string failure =
      failure_of<boost::system::system_error>([&] { http_get(request, server_->url("/refused")); });
  EXPECT_NE(failure.find("407"), std::string::npos) << failure;
  EXPECT_EQ(server_->connections(), 0);
}

TEST_F(HttpsExchangeTest, AProxyAddressWithUserInformationIsRefusedBeforeConnecting) {
  test::ConnectRelay relay;
  CloudRequest request("http://user:password@" + relay.url().substr(7));
  const std::string failure = failure_of<boost::system::system_error>([&] { http_get(request, server_->url("/x")); });
  EXPECT_NE(failure.find("user information"), std::string::npos) << failure;
  EXPECT_TRUE(relay.journal().empty());
}

TEST_F(HttpsExchangeTest, RepliesBeyondTheLimitsOrIncompleteAreNetworkErrors) {
  const std::string status_line = "HTTP/1.1 200 OK\r\n";
  const std::string end = "Content-Length: 0\r\n\r\n";
  // A header of exactly `size` bytes, status line and final blank line included.
  const auto header_of = [&](std::size_t size) {
    const std::size_t filler = size - status_line.size() - end.size() - std::string("X: \r\n").size();
    return status_line + "X: " + std::string(filler, 'a') + "\r\n" + end;
  };
  ASSERT_EQ(header_of(8193).size(), 8193u);
  struct Case {
    const char* what;
    ScriptedReply reply;
    bool fails;
  };
  const Case cases[] = {
      {"header of 8192 bytes", ScriptedReply::bytes(header_of(8192)), false},
      {"header of 8193 bytes", ScriptedReply::bytes(header_of(8193)), true},
      {"body of 100,000,001 bytes", ScriptedReply::bytes(status_line + "Content-Length: 100000001\r\n\r\nabc"), true},
      {"body cut short", ScriptedReply::bytes(status_line + "Content-Length: 10\r\n\r\nabc"), true},
      {"no reply", ScriptedReply::close_at_once(), true},
      {"not HTTP", ScriptedReply::bytes("garbage\r\n\r\n"), true},
  };
  for (const Case& c : cases) {
    server_->script({c.reply});
    const std::string failure = failure_of<boost::system::system_error>([&] { get(server_->url("/limits")); });
    EXPECT_EQ(failure != "<none>", c.fails) << c.what << ": " << failure;
  }
}

TEST_F(HttpsExchangeTest, APeerThatNeverAnswersFailsOnceTheDeadlinePasses) {
  server_->script({ScriptedReply::never_answer()});
  const auto started = std::chrono::steady_clock::now();
  const std::string failure =
      failure_of<boost::system::system_error>([&] { get(server_->url("/silent"), std::chrono::milliseconds(200)); });
  EXPECT_NE(failure.find("reading the reply"), std::string::npos) << failure;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(HttpsExchangeTest, TheReporterEndsAtTheWholeRequestSize) {
  RecordingReporter reporter;
  CloudRequest request;
  request.message.method(http::verb::post);
  request.message.body() = std::string(10000, 'b');
  send_request(request, server_->url("/report"), "", &reporter);
  ASSERT_FALSE(reporter.values.empty());
  EXPECT_EQ(reporter.values.back(), server_->journal().back().raw_size);
}

TEST_F(HttpsExchangeTest, AFileBodyIsStreamedWithItsLength) {
  test::ScratchDir dir;
  std::string content;
  for (int k = 0; k < 5000; ++k) content += static_cast<char>('a' + k % 26);
  content += std::string(15000, '\0');
  const std::string path = dir.write("body.bin", content);
  CloudFileRequest request;
  request.message.method(http::verb::post);
  boost::system::error_code ec;
  request.message.body().open(path.c_str(), boost::beast::file_mode::scan, ec);
  ASSERT_FALSE(ec);
  RecordingReporter reporter;
  send_request(request, server_->url("/upload"), "", &reporter);
  const RecordedRequest sent = server_->journal().back();
  EXPECT_EQ(sent.field("Content-Length"), "20000");
  EXPECT_EQ(sent.body, content);
  EXPECT_GE(reporter.values.size(), 5u);  // the file goes out in blocks of at most 4096 bytes
  EXPECT_EQ(reporter.values.back(), sent.raw_size);
}

TEST_F(HttpsExchangeTest, AnAddressWithoutHostFailsWithoutConnecting) {
  const std::string failure = failure_of<boost::system::system_error>([&] { get("https:///x"); });
  EXPECT_NE(failure, "<none>");
  EXPECT_EQ(server_->connections(), 0);
}

}  // namespace
}  // namespace velorium::nimbrova

namespace velorium::nimbrova {
namespace {

// A target (or host) with a blank or a control character could end the request line early
// and write a second request of its own, with the API key: refused before connecting.
TEST_F(HttpsExchangeTest, AnAddressWithABlankOrAControlCharacterIsRefusedBeforeConnecting) {
  const std::string port = std::to_string(server_->port());
  for (const std::string& url :
       {"https://127.0.0.1:" + port + "/calc/X/status HTTP/1.1\r\nHost: h\r\n\r\nPATCH /victim",
        "https://127.0.0.1:" + port + "/a b", "https://127.0.0.1:" + port + "/a\tb",
        "https://127.0.0.1:" + port + "/a\nb", "https://127.0.0.1:" + port + "/a\x7f",
        "https://127.0.0.1\r\nX: y:" + port + "/a", "https://127.0.0.1:" + port + " /a"}) {
    const std::string failure = failure_of<std::invalid_argument>([&] { get(url); });
    EXPECT_NE(failure.find("holds a blank or a control character; nothing was sent"), std::string::npos) << failure;
    EXPECT_EQ(failure.find_first_of("\r\n\t\x7f"), std::string::npos) << failure;
  }
  EXPECT_EQ(server_->connections(), 0);
  EXPECT_EQ(failure_of<std::exception>([&] { get(server_->url("/a%20b?c=d&e=f-g_h.i~j")); }), "<none>");
}

}  // namespace
}  // namespace velorium::nimbrova
