"""The state folder and what the service writes into it, private to the user who runs it:
folders 0700, files 0600 (the service sets its umask to 077 at start, so that its solver
processes write the same way)."""

import os
import stat


class StateFolderError(OSError):
    pass


def private_folder(path):
    """Creates the folder 0700, or makes an existing one of this user 0700; a folder (or a
    link to one) that belongs to another user is refused before anything is written in it."""
    os.makedirs(path, mode=0o700, exist_ok=True)
    user = os.geteuid()
    link = os.lstat(path)
    found = os.stat(path)
    if link.st_uid != user or found.st_uid != user:
        owner = link.st_uid if link.st_uid != user else found.st_uid
        raise StateFolderError(f"it belongs to another user (uid {owner})")
    if not stat.S_ISDIR(found.st_mode):
        raise StateFolderError("it is not a folder")
    os.chmod(path, 0o700)


def write_private_file(path, data):
    """Writes a new file of mode 0600; a file left there by an earlier run is replaced, and a
    link put in its place is never followed."""
    try:
        os.unlink(path)
    except FileNotFoundError:
        pass
    descriptor = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW, 0o600)
    with os.fdopen(descriptor, "wb") as target:
        target.write(data)
