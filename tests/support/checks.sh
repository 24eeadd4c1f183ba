# Sourced by the shell tests: counted checks. Each check prints its outcome; the test
# ends with the count of failures in $failures.
failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "  ok: $what"
  else
    echo "  FAILED: $what"
    failures=$((failures + 1))
  fi
}
