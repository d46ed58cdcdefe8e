# Sourced by tools/run-tests.sh: stages that are timed, some of them run in the background, and
# the report printed at the end of every run, passed or failed: each stage with when it began and
# how long it took, then the slowest tests of every CTest run.
#
#   orbiscape_stage NAME COMMAND...                   runs COMMAND as a timed stage
#   orbiscape_stage_in_background ID NAME LOG COMMAND...
#                                                     starts it in the background, its output
#                                                     kept in LOG
#   orbiscape_wait_for_stage ID                       waits for it, prints its LOG, fails as it did
#   orbiscape_logged LOG COMMAND...                   COMMAND's output shown and kept in LOG
#                                                     (the report reads CTest's from there)
#   orbiscape_report_run                              the report (the EXIT trap), with the
#                                                     tests of every CTest log in
#                                                     ORBISCAPE_TEST_LOGS

ORBISCAPE_RUN_BEGAN=$SECONDS
ORBISCAPE_STAGES=()
declare -A ORBISCAPE_BACKGROUND_PIDS ORBISCAPE_BACKGROUND_NAMES ORBISCAPE_BACKGROUND_LOGS

# orbiscape_record_stage NAME BEGAN STATUS
orbiscape_record_stage() {
    local outcome=ok
    [ "$3" -eq 0 ] || outcome="failed ($3)"
    ORBISCAPE_STAGES+=("$(printf '%6d s  %6d s  %-34s %s' $(($2 - ORBISCAPE_RUN_BEGAN)) $((SECONDS - $2)) "$1" "$outcome")")
}

orbiscape_stage() {
    local name=$1 began=$SECONDS status=0
    shift
    echo "== $name"
    "$@" || status=$?
    orbiscape_record_stage "$name" "$began" "$status"
    return "$status"
}

orbiscape_stage_in_background() {
    local id=$1 name=$2 log=$3
    shift 3
    echo "== $name (in the background; its output follows when it ends)"
    # The stage's own time is kept by the stage, since $SECONDS in the parent moves on meanwhile.
    ( began=$SECONDS; status=0; "$@" >"$log" 2>&1 || status=$?; echo "$status $((SECONDS - began))" >"$log.result" ) &
    ORBISCAPE_BACKGROUND_PIDS[$id]=$!
    ORBISCAPE_BACKGROUND_NAMES[$id]="$name@$SECONDS"
    ORBISCAPE_BACKGROUND_LOGS[$id]=$log
}

orbiscape_wait_for_stage() {
    local id=$1 status seconds name began log=${ORBISCAPE_BACKGROUND_LOGS[$1]}
    wait "${ORBISCAPE_BACKGROUND_PIDS[$id]}" || true
    unset "ORBISCAPE_BACKGROUND_PIDS[$id]"
    name=${ORBISCAPE_BACKGROUND_NAMES[$id]%@*}
    began=${ORBISCAPE_BACKGROUND_NAMES[$id]##*@}
    read -r status seconds <"$log.result" || { status=1; seconds=0; }
    echo "== $name: its output"
    cat "$log"
    ORBISCAPE_STAGES+=("$(printf '%6d s  %6d s  %-34s %s' $((began - ORBISCAPE_RUN_BEGAN)) "$seconds" "$name" \
        "$([ "$status" -eq 0 ] && echo ok || echo "failed ($status)")")")
    return "$status"
}

orbiscape_logged() {
    local log=$1
    shift
    "$@" 2>&1 | tee "$log"
    return "${PIPESTATUS[0]}"
}

orbiscape_report_run() {
    local status=$? id
    # A failure in the foreground still lets the background stages finish, so that their results
    # are reported too.
    for id in "${!ORBISCAPE_BACKGROUND_PIDS[@]}"; do
        orbiscape_wait_for_stage "$id" || true
    done
    echo
    echo "== stages (began after, took, stage)"
    printf '%s\n' "${ORBISCAPE_STAGES[@]}"
    printf '%6s    %6d s  %s\n' "" $((SECONDS - ORBISCAPE_RUN_BEGAN)) "the whole run"
    echo "== the 15 slowest tests"
    local log
    for log in "$ORBISCAPE_TEST_LOGS"/*.log; do
        [ -f "$log" ] || continue
        awk -v set="$(basename "$log" .log)" '/ Test +#[0-9]+: / && $NF == "sec" {
            for (i = 1; i < NF; i++) if ($i ~ /^#[0-9]+:$/) name = $(i + 1)
            printf "%8.1f s  %-16s %s\n", $(NF - 1), set, name }' "$log"
    done | sort -rn | head -15
    exit "$status"
}
