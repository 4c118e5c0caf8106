#!/bin/sh
# dravovexa-cli logs --saida FILE paired with its floor (log_floor: the same
# ExtrairLogs call through the loaded library, the Base64 decoded and written
# to a file), on the tests' fake SAT library (the answer read from a file,
# wrapped at 76 characters with CR LF as some devices send it) and on our
# emulator (the answer built from the device's event log). The log is varied:
# events of random times, origins, types and texts of different lengths.
# The two programs run in alternation, ROUNDS pairs per library, each under
# /usr/bin/time: CPU time (user + system) and peak resident memory. base64 -d
# -i of the same payload into a file is shown for reference. Prints a
# Markdown table, medians of the rounds, with the machine's load.
#
#     bench/cli/compare_logs.sh BUILD_DIR [MIB] [ROUNDS]   (32 MiB of log, 15 rounds)
set -eu
build=$(cd "$1" && pwd)
mib=${2:-32}
rounds=${3:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cli="$build/bin/dravovexa-cli"
floor="$build/bin/log_floor"
emulator="$build/bin/libdllsat.so"
fake="$build/tests/fake_sat/full/libdllsat.so"
for program in "$cli" "$floor" "$emulator" "$fake"; do
    [ -e "$program" ] || { echo "compare_logs.sh: $program is missing" >&2; exit 2; }
done

python3 - "$work" "$mib" <<'PY'
import base64, random, sys
work, mib = sys.argv[1], int(sys.argv[2])
rng = random.Random(24)
words = ("comunicação SEFAZ concluída documento transmitido CF-e-SAT lote recebido "
         "bateria relógio sincronizado rede DHCP endereço atribuído certificado válido "
         "memória trabalho código ativação aceito bloqueio autônomo verificação assinatura "
         "AC venda cancelamento sessão número").split()
origins = ("AC", "SAT", "SEFAZ")
types = ("INFO", "INFO", "INFO", "ALERTA", "ERRO")
lines, size, second = [], 0, 1700000000
target = mib * 1024 * 1024
while size < target:
    second += rng.randint(0, 400)
    year, rest = 2023 + second // 31536000 % 3, second % 31536000
    stamp = "%04d%02d%02d%02d%02d%02d" % (year, 1 + rest // 2592000 % 12, 1 + rest // 86400 % 28,
                                         rest // 3600 % 24, rest // 60 % 60, rest % 60)
    text = " ".join(rng.choice(words) for _ in range(rng.randint(2, 24)))
    line = "%s|%s|%s|%s %d\n" % (stamp, rng.choice(origins), rng.choice(types), text,
                                 rng.randint(0, 999999))
    data = line.encode()
    lines.append(data)
    size += len(data)
log = b"".join(lines)
open(f"{work}/device.log", "wb").write(log)
encoded = base64.encodebytes(log).replace(b"\n", b"\r\n")
open(f"{work}/ExtrairLogs.answer", "wb").write(
    "000001|15000|Transferência completa|||".encode() + encoded)
open(f"{work}/payload.b64", "wb").write(encoded)
PY

# The emulator as a developer kit whose event log is the generated one.
mkdir "$work/emulator"
export DVT_SAT_STATE="$work/emulator/state.txt" DVT_SAT_MODE=kit
"$cli" --sat-library "$emulator" consultar > /dev/null 2>&1
cp "$work/device.log" "$work/emulator/state.txt.log"

# Each measured run: "library program user system peak_KiB" on results.
measure() { # LIBRARY_NAME PROGRAM_NAME COMMAND...
    name=$1 program=$2
    shift 2
    /usr/bin/time -f "%U %S %M" -o "$work/time" "$@" > /dev/null 2> "$work/err" || {
        echo "compare_logs.sh: $program failed on $name:" >&2
        cat "$work/err" >&2
        exit 1
    }
    echo "$name $program $(cat "$work/time")" >> "$work/results"
}

session=900000
for library in fake emulator; do
    if [ "$library" = fake ]; then path=$fake; else path=$emulator; fi
    export DVT_FAKE_SAT_DIR="$work"
    round=0
    while [ "$round" -lt "$rounds" ]; do
        session=$((session + 1))
        # Alternating order, so neither program always runs on a warm cache.
        if [ $((round % 2)) -eq 0 ]; then first=cli; else first=floor; fi
        for program in $first $([ "$first" = cli ] && echo floor || echo cli); do
            if [ "$program" = cli ]; then
                measure "$library" cli "$cli" --sat-library "$path" --codigo 12345678 \
                    logs --saida "$work/cli.txt"
            else
                measure "$library" floor "$floor" "$path" "$session" 12345678 "$work/floor.txt"
            fi
        done
        # The same log (the emulator's grows by the extraction's own events
        # between the two runs: the shorter one is compared).
        cli_size=$(stat -c %s "$work/cli.txt")
        floor_size=$(stat -c %s "$work/floor.txt")
        shorter=$((cli_size < floor_size ? cli_size : floor_size))
        [ "$shorter" -gt $((mib * 1024 * 1024 / 2)) ] &&
            cmp -s -n "$shorter" "$work/cli.txt" "$work/floor.txt" || {
            echo "compare_logs.sh: the two logs differ on $library" >&2
            exit 1
        }
        round=$((round + 1))
    done
done
round=0
while [ "$round" -lt "$rounds" ]; do
    measure reference "base64 -d -i" sh -c "base64 -d -i '$work/payload.b64' > '$work/b64.txt'"
    round=$((round + 1))
done

load=$(uptime | sed 's/.*load average: //')
log_mib=$(du -m "$work/device.log" | cut -f1)
answer_mib=$(du -m "$work/ExtrairLogs.answer" | cut -f1)
python3 - "$work/results" "$load" "$log_mib" "$answer_mib" "$rounds" <<'PY'
import statistics, sys
path, load, log_mib, answer_mib, rounds = sys.argv[1:]
runs = {}
for line in open(path):
    library, rest = line.split(" ", 1)
    program, user, system, peak = rest.rsplit(" ", 3)
    runs.setdefault((library, program), []).append((float(user) + float(system), int(peak) / 1024))
def median(values):
    return statistics.median(values)
print(f"Log of {log_mib} MiB (answer {answer_mib} MiB), {rounds} alternating pairs per library; "
      f"load average {load}.\n")
print("| Library | Program | CPU s (user+sys) | × floor | Peak MiB | × floor |")
print("|---|---|---|---|---|---|")
for library in ("fake", "emulator"):
    floor_cpu = median([c for c, _ in runs[(library, "floor")]])
    floor_peak = median([p for _, p in runs[(library, "floor")]])
    for program, label in (("floor", "log_floor"), ("cli", "dravovexa-cli logs --saida")):
        cpu = median([c for c, _ in runs[(library, program)]])
        peak = median([p for _, p in runs[(library, program)]])
        print(f"| {library} | {label} | {cpu:.3f} | {cpu / floor_cpu:.2f} | {peak:.0f} | "
              f"{peak / floor_peak:.2f} |")
reference = runs[("reference", "base64 -d -i")]
print(f"| — | base64 -d -i (into a file) | {median([c for c, _ in reference]):.3f} | | "
      f"{median([p for _, p in reference]):.0f} | |")
PY
