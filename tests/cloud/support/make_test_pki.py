#!/usr/bin/python3
"""Makes a throw-away certificate authority and server certificates for the client's tests.

    make_test_pki.py FOLDER

writes into FOLDER: ca.pem (the authority, limited by name constraints to localhost and
127.0.0.1; its key ca.key stays in FOLDER) and, each with its .key, server.pem (localhost and
127.0.0.1), localhost_only.pem (the name localhost only), ip_only.pem (127.0.0.1 only),
expired.pem (both names, expired yesterday) and cn_only.pem (no subjectAltName at all, the
subject's common name localhost).
"""
import datetime
import ipaddress
import os
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID


def write_key(path, key):
    data = key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                             serialization.NoEncryption())
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    with os.fdopen(fd, "wb") as f:
        f.write(data)


def write_cert(path, cert):
    with open(path, "wb") as f:
        f.write(cert.public_bytes(serialization.Encoding.PEM))


def name(text):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])


def main(folder):
    now = datetime.datetime.now(datetime.timezone.utc)
    ca_key = ec.generate_private_key(ec.SECP256R1())
    localhost = x509.DNSName("localhost")
    loopback = x509.IPAddress(ipaddress.IPv4Address("127.0.0.1"))
    ca = (x509.CertificateBuilder()
          .subject_name(name("Velorium test authority"))
          .issuer_name(name("Velorium test authority"))
          .public_key(ca_key.public_key())
          .serial_number(x509.random_serial_number())
          .not_valid_before(now - datetime.timedelta(days=1))
          .not_valid_after(now + datetime.timedelta(days=2))
          .add_extension(x509.BasicConstraints(ca=True, path_length=0), critical=True)
          .add_extension(x509.KeyUsage(False, False, False, False, False, True, True, False, False), critical=True)
          .add_extension(x509.NameConstraints(
              permitted_subtrees=[localhost, x509.IPAddress(ipaddress.IPv4Network("127.0.0.1/32"))],
              excluded_subtrees=None), critical=True)
          .add_extension(x509.SubjectKeyIdentifier.from_public_key(ca_key.public_key()), critical=False)
          .sign(ca_key, hashes.SHA256()))
    write_key(os.path.join(folder, "ca.key"), ca_key)
    write_cert(os.path.join(folder, "ca.pem"), ca)

    leaves = {
        "server": ([localhost, loopback], now - datetime.timedelta(days=1), now + datetime.timedelta(days=2)),
        "cn_only": ([], now - datetime.timedelta(days=1), now + datetime.timedelta(days=2)),
        "localhost_only": ([localhost], now - datetime.timedelta(days=1), now + datetime.timedelta(days=2)),
        "ip_only": ([loopback], now - datetime.timedelta(days=1), now + datetime.timedelta(days=2)),
        "expired": ([localhost, loopback], now - datetime.timedelta(days=10), now - datetime.timedelta(days=1)),
    }
    for leaf, (names, begin, end) in leaves.items():
        key = ec.generate_private_key(ec.SECP256R1())
        builder = (x509.CertificateBuilder()
                   .subject_name(name(leaf if names else "localhost"))
                   .issuer_name(ca.subject)
                   .public_key(key.public_key())
                   .serial_number(x509.random_serial_number())
                   .not_valid_before(begin)
                   .not_valid_after(end))
        if names:
            builder = builder.add_extension(x509.SubjectAlternativeName(names), critical=False)
        cert = (builder
                .add_extension(x509.BasicConstraints(ca=False, path_length=None), critical=True)
                .add_extension(x509.KeyUsage(True, False, False, False, False, False, False, False, False),
                               critical=True)
                .add_extension(x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]), critical=False)
                .add_extension(x509.AuthorityKeyIdentifier.from_issuer_public_key(ca_key.public_key()),
                               critical=False)
                .sign(ca_key, hashes.SHA256()))
        write_key(os.path.join(folder, leaf + ".key"), key)
        write_cert(os.path.join(folder, leaf + ".pem"), cert)


if __name__ == "__main__":
    main(sys.argv[1])
