"""The per-run certificate authority and the server certificate."""

import ipaddress
import os
import socket
import ssl

import pytest
from cryptography import x509

from reference_client import request


def load(path):
    with open(path, "rb") as source:
        return x509.load_pem_x509_certificate(source.read())


def test_the_authority_is_name_constrained_to_this_machine(service):
    ca = load(service.ca)
    assert ca.extensions.get_extension_for_class(x509.BasicConstraints).value.ca
    constraints = ca.extensions.get_extension_for_class(x509.NameConstraints)
    assert constraints.critical
    assert set(constraints.value.permitted_subtrees) == {
        x509.DNSName("localhost"), x509.IPAddress(ipaddress.IPv4Network("127.0.0.1/32"))}
    server = load(os.path.join(service.state, "server.pem"))
    names = server.extensions.get_extension_for_class(x509.SubjectAlternativeName).value
    assert set(names) == {x509.DNSName("localhost"),
                          x509.IPAddress(ipaddress.IPv4Address("127.0.0.1"))}
    assert server.issuer == ca.subject


@pytest.mark.parametrize("host", ["127.0.0.1", "localhost"])
def test_a_client_trusting_the_authority_connects_by_either_name(service, host):
    url = service.base.replace("127.0.0.1", host) + "x/status"
    assert request(url, headers=[("X-API-KEY", service.api_key)], ca=service.ca).status == 404


def test_a_client_without_the_authority_is_refused(service):
    context = ssl.create_default_context()
    with socket.create_connection(("127.0.0.1", service.port), timeout=10) as raw:
        with pytest.raises(ssl.SSLCertVerificationError):
            context.wrap_socket(raw, server_hostname="localhost")
