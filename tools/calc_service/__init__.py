"""Local calculation service: a loopback stand-in for the remote calculation service."""
