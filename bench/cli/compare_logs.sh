#!/bin/sh
# dravovexa-cli logs --saida FILE on a large Base64 answer (wrapped at 76
# characters with CR LF), side by side with its floor (answer_floor) and with
# coreutils' base64 -d -i of the same text, then the peak memory of each.
#
#     bench/cli/compare_logs.sh BUILD_DIR [MIB]      (default 48 MiB of answer)
set -eu
build=$(cd "$1" && pwd)
mib=${2:-48}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A device log, one event per line, encoded to about MIB MiB.
python3 - "$work" "$mib" <<'PY'
import base64, sys
work, mib = sys.argv[1], int(sys.argv[2])
line = b"20240131101500|SAT|info|Evento 12345: comunica\xc3\xa7\xc3\xa3o com a SEFAZ conclu\xc3\xadda\r\n"
log = line * (mib * 1024 * 1024 * 3 // 4 // len(line))
encoded = base64.encodebytes(log).replace(b"\n", b"\r\n")
open(f"{work}/ExtrairLogs.answer", "wb").write(b"000001|15000|Transfer\xc3\xaancia completa|||" + encoded)
open(f"{work}/payload.b64", "wb").write(encoded)
PY

export DVT_FAKE_SAT_DIR="$work"
cli="$build/bin/dravovexa-cli --sat-library $build/tests/fake_sat/full/libdllsat.so logs --saida $work/log.txt"
floor="$build/bin/answer_floor $work/ExtrairLogs.answer $work/floor.txt"
coreutils="base64 -d -i $work/payload.b64"

hyperfine --warmup 2 --runs 15 -N --output=null "$cli" "$floor" "$coreutils"
for command in "$cli" "$floor" "$coreutils"; do
    printf '%s: ' "${command%% *}"
    /usr/bin/time -f '%M KiB peak' $command > /dev/null
done
ls -l "$work/ExtrairLogs.answer" | awk '{ printf "answer: %d KiB\n", $5 / 1024 }'
