#!/bin/sh
# Makes the pages into a fresh folder, then runs the node tests on them.
# Usage: run_browser_tests.sh MAKE_PAGES SERVER_LIBRARY PAGES_FOLDER TEST_FILE...
set -eu
make_pages=$1 server=$2 pages=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)

if [ ! -d "$here/node_modules" ]; then
  echo "tests/browser/node_modules is missing: run 'make test', or 'npm ci' in tests/browser" >&2
  exit 1
fi
rm -rf "$pages"
"$make_pages" "$pages" "$server"
# Two test files at a time where the runner offers it (node 20.10 and later).
concurrency=
node --test-concurrency=2 -e '' 2>/dev/null && concurrency=--test-concurrency=2
GLIMMERKEY_PAGES=$pages exec node --test $concurrency "$@"
