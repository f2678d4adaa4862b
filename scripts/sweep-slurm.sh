#!/usr/bin/env bash
# Sweeps an archive on a Slurm cluster: a job array whose tasks each search some of the sweep's
# windows into a database of their own, then a job that merges them into one, with the tracks
# as CSV. OUT_DIR must be seen alike by every node (a shared file system), and so must the frames.
#
# Usage: scripts/sweep-slurm.sh OUT_DIR DIR...
#   OUT_DIR receives plan.txt, parts.txt (the tasks' databases, one a line, in the plan's order),
#   parts/window-K.sqlite (each holding window K alone), logs/, and at the end sweep.sqlite and tracks.csv.
# Environment:
#   SKYRAKE         the program (default: skyrake on PATH)
#   WINDOWS_A_TASK  windows each array task searches, one after another (default 1; raise it where the
#                   archive has more windows than the cluster's MaxArraySize allows tasks)
#   SBATCH_OPTIONS  more options for both sbatch calls (partition, account, time limit, ...)
# Prints the array job's id and the merging job's id. The merge runs only when every task ended well;
# a task that failed can be run again by hand, then the merge (see logs/). Frames that could not be
# decoded (skyrake's exit 3) are no failure of a task: its log and the databases name them.
set -euo pipefail
if [ $# -lt 2 ]; then
    sed -n '2,16p' "$0" >&2
    exit 2
fi
out="$(mkdir -p "$1" && cd "$1" && pwd)"
shift
skyrake="${SKYRAKE:-skyrake}"
per_task="${WINDOWS_A_TASK:-1}"
mkdir -p "$out/parts" "$out/logs"
"$skyrake" --sweep "$@" --plan "$out/plan.txt"
windows=$(wc -l < "$out/plan.txt")
tasks=$(( (windows + per_task - 1) / per_task ))
# The merge reads its databases from a list: an archive's hundreds of thousands of names would
# overflow a command line.
seq 0 $((windows - 1)) | sed "s|.*|$out/parts/window-&.sqlite|" > "$out/parts.txt"

# shellcheck disable=SC2086 # SBATCH_OPTIONS holds several options
array=$(sbatch --parsable ${SBATCH_OPTIONS:-} --job-name=skyrake-sweep --array="0-$((tasks - 1))" \
    --output="$out/logs/task-%a.log" <<JOB
#!/usr/bin/env bash
set -euo pipefail
first=\$(( SLURM_ARRAY_TASK_ID * $per_task ))
for (( k = first; k < first + $per_task && k < $windows; ++k )); do
    "$skyrake" --sweep --plan "$out/plan.txt" --window "\$k" --db "$out/parts/window-\$k.sqlite" || [ \$? -eq 3 ]
done
JOB
)
# shellcheck disable=SC2086
merge=$(sbatch --parsable ${SBATCH_OPTIONS:-} --job-name=skyrake-merge --dependency="afterok:${array%%;*}" \
    --output="$out/logs/merge.log" <<JOB
#!/usr/bin/env bash
set -euo pipefail
"$skyrake" --sweep --merge --list "$out/parts.txt" --db "$out/sweep.sqlite" --csv "$out/tracks.csv" || [ \$? -eq 3 ]
JOB
)
echo "$array $merge"
