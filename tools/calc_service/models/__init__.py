"""The service's own model record and its MPS and LP readers."""
