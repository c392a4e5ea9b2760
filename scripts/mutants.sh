#!/usr/bin/env bash
# Seeds single-line faults into a copy of the product, one at a time, and runs the headless
# tests against each: a fault the tests do not notice is a gap in them. Not run by CI (it
# rebuilds once per fault); run it before and after reshaping the tests and compare scores.
#
#   bash scripts/mutants.sh [--lanes N] [--only ID,...] [--out FILE] [--list]
#
# Faults are listed in scripts/mutants.txt. Each lane copies the working tree (tracked and new
# files) to ${TMPDIR:-/tmp}/tavrix-mutants-<checkout>/laneN/src (one folder per checkout, so
# runs from two checkouts never share a lane), builds it in src/build/dev (the dev
# preset's layout and flags, so ccache shares objects with ordinary builds), then per fault:
# applies it, rebuilds, runs the headless tests, and puts the line back.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
list="$root/scripts/mutants.txt"
lanes=2
only=""
out=""
list_only=0
while (($#)); do
    case $1 in
        --lanes) lanes=$2; shift 2 ;;
        --only) only=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --list) list_only=1; shift ;;
        -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
        *) echo "mutants.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
[[ $lanes =~ ^[1-9][0-9]*$ ]] || { echo "mutants.sh: --lanes takes a positive number" >&2; exit 2; }

work=${TMPDIR:-/tmp}/tavrix-mutants-$(printf %s "$root" | md5sum | cut -c1-8)
mkdir -p "$work"
work=$(cd "$work" && pwd)

