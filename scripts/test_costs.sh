#!/usr/bin/env bash
# Renews tests/test_costs.txt, the test times a fresh build tree starts from,
# from the times ctest kept in a build tree after a whole run (by default the
# plain one of ./check, whose display tests are the long ones):
#   scripts/test_costs.sh [BUILD]
# Only tests of a few seconds or more are kept: ctest runs the rest in any order
# without the suite waiting on them.
set -euo pipefail
cd "$(dirname "$0")/.."
data="${1:-build}/Testing/Temporary/CTestCostData.txt"
[ -f "$data" ] || { echo "test_costs: no $data; run the tests first" >&2; exit 1; }
# Lines "NAME RUNS SECONDS" up to "---"; the failed tests after it are not kept.
awk '$0 == "---" { exit } NF == 3 && $3 >= 5 { printf "%s 1 %.0f\n", $1, $3 }' "$data" |
  sort -k3,3nr -k1,1 >tests/test_costs.txt
echo "test_costs: $(wc -l <tests/test_costs.txt) tests kept in tests/test_costs.txt"
