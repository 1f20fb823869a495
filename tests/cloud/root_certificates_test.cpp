#include "cloud/root_certificates.hpp"

#include <gtest/gtest.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <memory>
#include <string_view>

#include "cloud/support/test_pki.hpp"
#include "support/scoped_env.hpp"

namespace velorium::nimbrova {
namespace {

// The number of certificates a fresh context trusts after loading the roots; -1 on failure.
int trusted_after_loading() {
  std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_client_method()), SSL_CTX_free);
  boost::system::error_code ec;
  load_root_certificates(context.get(), ec);
  if (ec) return -1;
  return sk_X509_OBJECT_num(X509_STORE_get0_objects(SSL_CTX_get_cert_store(context.get())));
}

TEST(RootCertificates, EveryEntryIsANamedPemCertificateFollowedByAnEmptyLine) {
  std::string_view rest = kRootCertificatesBundle;
  std::size_t entries = 0;
  while (!rest.empty()) {
    ASSERT_TRUE(rest.starts_with("# ")) << entries;
    const std::size_t end = rest.find("-----END CERTIFICATE-----\n\n");
    ASSERT_NE(end, std::string_view::npos);
    const std::string_view entry = rest.substr(0, end);
    EXPECT_NE(entry.find("\n-----BEGIN CERTIFICATE-----\n"), std::string_view::npos);
    rest.remove_prefix(end + std::string_view("-----END CERTIFICATE-----\n\n").size());
    ++entries;
  }
  EXPECT_EQ(entries, kRootCertificateCount);
  EXPECT_EQ(std::string_view(kRootCertificatesBundle).substr(0, 12), "# ACCVRAIZ1\n");
}

TEST(RootCertificates, TheTestAuthorityIsAddedOnlyWhileTheVariableNamesIt) {
  if (!test_roots_enabled()) GTEST_SKIP() << "needs a build with VELORIUM_TEST_TRUST=ON";
  {
    test::ScopedEnv none("VELORIUM_TEST_ROOTS", std::nullopt);
    EXPECT_EQ(trusted_after_loading(), static_cast<int>(kRootCertificateCount));
  }
  {
    test::ScopedTestRoots roots;
    EXPECT_EQ(trusted_after_loading(), static_cast<int>(kRootCertificateCount) + 1);
  }
  {
    test::ScopedEnv missing("VELORIUM_TEST_ROOTS", test::TestPki::get().folder() + "/no-such.pem");
    EXPECT_EQ(trusted_after_loading(), -1);  // a named file that cannot be read is a failure
  }
}

}  // namespace
}  // namespace velorium::nimbrova
