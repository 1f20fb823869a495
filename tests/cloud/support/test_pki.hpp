// The client tests' certificate authority: made once per test program by make_test_pki.py in
// a scratch folder (the authority's key never leaves it), removed when the program ends.
#pragma once

#include <string>

#include "support/scoped_env.hpp"

namespace velorium::test {

class TestPki {
 public:
  static const TestPki& get();
  ~TestPki();

  const std::string& folder() const { return folder_; }
  std::string authority() const { return folder_ + "/ca.pem"; }
  // Certificate and key files of "server", "localhost_only", "ip_only", "expired" or "cn_only".
  std::string certificate(const std::string& leaf) const { return folder_ + "/" + leaf + ".pem"; }
  std::string key(const std::string& leaf) const { return folder_ + "/" + leaf + ".key"; }

 private:
  TestPki();
  std::string folder_;
};

// VELORIUM_TEST_ROOTS names the test authority for the scope.
class ScopedTestRoots {
 public:
  ScopedTestRoots() : env_("VELORIUM_TEST_ROOTS", TestPki::get().authority()) {}

 private:
  ScopedEnv env_;
};

}  // namespace velorium::test
