// A default build's root loading: a certificate named by VELORIUM_TEST_ROOTS must not reach the
// trust store. Exits 0 when it does not.
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cloud/root_certificates.hpp"

namespace {

int fail(const char* what) {
  std::fprintf(stderr, "roots_without_test_trust: %s\n", what);
  return 1;
}

// A throw-away self-signed certificate in a file of its own.
std::string write_self_signed(const std::string& folder) {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  X509* certificate = X509_new();
  X509_set_version(certificate, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
  X509_gmtime_adj(X509_getm_notAfter(certificate), 3600);
  X509_set_pubkey(certificate, key);
  X509_NAME* name = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("not trusted"), -1,
                             -1, 0);
  X509_set_issuer_name(certificate, name);
  X509_sign(certificate, key, EVP_sha256());
  const std::string path = folder + "/roots.pem";
  BIO* file = BIO_new_file(path.c_str(), "w");
  PEM_write_bio_X509(file, certificate);
  BIO_free(file);
  X509_free(certificate);
  EVP_PKEY_free(key);
  return path;
}

}  // namespace

int main() {
  using namespace velorium::nimbrova;
  if (test_roots_enabled()) return fail("this copy was compiled with VELORIUM_TEST_TRUST");
  char folder[] = "/tmp/velorium-roots-XXXXXX";
  if (!::mkdtemp(folder)) return fail("no scratch folder");
  const std::string path = write_self_signed(folder);
  ::setenv("VELORIUM_TEST_ROOTS", path.c_str(), 1);

  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  boost::system::error_code ec;
  load_root_certificates(context, ec);
  const int trusted = sk_X509_OBJECT_num(X509_STORE_get0_objects(SSL_CTX_get_cert_store(context)));
  SSL_CTX_free(context);
  ::unlink(path.c_str());
  ::rmdir(folder);
  if (ec) return fail(ec.message().c_str());
  if (trusted != static_cast<int>(kRootCertificateCount)) return fail("a certificate besides the bundle is trusted");
  return 0;
}
