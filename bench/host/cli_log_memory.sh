#!/bin/sh
# The command line's peak memory on `logs --saida` of a 48 MiB answer through
# the library host, beside the answer's size: the command line holds the
# answer once and writes the log in pieces. The peak is the command line's own
# (VmHWM, read until it ends; the host is a process of its own and is
# reported apart), for a paired run of `logs` without --saida as well.
#
#     bench/host/cli_log_memory.sh BUILD_DIR [MIB]
set -eu
build=$(cd "$1" && pwd)
mib=${2:-48}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/dravovexa-cli" "$build/bin/dravovexa-sat-host" "$work/"
cp "$build/tests/fake_sat/full/libdllsat.so" "$work/"
mkdir "$work/script"

python3 - "$work" "$mib" <<'PY'
import base64, os, random, subprocess, sys, time
work, mib = sys.argv[1], int(sys.argv[2])
random.seed(7)
lines = []
size = 0
while size < mib * 1024 * 1024 * 3 // 4:
    line = ("20240131101500|SAT|INFO|Evento %05d: comunicação com a SEFAZ concluída\r\n"
            % random.randrange(100000)).encode()
    lines.append(line)
    size += len(line)
encoded = base64.encodebytes(b"".join(lines)).replace(b"\n", b"\r\n")
answer = b"000001|15000|Transfer\xc3\xaancia completa|||" + encoded
open(f"{work}/script/ExtrairLogs.answer", "wb").write(answer)
env = dict(os.environ, DVT_FAKE_SAT_DIR=f"{work}/script", XDG_CONFIG_HOME=f"{work}/config")

def peak_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0

def host_pid(pid):
    try:
        with open(f"/proc/{pid}/task/{pid}/children") as children:
            return int(children.read().split()[0])
    except (OSError, IndexError, ValueError):
        return None

def run(arguments):
    cli = subprocess.Popen([f"{work}/dravovexa-cli"] + arguments, env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    cli_peak = host_peak = 0
    while cli.poll() is None:
        try:
            cli_peak = max(cli_peak, peak_kib(cli.pid))
            host = host_pid(cli.pid)
            if host:
                host_peak = max(host_peak, peak_kib(host))
        except (OSError, ValueError):
            pass
        time.sleep(0.001)
    return cli.returncode, cli_peak, host_peak

print(f"answer: {len(answer) // 1024} KiB")
for arguments in (["logs", "--saida", f"{work}/log.txt"], ["logs"]):
    status, cli_peak, host_peak = run(arguments)
    print(f"dravovexa-cli {' '.join(arguments[:2])}: exit {status}, peak {cli_peak} KiB "
          f"({cli_peak / (len(answer) / 1024):.2f}x the answer); host peak {host_peak} KiB")
PY
