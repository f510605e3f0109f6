# Runs the smoke test program under Wine: smoke.sh WINE_ENV_SCRIPT PROGRAM
# The program's output goes through a file: a Wine process started on the way
# may outlive it and would hold a captured pipe open.
source "$1" || exit 1
log=$(mktemp)
timeout -k 5 60 wine "$2" </dev/null >"$log" 2>&1
status=$?
cat "$log"
rm -f "$log"
exit $status
