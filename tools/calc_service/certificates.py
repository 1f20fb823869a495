"""A certificate authority for one run, name-constrained to localhost and 127.0.0.1, and the
server certificate it signs, written only into the state folder (files of mode 0600)."""

import datetime
import ipaddress
import os

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID

from .state_folder import write_private_file

LOOPBACK = ipaddress.IPv4Address("127.0.0.1")


def _key_pem(key):
    return key.private_bytes(serialization.Encoding.PEM,
                             serialization.PrivateFormat.PKCS8,
                             serialization.NoEncryption())


def create_certificates(state):
    """Writes ca.pem, ca-key.pem, server.pem and server-key.pem; returns their paths."""
    now = datetime.datetime.now(datetime.timezone.utc)
    start, end = now - datetime.timedelta(minutes=5), now + datetime.timedelta(days=2)
    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca_name = x509.Name([x509.NameAttribute(NameOID.ORGANIZATION_NAME, "Velorium test"),
                         x509.NameAttribute(NameOID.COMMON_NAME,
                                            "Velorium local calculation service CA")])
    ca = (x509.CertificateBuilder()
          .subject_name(ca_name).issuer_name(ca_name)
          .public_key(ca_key.public_key())
          .serial_number(x509.random_serial_number())
          .not_valid_before(start).not_valid_after(end)
          .add_extension(x509.BasicConstraints(ca=True, path_length=0), critical=True)
          .add_extension(x509.KeyUsage(digital_signature=False, content_commitment=False,
                                       key_encipherment=False, data_encipherment=False,
                                       key_agreement=False, key_cert_sign=True, crl_sign=True,
                                       encipher_only=False, decipher_only=False), critical=True)
          .add_extension(x509.NameConstraints(
              permitted_subtrees=[x509.DNSName("localhost"),
                                  x509.IPAddress(ipaddress.IPv4Network("127.0.0.1/32"))],
              excluded_subtrees=None), critical=True)
          .add_extension(x509.SubjectKeyIdentifier.from_public_key(ca_key.public_key()),
                         critical=False)
          .sign(ca_key, hashes.SHA256()))
    server_key = ec.generate_private_key(ec.SECP256R1())
    server = (x509.CertificateBuilder()
              .subject_name(x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "localhost")]))
              .issuer_name(ca_name)
              .public_key(server_key.public_key())
              .serial_number(x509.random_serial_number())
              .not_valid_before(start).not_valid_after(end)
              .add_extension(x509.BasicConstraints(ca=False, path_length=None), critical=True)
              .add_extension(x509.SubjectAlternativeName(
                  [x509.DNSName("localhost"), x509.IPAddress(LOOPBACK)]), critical=False)
              .add_extension(x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]),
                             critical=False)
              .add_extension(x509.AuthorityKeyIdentifier.from_issuer_public_key(
                  ca_key.public_key()), critical=False)
              .sign(ca_key, hashes.SHA256()))
    paths = {name: os.path.join(state, name) for name in
             ("ca.pem", "ca-key.pem", "server.pem", "server-key.pem")}
    write_private_file(paths["ca-key.pem"], _key_pem(ca_key))
    write_private_file(paths["server-key.pem"], _key_pem(server_key))
    write_private_file(paths["ca.pem"], ca.public_bytes(serialization.Encoding.PEM))
    write_private_file(paths["server.pem"], server.public_bytes(serialization.Encoding.PEM))
    return paths
