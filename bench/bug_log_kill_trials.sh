#!/usr/bin/env bash
# Stress run of Bug.log: two processes append records of mixed sizes at once and are killed with
# SIGKILL at random moments, TRIALS times over one log; prints the number of trials, whole
# records, records cut short, blank and broken lines, and fails on any blank or broken line or
# any lost record.
# Usage: bench/bug_log_kill_trials.sh [BUILD_DIR] [TRIALS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
trials=${2:-200}
GAPWELL_KILL_TRIALS=$trials "$build/tests/services/services_tests" \
    --gtest_filter=BugLogWriters.TwoWritersKilledMidRecordLeaveWholeLinesOnly --gtest_brief=1
