"""The HTTPS front: the calculation protocol, the storage addresses, the journal and the
scripted faults. One request per connection."""

import base64
import hashlib
import hmac
import json
import math
import os
import ssl
import sys
import tempfile
import time
import traceback

from . import multipart
from .background_server import BackgroundServer, ThreadingServer, connection_handler
from .gunzip import GunzipError, gunzip_file
from .header_deadline import HeaderDeadline
from .http_io import EarlyReply, RequestError, drain, interim_bytes, read_request, reply_bytes

API_PREFIX = "/api/v1/calculations/"
POLL_WORDS = ("status", "log", "result", "details")
API_ENDPOINTS = {"create", "status", "log", "result", "details", "cancel"}
CREATE_BODY_LIMIT = 1 << 20
START_FILE_LIMIT = 64 << 20
URL_LIFETIME_SECONDS = 600
# How long the rest of a body refused early is read and dropped, for the reply to reach a
# client that writes the whole body before it reads.
EARLY_REPLY_LINGER_SECONDS = 10


def classify(method, path):
    """(endpoint name, calculation identifier or None) of a request."""
    if path.startswith(API_PREFIX):
        rest = path[len(API_PREFIX):]
        parts = rest.split("/")
        if rest == "" and method == "POST":
            return "create", None
        if len(parts) == 1 and parts[0] and method == "PATCH":
            return "cancel", parts[0]
        if len(parts) == 2 and parts[1] in POLL_WORDS and method == "GET":
            return parts[1], parts[0]
        return "unknown", parts[0] or None
    if path == "/storage/upload" and method == "POST":
        return "upload", None
    parts = path.split("/")
    if len(parts) == 5 and parts[1:3] == ["storage", "calculations"] and \
            parts[4] in POLL_WORDS and method == "GET":
        return "storage_" + parts[4], parts[3]
    return "unknown", None


class Reply:
    def __init__(self, status, body=b"", headers=(), content_type="application/json"):
        self.status, self.body, self.headers, self.content_type = \
            status, body, list(headers), content_type


def json_reply(status, value, headers=()):
    return Reply(status, json.dumps(value).encode("utf-8"), headers)


def error_reply(status, message, **extra):
    return json_reply(status, dict({"error": message}, **extra))


