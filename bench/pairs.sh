# shellcheck shell=bash
# shellcheck disable=SC2154  # work and pairs are set by the script that sources this file
# Paired timing for the bench scripts, sourced by them: `compare NAME A B` runs the shell functions
# A and B in turn, A B A B ..., $pairs times, each in a fresh subshell, and prints A's and B's
# median seconds and the median, smallest and largest of the pair ratios A/B, for wall time and
# for processor time (user + system). Needs $work (a scratch folder) and $pairs set.

measure() {  # one run of the function $1: its wall seconds and its processor seconds
    local start=$EPOCHREALTIME end
    "$1"
    end=$EPOCHREALTIME
    times >"$work/times"  # a builtin without a pipe: this shell's children are the run's
    awk -v wall="$(echo "$end - $start" | bc -l)" 'NR == 2 {
        split($1, usr, /[ms]/); split($2, sys, /[ms]/)
        print wall, usr[1] * 60 + usr[2] + sys[1] * 60 + sys[2] }' "$work/times"
}

# compare NAME A B: A and B in turn, $pairs times, each run in a fresh subshell; prints A's and
# B's median seconds and the median, smallest and largest of the pair ratios A/B, for wall time
# and for processor time.
compare() {
    local name=$1 a=$2 b=$3 i
    : >"$work/pairs"
    for ((i = 0; i < pairs; i++)); do
        echo "$(measure "$a") $(measure "$b")" >>"$work/pairs"
    done
    local kind column
    for kind in wall cpu; do
        column=$([[ $kind == wall ]] && echo 1 || echo 2)
        awk -v c="$column" '{ print $c, $(c + 2), ($(c + 2) > 0 ? $c / $(c + 2) : "inf") }' \
            "$work/pairs" >"$work/$kind"
        printf '%-20s %-4s %s %.3f s  %s %.3f s  ratio median %.2f  min %.2f  max %.2f\n' \
            "$name" "$kind" "${a%_run}" "$(cut -d' ' -f1 "$work/$kind" | median)" "${b%_run}" \
            "$(cut -d' ' -f2 "$work/$kind" | median)" "$(cut -d' ' -f3 "$work/$kind" | median)" \
            "$(cut -d' ' -f3 "$work/$kind" | sort -g | head -n 1)" \
            "$(cut -d' ' -f3 "$work/$kind" | sort -g | tail -n 1)"
    done
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
