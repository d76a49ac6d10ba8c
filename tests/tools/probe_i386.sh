#!/usr/bin/env bash
# The i386 probe answers "yes" exactly where the kernel runs its program, "no" only when
# the kernel refuses the format, and never "no" for anything else.
set -u
probe="$(cd "$(dirname "$0")/../.." && pwd)/scripts/probe/runs-i386"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
expect() {  # WANT DESCRIPTION ARGS...
    local want=$1 what=$2 got
    shift 2
    "$probe" "$@" >/dev/null 2>&1
    got=$?
    [ "$got" -eq "$want" ] && echo "ok $what: $got" || { echo "FAIL $what: answered $got, expected $want"; failures=$((failures + 1)); }
}

# The program it writes, run here directly: its answer must agree with the kernel's.
"$probe" --write "$tmp/exit42" && chmod +x "$tmp/exit42"
[ "$(stat -c %s "$tmp/exit42")" -eq 96 ] || { echo "FAIL the program is not 96 bytes"; exit 1; }
if "$tmp/exit42" 2>/dev/null; [ $? -eq 42 ]; then
    expect 0 "the kernel runs i386 programs, the probe says yes"
else
    expect 1 "the kernel refuses i386 programs, the probe says no"
fi

# The decision on programs of known outcome.
printf 'int main(void) { return 42; }\n' >"$tmp/ok.c"
printf 'int main(void) { return 3; }\n' >"$tmp/three.c"
gcc -o "$tmp/runs" "$tmp/ok.c" && gcc -o "$tmp/three" "$tmp/three.c" || { echo "FAIL no compiler"; exit 1; }
head -c 96 /dev/urandom | tr '\177' x >"$tmp/noformat"
printf 'XXXX' | dd of="$tmp/noformat" conv=notrunc 2>/dev/null
chmod +x "$tmp/noformat"
expect 0 "a program that runs and exits 42" --program "$tmp/runs"
expect 1 "a format the kernel refuses" --program "$tmp/noformat"
expect 2 "a program that ends otherwise is not a no" --program "$tmp/three"
expect 2 "a program that cannot be started is not a no" --program "$tmp/missing"
exit $(( failures != 0 ))