class Api:
    def __init__(self, context):
        self.context = context
        self.secret = os.urandom(32)

    # -- signing of storage addresses ----------------------------------------------------

    def sign(self, text):
        return hmac.new(self.secret, text.encode("utf-8"), hashlib.sha256).hexdigest()

    def upload_form(self, uid):
        expires = int(time.time()) + 3600
        policy = base64.b64encode(json.dumps(
            {"calc_uid": uid, "expiration": expires,
             "max_bytes": self.context.max_upload_bytes}).encode("utf-8")).decode("ascii")
        stamp = time.strftime("%Y%m%dT%H%M%SZ", time.gmtime())
        return {"url": f"https://127.0.0.1:{self.context.port}/storage/upload",
                "fields": {"key": f"calculations/{uid}/upload", "policy": policy,
                           "x-amz-algorithm": "AWS4-HMAC-SHA256",
                           "x-amz-credential": f"local/{stamp[:8]}/calculations",
                           "x-amz-date": stamp, "x-amz-signature": self.sign(policy)}}

    def storage_location(self, uid, word):
        expires = int(time.time()) + URL_LIFETIME_SECONDS
        signature = self.sign(f"{uid}/{word}/{expires}")
        return (f"https://127.0.0.1:{self.context.port}/storage/calculations/{uid}/{word}"
                f"?expires={expires}&signature={signature}")

    # -- dispatch -------------------------------------------------------------------------

    def handle(self, request, endpoint, uid):
        if endpoint in API_ENDPOINTS or request.path.startswith(API_PREFIX):
            key = request.header("X-API-KEY")
            if key is None:
                return error_reply(401, "the header X-API-KEY is missing")
            if not hmac.compare_digest(key.encode("utf-8", "replace"),
                                       self.context.api_key.encode("utf-8")):
                return error_reply(403, "the API key is not valid")
        if endpoint == "create":
            return self.create(request)
        if endpoint == "upload":
            return self.upload(request)
        if endpoint.startswith("storage_"):
            query = request.query
            expires = query.get("expires", "")
            word = endpoint[len("storage_"):]
            if not expires.isdigit() or int(expires) < time.time() or not hmac.compare_digest(
                    query.get("signature", ""), self.sign(f"{uid}/{word}/{expires}")):
                return error_reply(403, "the storage address is not valid or has expired")
            endpoint = word
        if endpoint == "unknown":
            if request.path.startswith(API_PREFIX) or request.path.startswith("/storage/"):
                calc = self.context.calculations.get(uid) if uid else None
                if calc is None and uid:
                    return error_reply(404, f"no calculation '{uid}'")
                return error_reply(405 if uid else 404, f"no such request: {request.method}"
                                   f" {request.path}")
            return error_reply(404, f"nothing at {request.path}")
        calc = self.context.calculations.get(uid)
        if calc is None:
            return error_reply(404, f"no calculation '{uid}'")
        if endpoint == "status":
            return json_reply(200, self.context.calculations.status_reply(calc))
        if endpoint == "log":
            return self.log(request, calc)
        if endpoint in ("result", "details"):
            return self.result(calc, endpoint)
        if endpoint == "cancel":
            self.context.calculations.cancel(calc)
            return json_reply(200, {"calc_uid": calc.uid,
                                    "status": self.context.calculations.status_word(calc)})
        return error_reply(404, "unknown request")

    def create(self, request):
        try:
            params = json.loads(request.body().decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as error:
            return error_reply(400, f"the body is not JSON: {error}")
        if not isinstance(params, dict):
            return error_reply(400, "the body must be a JSON object of parameters")
        for name in ("time_limit", "gap"):
            value = params.get(name)
            if value is not None and (not isinstance(value, (int, float)) or
                                      isinstance(value, bool) or math.isnan(value)):
                return error_reply(400, f"'{name}' must be a number")
        calc = self.context.calculations.create(params)
        return json_reply(201, {"calc_uid": calc.uid, "upload": self.upload_form(calc.uid)})

    def screen_upload(self, request, first_bytes, complete):
        """Checks an upload's form, which comes before the file part, as soon as its first
        bytes arrive: a wrong form is refused before any of the file is stored."""
        try:
            boundary = multipart.boundary_of(request.header("Content-Type"))
            form = multipart.parse_form(first_bytes, boundary, complete)
        except multipart.UploadError as error:
            raise EarlyReply(400, str(error)) from None
        if form is None:
            return False
        fields, file_name, start = form
        calc = self._check_form(request, dict(fields))
        request.checked_upload = (calc, boundary, file_name, start)
        return True

    def _check_form(self, request, form):
        """The calculation the upload form names; EarlyReply when the form is not valid."""
        missing = [n for n in ("key", "policy", "x-amz-signature") if n not in form]
        if missing:
            raise EarlyReply(400, f"the upload lacks the field(s) {', '.join(missing)}")
        if not hmac.compare_digest(form["x-amz-signature"].encode("utf-8", "replace"),
                                   self.sign(form["policy"]).encode("ascii")):
            raise EarlyReply(403, "the upload's signature does not match its policy")
        try:
            policy = json.loads(base64.b64decode(form["policy"], validate=True))
            uid = policy["calc_uid"]
        except (ValueError, KeyError, TypeError):
            raise EarlyReply(403, "the upload's policy is not valid") from None
        if form["key"] != f"calculations/{uid}/upload":
            raise EarlyReply(403, "the upload's key does not match its policy")
        if policy.get("expiration", 0) < time.time():
            raise EarlyReply(403, "the upload form has expired")
        request.calc_uid = uid
        calc = self.context.calculations.get(uid)
        if calc is None:
            raise EarlyReply(404, f"no calculation '{uid}'")
        return calc

    def upload(self, request):
        if request.early_reply is not None:
            return error_reply(request.early_reply.status, str(request.early_reply))
        calc, boundary, file_name, start = request.checked_upload
        try:
            end = multipart.file_end(request.body_length, self._body_tail(request), boundary,
                                     start)
        except multipart.UploadError as error:
            return error_reply(400, str(error))
        path, digest = self._copy_range(request, start, end, calc.folder)
        size = end - start
        lower = file_name.lower()
        gzip_flag = lower.endswith(".gz")
        base = lower[:-3] if gzip_flag else lower
        if base == "start.sol":
            if gzip_flag:
                try:
                    gunzip_file(path, path + ".plain", START_FILE_LIMIT)
                except GunzipError as error:
                    return error_reply(400, f"the start-value upload is {error}")
                finally:
                    os.unlink(path)
                os.replace(path + ".plain", path)
            status = self.context.calculations.accept_start(calc, file_name, digest, path,
                                                            size)
        else:
            model_format = "lp" if base.endswith(".lp") else "mps"
            status = self.context.calculations.accept_model(calc, file_name, digest, path,
                                                            gzip_flag, model_format, size)
        if status == 409:
            return error_reply(409, "a different model was already uploaded for this"
                               " calculation, or it has ended")
        return Reply(204)

    @staticmethod
    def _body_tail(request):
        if request.body_path is None:
            return request.small_body[-256:]
        with open(request.body_path, "rb") as source:
            source.seek(max(0, request.body_length - 256))
            return source.read()

    @staticmethod
    def _copy_range(request, start, end, folder):
        descriptor, path = tempfile.mkstemp(dir=folder, prefix="incoming-")
        digest = hashlib.sha256()
        with os.fdopen(descriptor, "wb") as target:
            if request.body_path is None:
                data = request.small_body[start:end]
                digest.update(data)
                target.write(data)
            else:
                with open(request.body_path, "rb") as source:
                    source.seek(start)
                    left = end - start
                    while left > 0:
                        block = source.read(min(1 << 20, left))
                        if not block:
                            break
                        digest.update(block)
                        target.write(block)
                        left -= len(block)
        return path, digest.hexdigest()

    def log(self, request, calc):
        data = self.context.calculations.log_bytes(calc)
        headers = []
        range_text = request.header("Range")
        content_type = "text/plain; charset=utf-8"
        if range_text is not None and range_text.startswith("bytes=") and \
                "," not in range_text:
            first, _, last = range_text[len("bytes="):].partition("-")
            if first.isdigit() and (last == "" or last.isdigit()):
                start = int(first)
                if start >= len(data):
                    return Reply(416, b"", [("Content-Range", f"bytes */{len(data)}")],
                                 content_type)
                end = len(data) - 1 if last == "" else min(int(last), len(data) - 1)
                if end >= start:
                    headers.append(("Content-Range", f"bytes {start}-{end}/{len(data)}"))
                    return Reply(206, data[start:end + 1], headers, content_type)
        return Reply(200, data, headers, content_type)

    def result(self, calc, endpoint):
        calculations = self.context.calculations
        if calc.state == "awaiting_upload":
            return error_reply(409, "no model has been uploaded for this calculation")
        wait = calc.time_limit + 10.0
        if not calculations.wait_ended(calc, wait):
            return error_reply(503, "the calculation has not ended")
        if calc.state == "error":
            return error_reply(409, "the calculation ended in error", minor=calc.minor,
                               reason=calc.reason)
        text, figures = calculations.result_files(calc)
        if endpoint == "result":
            return Reply(200, text, content_type="text/plain; charset=utf-8")
        return Reply(200, figures)


class HttpsFront(BackgroundServer):
    """Accepts TLS connections on 127.0.0.1 and runs one request on each."""

    def __init__(self, context, certificate, key):
        self.context = context
        self.api = Api(context)
        self.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.tls.minimum_version = ssl.TLSVersion.TLSv1_2
        self.tls.load_cert_chain(certificate, key)
        super().__init__(ThreadingServer(("127.0.0.1", 0), connection_handler(self.serve)),
                         "https")

    def serve(self, raw):
        context = self.context
        context.touch()
        deadline = HeaderDeadline(context.header_seconds)
        try:
            deadline.arm(raw)  # the handshake too
            connection = self.tls.wrap_socket(raw, server_side=True)
        except (ssl.SSLError, OSError) as error:
            print(f"calc-service: TLS handshake failed: {error}", file=sys.stderr, flush=True)
            return
        request = None
        try:
            try:
                request = read_request(connection, deadline, context.scratch,
                                       context.max_upload_bytes, self._body_limit, self._screen)
            except RequestError as error:
                entry = context.journal.add(method=None, target=None, endpoint=None,
                                            calc_uid=None, attempt=None, headers=[],
                                            api_key=None, body_length=0, body_sha256=None,
                                            body_base64=None,
                                            reply_status=error.status,
                                            fault=None if error.status else "incomplete",
                                            error=str(error))
                if error.status is not None:
                    connection.sendall(reply_bytes(error.status, json.dumps(
                        {"error": str(error)})))
                    entry["reply_status"] = error.status
                return
            self._answer(connection, request)
        except (OSError, ssl.SSLError) as error:
            print(f"calc-service: connection failed: {error}", file=sys.stderr, flush=True)
        finally:
            if request is not None:
                request.discard()
            try:
                connection.close()
            except OSError:
                pass
            context.touch()

    def _body_limit(self, request):
        if request.path == "/storage/upload":
            return self.context.max_upload_bytes
        return CREATE_BODY_LIMIT

    def _screen(self, request, first_bytes, complete):
        if classify(request.method, request.path)[0] != "upload":
            return True
        try:
            return self.api.screen_upload(request, first_bytes, complete)
        except EarlyReply:
            raise
        except Exception as error:  # a fault of the service: say so, keep serving
            traceback.print_exc(file=sys.stderr)
            raise EarlyReply(500, f"internal error of the local service: {error!r}") from None

    def _answer(self, connection, request):
        context = self.context
        endpoint, uid = classify(request.method, request.path)
        attempt, rule = context.faults.next_attempt(endpoint)
        entry = context.journal.add_request(request, endpoint, uid, attempt)
        action = None
        if rule is not None:
            action = rule["action"]
            entry["fault"] = action
            if rule.get("delay"):
                time.sleep(rule["delay"])
        if action == "drop":
            return
        if action == "interim":
            connection.sendall(interim_bytes(rule.get("codes", [100])))
        if action == "ignore_range":
            request.headers = [h for h in request.headers if h[0].lower() != "range"]
        if action in ("status", "empty", "malformed_json", "redirect"):
            reply = self._fault_reply(rule, endpoint, uid, request)
        else:
            try:
                reply = self.api.handle(request, endpoint, uid)
            except Exception as error:  # a fault of the service: say so, keep serving
                traceback.print_exc(file=sys.stderr)
                reply = error_reply(500, f"internal error of the local service: {error!r}")
        if entry["calc_uid"] is None:
            # An upload names its calculation inside the signed form only.
            entry["calc_uid"] = getattr(request, "calc_uid", None)
        if action == "drop_after":
            return
        entry["reply_status"] = reply.status
        connection.sendall(reply_bytes(reply.status, reply.body, reply.headers,
                                       reply.content_type))
        if request.early_reply is not None:
            drain(connection, request.content_length - request.body_length,
                  EARLY_REPLY_LINGER_SECONDS)

    def _fault_reply(self, rule, endpoint, uid, request):
        action = rule["action"]
        if action == "status":
            return Reply(rule["code"], rule.get("body", '{"error": "scripted"}').encode("utf-8"))
        if action == "empty":
            return Reply(200, b"")
        if action == "malformed_json":
            return Reply(200, b'{"status": "done", "log_full": tr')
        location = rule.get("location", True)
        if location is False:
            return Reply(302)
        if location is True:
            word = endpoint[len("storage_"):] if endpoint.startswith("storage_") else endpoint
            if word in POLL_WORDS and uid:
                location = self.api.storage_location(uid, word)
            else:
                location = f"https://127.0.0.1:{self.context.port}{request.target}"
        return Reply(302, b"", [("Location", location)])
