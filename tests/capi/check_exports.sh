#!/usr/bin/env bash
# Compares what a build of libvelorium_core exports with what its callers are promised:
#   check_exports.sh LIBRARY EXPECTED_LIST PENDING_LIST
# Fails when an expected name is missing (and not listed as pending), when a pending name is
# defined after all (the pending list is stale), or when the library exports anything else of
# its own. Besides the expected names, the library may export what the object interface needs:
# the typeinfo, vtables and destructors of the interfaces and of velorium_exception, and the
# exception's constructor. Symbols of the standard library and of Boost that leak out of
# template instantiations are not the library's own and are not looked at.
set -euo pipefail
export LC_ALL=C

library=$1
expected_list=$2
pending_list=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

names_of() { grep -v -e '^#' -e '^[[:space:]]*$' "$1" | sort -u; }
names_of "$expected_list" > "$work/expected"
names_of "$pending_list" > "$work/pending"

# The library's own symbols: C names, and C++ names in namespace velorium or the global one.
nm -D --defined-only "$library" | awk '{print $NF}' \
  | grep -E '^([A-Za-z][A-Za-z0-9_]*|_Z(T[VIS]|Thn[0-9]+_)?N?K?8velorium.*|_Z[0-9]+[A-Za-z].*)$' \
  | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' \
  | c++filt | sort -u > "$work/own"

object_interface='^((typeinfo|typeinfo name|vtable) for |non-virtual thunk to )?velorium::(I[A-Z][A-Za-z]*|velorium_exception)(::.*)?$'
# The version text of the launch banner.
skeleton='^velorium::library_version\(\)$'

comm -23 "$work/expected" "$work/own" > "$work/missing"
comm -23 "$work/missing" "$work/pending" > "$work/missing_not_pending"
comm -12 "$work/missing" "$work/pending" > "$work/not_yet_defined"
comm -12 "$work/pending" "$work/own" > "$work/stale_pending"
comm -23 "$work/pending" "$work/expected" > "$work/pending_unknown"
comm -23 "$work/own" "$work/expected" | grep -v -E "$object_interface" \
  | grep -v -E "$skeleton" > "$work/extra" || true

failed=0
report() {  # title, file
  if [[ -s "$2" ]]; then
    echo "$1 ($(wc -l < "$2")):"
    sed 's/^/  /' "$2"
  fi
}
report "Not yet defined (listed as pending)" "$work/not_yet_defined"
if [[ -s "$work/missing_not_pending" ]]; then
  failed=1; report "MISSING exports" "$work/missing_not_pending"
fi
if [[ -s "$work/stale_pending" ]]; then
  failed=1
  report "Defined now, remove from $(basename "$pending_list") (and turn a function's VELORIUM_PENDING row into VELORIUM_FREE)" "$work/stale_pending"
fi
if [[ -s "$work/pending_unknown" ]]; then
  failed=1; report "Pending names that are not expected at all" "$work/pending_unknown"
fi
if [[ -s "$work/extra" ]]; then
  failed=1; report "UNEXPECTED exports" "$work/extra"
fi

checked=$(wc -l < "$work/expected")
if [[ $failed -eq 0 ]]; then
  echo "exports: $checked expected names checked, $(wc -l < "$work/not_yet_defined") not yet defined"
fi
exit $failed
