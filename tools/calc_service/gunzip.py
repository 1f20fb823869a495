"""Bounded decompression of an uploaded gzip file."""

import gzip
import os
import zlib


class GunzipError(ValueError):
    def __init__(self, too_large, message):
        super().__init__(message)
        self.too_large = too_large


def gunzip_file(source, target, limit):
    """Writes the decompressed bytes of source to target; returns their count. A corrupt
    stream or more than limit bytes raises GunzipError and leaves no target."""
    written = 0
    try:
        with gzip.open(source, "rb") as packed, open(target, "wb") as plain:
            while True:
                block = packed.read(1 << 20)
                if not block:
                    break
                written += len(block)
                if written > limit:
                    raise GunzipError(True, f"larger than {limit} bytes once decompressed")
                plain.write(block)
    except (OSError, EOFError, zlib.error) as error:
        _remove(target)
        raise GunzipError(False, f"not a valid gzip stream ({error})") from None
    except GunzipError:
        _remove(target)
        raise
    return written


def _remove(path):
    try:
        os.unlink(path)
    except OSError:
        pass