# The one place that reads the fault list and edits files. Format of scripts/mutants.txt:
#   @ ID path/from/repo/root
#   - original text (leading/trailing blanks ignored; must occur exactly once in the file)
#   + replacement text
# Lines starting with # and blank lines are ignored.
tool() {
    python3 - "$@" <<'PY'
import os, sys

def parse(path):
    items, cur = [], None
    for n, raw in enumerate(open(path, encoding="utf-8"), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        tag, rest = line[:1], line[2:].strip() if len(line) > 1 else ""
        if tag == "@":
            parts = rest.split()
            if len(parts) != 2:
                sys.exit(f"{path}:{n}: expected '@ ID FILE'")
            cur = {"id": parts[0], "file": parts[1], "orig": None, "repl": None, "line": n}
            items.append(cur)
        elif tag in "-+" and cur is not None and line[1:2] == " ":
            cur["orig" if tag == "-" else "repl"] = rest
        else:
            sys.exit(f"{path}:{n}: cannot read this line")
    ids = set()
    for m in items:
        if m["orig"] is None or m["repl"] is None:
            sys.exit(f"{path}:{m['line']}: {m['id']} needs a '-' and a '+' line")
        if m["orig"] == m["repl"]:
            sys.exit(f"{path}:{m['line']}: {m['id']} changes nothing")
        if m["id"] in ids:
            sys.exit(f"{path}:{m['line']}: {m['id']} listed twice")
        ids.add(m["id"])
    return items

cmd, path = sys.argv[1], sys.argv[2]
items = parse(path)
if cmd == "ids":
    wanted = [w for w in sys.argv[3].split(",") if w] if len(sys.argv) > 3 else []
    known = {m["id"] for m in items}
    bad = [w for w in wanted if w not in known]
    if bad:
        sys.exit("unknown mutant id(s): " + ", ".join(bad))
    for m in items:
        if not wanted or m["id"] in wanted:
            print(m["id"], m["file"])
elif cmd in ("check", "apply"):
    tree = sys.argv[3]
    chosen = items if cmd == "check" else [m for m in items if m["id"] == sys.argv[4]]
    failed = False
    for m in chosen:
        f = os.path.join(tree, m["file"])
        try:
            text = open(f, encoding="utf-8").read()
        except OSError as e:
            print(f"{m['id']}: {m['file']}: {e.strerror}", file=sys.stderr)
            failed = True
            continue
        count = text.count(m["orig"])
        if count != 1:
            print(f"{m['id']}: {m['file']}: original text found {count} times: {m['orig']}",
                  file=sys.stderr)
            failed = True
            continue
        if cmd == "apply":
            open(f, "w", encoding="utf-8").write(text.replace(m["orig"], m["repl"]))
    sys.exit(1 if failed else 0)
PY
}

# Every fault must still match the tree before anything is built.
tool check "$list" "$root" || { echo "mutants.sh: the fault list no longer matches the code" >&2; exit 1; }
mapfile -t chosen < <(tool ids "$list" "$only")
((${#chosen[@]})) || { echo "mutants.sh: no mutants chosen" >&2; exit 2; }
if ((list_only)); then printf '%s\n' "${chosen[@]}"; exit 0; fi
((lanes > ${#chosen[@]})) && lanes=${#chosen[@]}

export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache} CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1

# Tests that need no real display: the layering probes (they rebuild the tree) and the
# display suite (Xvfb and real input) are left out.
exclude='^layers\.|Display'

# Makes the lane's copy equal to the working tree (tracked and new files): a file whose
# content differs is written afresh (so the build sees it, whatever its time), an equal one is
# left alone (so it is not rebuilt), and one gone from the tree goes from the copy.
sync_tree() {
    local src=$1
    mkdir -p "$src"
    (cd "$root" && git ls-files -z --cached --others --exclude-standard) | python3 -c '
import os, shutil, sys
root, src = sys.argv[1], sys.argv[2]
names = {n for n in sys.stdin.buffer.read().decode().split("\0") if n}
for name in names:
    a, b = os.path.join(root, name), os.path.join(src, name)
    if not os.path.isfile(a):
        continue
    with open(a, "rb") as f:
        data = f.read()
    try:
        with open(b, "rb") as f:
            if f.read() == data:
                continue
    except OSError:
        pass
    os.makedirs(os.path.dirname(b), exist_ok=True)
    with open(b, "wb") as f:
        f.write(data)
    shutil.copymode(a, b)
for top, dirs, files in os.walk(src):
    rel = os.path.relpath(top, src)
    first = rel.split(os.sep)[0]
    if first == "build" or (first != "." and first.startswith(".")):
        dirs[:] = []
        continue
    for f in files:
        name = os.path.normpath(os.path.join(rel, f))
        if name not in names:
            os.remove(os.path.join(top, f))
' "$root" "$src"
}

# Runs the tests for the lane's build; prints "caught TEST" (the first test that failed) or
# "survived".
run_tests() {
    local bld=$1 log=$2 skip=$3
    if ctest --test-dir "$bld" -E "$skip" --stop-on-failure -j4 --timeout 120 >"$log" 2>&1; then
        echo survived
    else
        local first
        first=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$log" | head -n 1)
        echo "caught ${first:-?}"
    fi
}

# The display suite must be wholly inside the exclusion: its cases open real windows.
check_exclusion() {
    local bld=$1
    ctest --test-dir "$bld" --show-only=json-v1 2>/dev/null | python3 -c '
import json, re, sys
skip = re.compile(sys.argv[1])
tests = json.load(sys.stdin)["tests"]
bad = [t["name"] for t in tests
       if (t.get("command") or [""])[0].endswith("/test_display") and not skip.search(t["name"])]
if bad:
    sys.exit("display tests not excluded: " + ", ".join(bad))
if not any(not skip.search(t["name"]) for t in tests):
    sys.exit("no test left to run")
' "$exclude"
}

lane_main() {
    local lane=$1; shift
    local dir=$work/lane$lane src=$work/lane$lane/src
    local bld=$src/build/dev results=$work/lane$lane/results
    export CCACHE_BASEDIR=$src XDG_RUNTIME_DIR=$work/lane$lane/xdg
    mkdir -p "$XDG_RUNTIME_DIR" "$dir/logs" && chmod 700 "$XDG_RUNTIME_DIR"
    : >"$results"
    sync_tree "$src"
    # A run stopped half-way may have left a faulty object behind: the copy above rewrote the
    # file, but make sure the build sees it whatever the times say.
    if [[ -f $dir/applied ]]; then touch "$src/$(cat "$dir/applied")"; rm -f "$dir/applied"; fi
    cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
        -DTAVRIX_BENCH=OFF >"$dir/logs/configure.log" 2>&1 ||
        { echo "lane $lane: configure failed, see $dir/logs/configure.log" >&2; return 1; }
    cmake --build "$bld" -j3 >"$dir/logs/build.log" 2>&1 ||
        { echo "lane $lane: the unchanged tree does not build, see $dir/logs/build.log" >&2; return 1; }
    check_exclusion "$bld" || return 1
    # The unchanged tree must pass: a test failing here would make every fault look caught.
    local skip=$exclude base
    base=$(run_tests "$bld" "$dir/logs/unchanged.test.log" "$skip")
    if [[ $base != survived ]]; then
        if ctest --test-dir "$bld" -E "$skip" -j4 --timeout 120 >"$dir/logs/unchanged.test.log" 2>&1; then
            echo "lane $lane: a test failed once on the unchanged tree (${base#caught }); it passed again" >&2
        else
            local failing
            failing=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$dir/logs/unchanged.test.log" |
                python3 -c 'import re, sys; print("|".join(re.escape(l.strip()) for l in sys.stdin if l.strip()))')
            echo "lane $lane: failing on the unchanged tree, left out: $failing" >&2
            skip="$skip|^($failing)\$"
        fi
    fi
    local entry id file backup outcome started
    for entry in "$@"; do
        id=${entry%% *}; file=${entry#* }
        backup=$dir/original
        cp -p "$src/$file" "$backup"
        started=$SECONDS
        echo "$file" >"$dir/applied"
        if ! tool apply "$list" "$src" "$id"; then
            outcome=unmatched
        elif ! cmake --build "$bld" -j3 >"$dir/logs/$id.build.log" 2>&1; then
            outcome=build-failed
        else
            outcome=$(run_tests "$bld" "$dir/logs/$id.test.log" "$skip")
        fi
        # Back to the original text with a fresh time, so the next build recompiles it (ccache
        # hands back the original object).
        cp "$backup" "$src/$file" && touch "$src/$file"
        rm -f "$dir/applied"
        printf '%s\t%s\t%s\t%s\t%ss\n' "$id" "$file" "${outcome%% *}" \
            "$([[ $outcome == caught* ]] && echo "${outcome#caught }")" $((SECONDS - started)) >>"$results"
        printf 'lane %s: %-26s %-12s %s (%ss)\n' "$lane" "$id" "$outcome" "$file" $((SECONDS - started))
    done
    # Leave the lane's build matching its sources for the next run.
    cmake --build "$bld" -j3 >"$dir/logs/build.log" 2>&1 || true
}

# Deal the faults round-robin to the lanes, so each lane gets a mix of layers.
pids=()
for ((l = 0; l < lanes; l++)); do
    mine=()
    for ((i = l; i < ${#chosen[@]}; i += lanes)); do mine+=("${chosen[i]}"); done
    lane_main "$l" "${mine[@]}" &
    pids+=($!)
done
status=0
for p in "${pids[@]}"; do wait "$p" || status=1; done

table=$(
    printf '%-26s %-48s %-12s %s\n' ID FILE OUTCOME "FIRST FAILING TEST"
    for ((l = 0; l < lanes; l++)); do cat "$work/lane$l/results" 2>/dev/null; done |
        sort -t$'\t' -k1,1 | awk -F'\t' '{ printf "%-26s %-48s %-12s %s\n", $1, $2, $3, $4 }'
)
all=$(for ((l = 0; l < lanes; l++)); do cat "$work/lane$l/results" 2>/dev/null; done)
caught=$(grep -c $'\tcaught\t' <<<"$all" || true)
ran=$(grep -cE $'\t(caught|survived)\t' <<<"$all" || true)
other=$(grep -cvE $'\t(caught|survived)\t' <<<"$all" || true)
[[ -z $all ]] && other=0
score="caught $caught of $ran"
survivors=$(awk -F'\t' '$3 == "survived" { print $1 }' <<<"$all" | sort | paste -sd' ')
[[ -n $survivors ]] && score+=$'\n'"survived: $survivors"
((other)) && score+=" ($other did not build or match: not applicable, rewrite them)"
report=$(printf '%s\n\n%s\n' "$table" "$score")
echo "$report"
[[ -n $out ]] && echo "$report" >"$out"
((status == 0 && other == 0))
