#!/usr/bin/env bash
# A sweep run for real through Slurm on this machine: munged, slurmctld and slurmd started here on
# the loopback with a configuration of their own, scripts/sweep-slurm.sh submitting a job array of
# one task a window and the merge after it; the merged tracks must be those of one sweep of the
# same frames. Skips (77), saying why, only where the daemons cannot run.
# Usage: slurm-sweep.sh SKYRAKE SKYRAKE_SAMPLE SOURCE_DIR
set -euo pipefail
skyrake="$1"; sample="$2"; source="$3"

for program in munged slurmctld slurmd sbatch squeue; do
    command -v "$program" >/dev/null || [ -x "/usr/sbin/$program" ] || { echo "SKIP: $program is not installed"; exit 77; }
done
[ "$(id -u)" -eq 0 ] || { echo "SKIP: slurmd runs jobs as their users only when started as root"; exit 77; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    sleep 1
    rm -rf "$work"
}
trap cleanup EXIT

# munge: the system's daemon where it runs, else one of our own. It runs as the munge user, which
# cannot write into our private folder, so its pid file goes beside its socket.
if ! munge -n >/dev/null 2>&1; then
    mkdir -p /run/munge && chown munge:munge /run/munge
    [ -f /etc/munge/munge.key ] || { echo "SKIP: no munge key"; exit 77; }
    munge_pid=/run/munge/skyrake-test-munged.pid
    runuser -u munge -- /usr/sbin/munged --force --pid-file="$munge_pid" || { echo "SKIP: munged did not start"; exit 77; }
    for _ in $(seq 10); do [ -s "$munge_pid" ] && break; sleep 0.5; done
    [ -s "$munge_pid" ] || { echo "SKIP: munged wrote no pid file"; exit 77; }
    pids+=("$(cat "$munge_pid")")
    munge -n >/dev/null 2>&1 || { echo "SKIP: munge does not answer"; exit 77; }
fi

free_port() { shuf -i 20000-60000 -n 1; }
mkdir -p "$work/state" "$work/spool"
cat > "$work/slurm.conf" <<CONF
ClusterName=skyraketest
SlurmctldHost=localhost
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
AuthType=auth/munge
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
SlurmUser=root
SlurmdUser=root
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
NodeName=localhost CPUs=$(nproc) RealMemory=1000 State=UNKNOWN
PartitionName=test Nodes=localhost Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF="$work/slurm.conf"
/usr/sbin/slurmctld -f "$SLURM_CONF" || { echo "SKIP: slurmctld did not start"; exit 77; }
sleep 1
pids+=("$(cat "$work/slurmctld.pid")")
/usr/sbin/slurmd -N localhost -f "$SLURM_CONF" || { echo "SKIP: slurmd did not start"; exit 77; }
sleep 1
pids+=("$(cat "$work/slurmd.pid")")
for _ in $(seq 30); do sinfo -h -o %t 2>/dev/null | grep -q idle && break; sleep 1; done
sinfo -h -o %t | grep -q idle || { echo "SKIP: the node did not come up"; cat "$work/slurmd.log"; exit 77; }

# Twelve frames with a comet: two windows, one track.
export QT_QPA_PLATFORM=offscreen
"$sample" "$source/tests/fixtures/real/lasco_c3_20130513_1654_1024.jpg" "$work/frames" --frames 12 >/dev/null 2>&1
rm -f "$work/frames"/*.gif "$work/frames"/*_512.*
"$skyrake" --sweep "$work/frames" --db "$work/one.sqlite" --csv "$work/one.csv" 2>/dev/null

SKYRAKE="$skyrake" "$source/scripts/sweep-slurm.sh" "$work/out" "$work/frames"
for _ in $(seq 120); do [ -s "$work/out/tracks.csv" ] && break; sleep 1; done
[ -s "$work/out/tracks.csv" ] || { echo "FAIL: no merged tracks"; cat "$work/out/logs/"*; exit 1; }
[ "$(ls "$work/out/parts"/*.sqlite | wc -l)" -eq 2 ] || { echo "FAIL: not one database a window"; ls "$work/frames" "$work/out/parts"; cat "$work/out/plan.txt" | cut -c1-80; exit 1; }
[ "$(wc -l < "$work/one.csv")" -eq 2 ] || { echo "FAIL: the sweep did not find the comet as one track"; cat "$work/one.csv"; exit 1; }
diff "$work/one.csv" "$work/out/tracks.csv" || { echo "FAIL: the merge differs from one sweep"; exit 1; }
echo "the Slurm array's merged tracks are one sweep's"
