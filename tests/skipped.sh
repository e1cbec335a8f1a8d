#!/usr/bin/env bash
# After a ctest run: every test that did not run here, with the reason it gave, so that
# nothing is skipped in silence (QtTest's skips count as passed in ctest's own summary).
#
#   tests/skipped.sh BUILD_DIR
log=${1:?uso: tests/skipped.sh BUILD_DIR}/Testing/Temporary/LastTest.log
[ -f "$log" ] || exit 0
awk '
  /^[0-9]+\/[0-9]+ Testing: / { test = $3; next }
  /^SKIP +: / { sub(/^SKIP +: /, ""); print "omitida - " test ": " $0; count++; next }
  / Skipped$/ { pending = 1; next }
  pending { print "omitida - " test ": " $0; count++; pending = 0 }
  END { if (count) print "# " count " pruebas omitidas aquí, cada una con su razón" }
' "$log"
