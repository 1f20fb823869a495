#include "cloud/root_certificates.hpp"

#include <cstdlib>
#include <memory>
#include <vector>

#include <boost/asio/ssl/error.hpp>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

namespace velorium::nimbrova {

namespace {

struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
struct X509Free {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
using BioPtr = std::unique_ptr<BIO, BioFree>;
using X509Ptr = std::unique_ptr<X509, X509Free>;

boost::system::error_code last_tls_error() {
  const unsigned long code = ERR_get_error();
  return {static_cast<int>(code != 0 ? code : ERR_PACK(ERR_LIB_X509, 0, ERR_R_INTERNAL_ERROR)),
          boost::asio::error::get_ssl_category()};
}

// Reads every PEM certificate that `bio` holds; none at all counts as a failure.
std::vector<X509Ptr> read_certificates(BIO* bio, boost::system::error_code& ec) {
  ERR_clear_error();
  std::vector<X509Ptr> certificates;
  while (X509Ptr certificate{PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)}) {
    certificates.push_back(std::move(certificate));
  }
  // The loop ends at the text's end, reported as "no start line"; anything else is a fault.
  const unsigned long last = ERR_peek_last_error();
  if (certificates.empty() || (last != 0 && ERR_GET_REASON(last) != PEM_R_NO_START_LINE)) {
    ec = last_tls_error();
    certificates.clear();
  }
  ERR_clear_error();
  return certificates;
}

void add_certificates(X509_STORE* store, const std::vector<X509Ptr>& certificates, boost::system::error_code& ec) {
  for (const X509Ptr& certificate : certificates) {
    if (X509_STORE_add_cert(store, certificate.get()) != 1) {
      ec = last_tls_error();
      return;
    }
  }
}

// The bundle, parsed once for the process: every request's fresh trust store gets these
// certificates (each store takes its own reference), so no request parses the text again.
struct ParsedBundle {
  std::vector<X509Ptr> certificates;
  boost::system::error_code error;
};

const ParsedBundle& parsed_bundle() {
  static const ParsedBundle bundle = [] {
    ParsedBundle parsed;
    BioPtr text{BIO_new_mem_buf(kRootCertificatesBundle, -1)};
    if (!text) {
      parsed.error = last_tls_error();
    } else {
      parsed.certificates = read_certificates(text.get(), parsed.error);
    }
    return parsed;
  }();
  return bundle;
}

}  // namespace

bool test_roots_enabled() noexcept {
#ifdef VELORIUM_TEST_TRUST
  return true;
#else
  return false;
#endif
}

void load_root_certificates(SSL_CTX* context, boost::system::error_code& ec) {
  ec.clear();
  X509_STORE* store = SSL_CTX_get_cert_store(context);
  const ParsedBundle& bundle = parsed_bundle();
  if (!store || bundle.error) {
    ec = store ? bundle.error : last_tls_error();
    return;
  }
  add_certificates(store, bundle.certificates, ec);
  if (ec) return;
#ifdef VELORIUM_TEST_TRUST
  // Only builds made for tests reach this: they trust the authority of a local test service.
  if (const char* path = std::getenv("VELORIUM_TEST_ROOTS"); path && *path) {
    BioPtr file{BIO_new_file(path, "r")};
    if (!file) {
      ec = last_tls_error();
      return;
    }
    const std::vector<X509Ptr> test_roots = read_certificates(file.get(), ec);
    if (!ec) add_certificates(store, test_roots, ec);
  }
#endif
}

}  // namespace velorium::nimbrova
