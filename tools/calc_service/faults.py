"""Scripted faults: rules by endpoint and attempt that tests install through the control port."""

import threading

ACTIONS = {"drop", "drop_after", "status", "empty", "malformed_json", "delay", "redirect", "interim",
           "ignore_range"}


class FaultError(ValueError):
    pass


def _check_rule(rule):
    if not isinstance(rule, dict):
        raise FaultError("a fault rule is a JSON object")
    if not isinstance(rule.get("endpoint"), str):
        raise FaultError("a fault rule needs an 'endpoint' text")
    action = rule.get("action")
    if action not in ACTIONS:
        raise FaultError(f"unknown fault action {action!r}; one of {sorted(ACTIONS)}")
    attempts = rule.get("attempts")
    if attempts is not None and (not isinstance(attempts, list) or not all(
            isinstance(a, int) and not isinstance(a, bool) and a >= 1 for a in attempts)):
        raise FaultError("'attempts' is a list of attempt numbers from 1")
    delay = rule.get("delay", 0)
    if not isinstance(delay, (int, float)) or isinstance(delay, bool) or not 0 <= delay <= 600:
        raise FaultError("'delay' is a number of seconds from 0 to 600")
    if action == "delay" and "delay" not in rule:
        raise FaultError("the action 'delay' needs 'delay'")
    if action == "status":
        code = rule.get("code")
        if not isinstance(code, int) or isinstance(code, bool) or not 100 <= code <= 599:
            raise FaultError("the action 'status' needs a 'code' from 100 to 599")
        if "body" in rule and not isinstance(rule["body"], str):
            raise FaultError("'body' is a text")
    if action == "interim":
        codes = rule.get("codes", [100])
        if not isinstance(codes, list) or not codes or not all(
                isinstance(c, int) and not isinstance(c, bool) and 100 <= c <= 199 and c != 101
                for c in codes):
            raise FaultError("'codes' is a non-empty list of interim statuses (100 to 199, not 101)")
    if action == "redirect" and not isinstance(rule.get("location", True), (bool, str)):
        raise FaultError("'location' is true, false or a text")
    return dict(rule)


class FaultScript:
    def __init__(self):
        self.lock = threading.Lock()
        self.rules = []
        self.attempts = {}

    def replace(self, rules):
        if not isinstance(rules, list):
            raise FaultError("'faults' is a list of rules")
        checked = [_check_rule(rule) for rule in rules]
        with self.lock:
            self.rules = checked
            self.attempts = {}
        return len(checked)

    def show(self):
        with self.lock:
            return [dict(rule) for rule in self.rules]

    def next_attempt(self, endpoint):
        """Counts a request to the endpoint and returns (its attempt number, the rule or None)."""
        with self.lock:
            attempt = self.attempts.get(endpoint, 0) + 1
            self.attempts[endpoint] = attempt
            for rule in self.rules:
                if rule["endpoint"] != endpoint:
                    continue
                attempts = rule.get("attempts")
                if attempts is None or attempt in attempts:
                    return attempt, rule
            return attempt, None
