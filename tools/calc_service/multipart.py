"""The upload body, framed exactly as the library's client writes it: the form fields, then
one file part, then "\\r\\n\\r\\n--B\\r\\n" (the standard close "\\r\\n--B--\\r\\n" is taken
too). No general multipart parser: the file part must be the last one, and its bytes run up to
the trailer, so they may hold anything. The fields come first, so they are read (and the upload
refused when they are wrong) before the file's bytes are stored."""

import re

_DISPOSITION = re.compile(r'^Content-Disposition:\s*form-data;\s*name="([^"]*)"'
                          r'(?:;\s*filename="([^"]*)")?\s*$', re.IGNORECASE)


class UploadError(ValueError):
    pass


def boundary_of(content_type):
    if content_type is None:
        raise UploadError("the upload has no Content-Type")
    kind, _, parameters = content_type.partition(";")
    if kind.strip().lower() != "multipart/form-data":
        raise UploadError(f"the upload's Content-Type is '{kind.strip()}', not"
                          " multipart/form-data")
    for parameter in parameters.split(";"):
        name, _, value = parameter.strip().partition("=")
        if name.lower() == "boundary" and value:
            return value.strip('"').encode("latin-1")
    raise UploadError("the upload's Content-Type names no boundary")


def parse_form(head, boundary, complete):
    """The form fields (a list of (name, value)), the file part's name and the offset of its
    bytes in the body, read from the body's first bytes `head`. None when head ends before the
    file part's header does and more of the body may follow (complete false)."""
    delimiter = b"--" + boundary + b"\r\n"
    fields, position = [], 0
    while True:
        if not head.startswith(delimiter, position):
            if not complete and delimiter.startswith(head[position:]):
                return None
            raise UploadError(f"expected the boundary line at byte {position}")
        position += len(delimiter)
        header_end = head.find(b"\r\n\r\n", position)
        if header_end < 0:
            if not complete:
                return None
            raise UploadError("a part's header does not end")
        header = head[position:header_end].decode("utf-8", "replace")
        match = None
        for line in header.split("\r\n"):
            match = match or _DISPOSITION.match(line)
        if match is None:
            raise UploadError("a part has no Content-Disposition with a name")
        content = header_end + 4
        if match.group(2) is not None:
            return fields, match.group(2), content
        value_end = head.find(b"\r\n--" + boundary, content)
        if value_end < 0:
            if not complete:
                return None
            raise UploadError(f"the value of field '{match.group(1)}' does not end")
        fields.append((match.group(1), head[content:value_end].decode("utf-8", "replace")))
        position = value_end + 2


def file_end(total_length, tail, boundary, start):
    """The offset where the file's bytes end, from the body's last bytes `tail`."""
    for trailer in (b"\r\n\r\n--" + boundary + b"\r\n", b"\r\n--" + boundary + b"--\r\n",
                    b"\r\n--" + boundary + b"--"):
        if tail.endswith(trailer) and total_length - len(trailer) >= start:
            return total_length - len(trailer)
    raise UploadError("the upload does not end with the boundary trailer")
