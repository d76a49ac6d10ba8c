# The Wine scripts' checks (sourced, not run): a failed check is told and counted, and
# the script goes on to tell the rest; it fails at its end when any did.
failures=0
fail() { echo "  $*"; failures=$((failures + 1)); }
ok() { echo "ok $*"; }
