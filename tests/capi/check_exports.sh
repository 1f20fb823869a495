#!/usr/bin/env bash
# Compares what a build of libvelorium_core exports with what its callers are promised:
#   check_exports.sh LIBRARY EXPECTED_LIST PENDING_LIST C_HEADER
# Fails when
#   - an expected name is missing and not listed as pending, or a pending name is defined after
#     all (the pending list is stale);
#   - the library exports anything else: besides the expected names it may export only what the
#     object interface needs (the typeinfo, vtables and destructors of the interfaces and of
#     velorium_exception, and the exception's constructor). Every exported symbol counts,
#     template instances of the standard library and of Boost included: the library keeps those
#     to itself;
#   - a function of the C interface is exported as anything but a function;
#   - the functions that the C header declares are not exactly the C names of the expected list.
set -euo pipefail
export LC_ALL=C

library=$1
expected_list=$2
pending_list=$3
c_header=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A list may hold no names at all (grep then finds nothing, which is no failure here).
names_of() { { grep -v -e '^#' -e '^[[:space:]]*$' "$1" || true; } | sort -u; }
names_of "$expected_list" > "$work/expected"
names_of "$pending_list" > "$work/pending"

# Every defined dynamic symbol but the ones the linker adds to any shared library.
nm -D --defined-only "$library" > "$work/nm"
awk '{print $NF}' "$work/nm" | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' \
  | c++filt | sort -u > "$work/own"

object_interface='^((typeinfo|typeinfo name|vtable) for |non-virtual thunk to )?velorium::(I[A-Z][A-Za-z]*|velorium_exception)(::.*)?$'

comm -23 "$work/expected" "$work/own" > "$work/missing"
comm -23 "$work/missing" "$work/pending" > "$work/missing_not_pending"
comm -12 "$work/missing" "$work/pending" > "$work/not_yet_defined"
comm -12 "$work/pending" "$work/own" > "$work/stale_pending"
comm -23 "$work/pending" "$work/expected" > "$work/pending_unknown"
comm -23 "$work/own" "$work/expected" | grep -v -E "$object_interface" > "$work/extra" || true

# The C names of the list (no parentheses) must be functions of the library...
grep -v '(' "$work/expected" > "$work/c_names"
awk '$2 != "T" && $2 != "W" {print $NF}' "$work/nm" | sort -u | comm -12 - "$work/c_names" \
  > "$work/not_functions"
# ...and exactly the functions that the header declares.
grep -E '^VELORIUM_C_API ' "$c_header" \
  | sed -E 's/^VELORIUM_C_API[^(]*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*)\(.*/\1/' | sort -u \
  > "$work/declared"
comm -23 "$work/declared" "$work/c_names" > "$work/declared_not_listed"
comm -13 "$work/declared" "$work/c_names" > "$work/listed_not_declared"

failed=0
report() {  # title, file
  if [[ -s "$2" ]]; then
    echo "$1 ($(wc -l < "$2")):"
    sed 's/^/  /' "$2"
  fi
}
fail_if_any() {  # title, file
  if [[ -s "$2" ]]; then
    failed=1
    report "$1" "$2"
  fi
}
report "Not yet defined (listed as pending)" "$work/not_yet_defined"
fail_if_any "MISSING exports" "$work/missing_not_pending"
fail_if_any "Defined now, remove from $(basename "$pending_list") (and turn a function's VELORIUM_PENDING row into VELORIUM_FREE)" "$work/stale_pending"
fail_if_any "Pending names that are not expected at all" "$work/pending_unknown"
fail_if_any "UNEXPECTED exports" "$work/extra"
fail_if_any "Exported, but not as functions" "$work/not_functions"
fail_if_any "Declared in $(basename "$c_header") but not in $(basename "$expected_list")" "$work/declared_not_listed"
fail_if_any "In $(basename "$expected_list") but not declared in $(basename "$c_header")" "$work/listed_not_declared"

checked=$(wc -l < "$work/expected")
if [[ $failed -eq 0 ]]; then
  echo "exports: $checked expected names checked, $(wc -l < "$work/not_yet_defined") not yet defined, $(wc -l < "$work/own") exported"
fi
exit $failed
