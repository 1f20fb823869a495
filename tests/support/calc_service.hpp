// Starts the local calculation service (tools/calc-service) for a C++ test and talks to its
// control port: the journal of what the client sent, scripted faults, status and log scripts.
// Control requests carry the service's control token, read from its state folder's
// service.json (which only this user can read).
// The service runs in its own process with its state in a scratch folder; the destructor shuts
// it down (and kills it when it does not go within 5 seconds). VELORIUM_CALC_SERVICE may name
// another copy of the script.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <boost/json/array.hpp>
#include <boost/json/value.hpp>

#include "support/scoped_env.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::test {

class CalcService {
 public:
  // The path of the service's script; empty when this tree has none.
  static std::string script();
  static bool available() { return !script().empty(); }

  // Starts it and waits (at most 30 s) for its ready line; std::runtime_error otherwise.
  // An empty `api_key` lets the service make a random one; a key given reaches it through its
  // environment, never its command line (which every local user can read). `options` are
  // further command-line options ("--max-model-bytes", "1000", ...).
  explicit CalcService(const std::string& api_key = {}, const std::vector<std::string>& options = {});
  ~CalcService();
  CalcService(const CalcService&) = delete;
  CalcService& operator=(const CalcService&) = delete;

  const std::string& base() const { return base_; }  // "https://127.0.0.1:P/api/v1/calculations/"
  const std::string& api_key() const { return api_key_; }
  const std::string& ca() const { return ca_; }
  std::string relay_url() const { return "http://127.0.0.1:" + std::to_string(relay_port_); }
  // The path part of `base`: "/api/v1/calculations/".
  std::string base_path() const;

  // NIMBROVA_TEST_SERVER_ADDRESS, X_API_KEY and VELORIUM_TEST_ROOTS for the client, while the
  // returned object lives.
  class ClientEnvironment {
   public:
    explicit ClientEnvironment(const CalcService& service)
        : address_("NIMBROVA_TEST_SERVER_ADDRESS", service.base()),
          key_("X_API_KEY", service.api_key()),
          roots_("VELORIUM_TEST_ROOTS", service.ca()) {}

   private:
    ScopedEnv address_;
    ScopedEnv key_;
    ScopedEnv roots_;
  };
  std::unique_ptr<ClientEnvironment> client_environment() const {
    return std::make_unique<ClientEnvironment>(*this);
  }

  // Control requests (a failed one throws std::runtime_error with the reply).
  boost::json::array journal() const;  // every request, in order
  void clear_journal() const;
  void faults(const boost::json::array& rules) const;
  void status_script(const boost::json::array& statuses, const std::optional<std::string>& uid = {}) const;
  void log_script(const boost::json::array& pieces, const std::optional<std::string>& uid = {}) const;
  void hold(double seconds) const;
  boost::json::array relay_journal() const;
  boost::json::array calculations() const;

  // One control request: method, path and JSON body (null: none); the reply's JSON.
  boost::json::value control(const std::string& method, const std::string& path,
                             const boost::json::value& body = nullptr) const;

 private:
  ScratchDir folder_;
  pid_t pid_ = -1;
  std::string base_;
  std::string api_key_;
  std::string ca_;
  std::string control_token_;
  int control_port_ = 0;
  int relay_port_ = 0;
};

// A journal entry's header value (first of that name, exact case); "<absent>" when missing.
// The journal gives "X-API-KEY" as "present" (the service's key) or "wrong", never the key.
std::string journal_header(const boost::json::value& entry, const std::string& name);
bool journal_has_header(const boost::json::value& entry, const std::string& name);
// The entries of one endpoint ("create", "upload", "status", "log", "result", "details",
// "cancel", ...), in order.
boost::json::array journal_of(const boost::json::array& journal, const std::string& endpoint);

}  // namespace velorium::test
