#!/bin/bash
# The exerciser's long run: each seed in a process of its own, so that a seed that crashes
# the program does not end the others. Usage:
#   tests/exerciser/long_run.sh [build dir] [minutes per seed] [seeds...]
# Input logs and the report of each seed go to $ZOLVELT_EXERCISER_LOGS (default
# build/exerciser-logs); a crash prints the last inputs before it.
set -u
build=${1:-build/test}
minutes=${2:-4}
shift $(( $# > 2 ? 2 : $# ))
seeds=("${@:-1 2 3}")
logs=${ZOLVELT_EXERCISER_LOGS:-build/exerciser-logs}
mkdir -p "$logs"
for seed in ${seeds[@]}; do
    ZOLVELT_EXERCISER_MINUTES=$minutes ZOLVELT_EXERCISER_SEEDS=$seed ZOLVELT_EXERCISER_LOGS=$logs \
        QT_QPA_PLATFORM=offscreen "$build/tests/exerciser/exerciser_tests" \
        --gtest_filter='OperatorExerciser.LongRun' >"$logs/report-$seed.txt" 2>&1
    status=$?
    echo "seed $seed: exit $status; $(grep -m1 '^seed ' "$logs/report-$seed.txt" || echo 'the program died, see the report')"
done
