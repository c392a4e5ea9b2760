#!/usr/bin/env bash
# Builds the fuzzers (reply reading, the settings reader) with clang's libFuzzer and runs each
# for a short while (seconds per fuzzer as the first argument, default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/fuzz
seconds=${1:-20}
mkdir -p "$out/corpus" "$out/plist-corpus"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fPIC -I.)
clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core libplist-2.0) \
    fuzz/reply_fuzz.cpp platform/foundation/Json.cpp platform/foundation/Values.cpp \
    platform/foundation/PropertyList.cpp app/categories/BFDicUtils.cpp \
    $(pkg-config --libs Qt6Core libplist-2.0) -o "$out/reply_fuzz"
clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core libplist-2.0) \
    fuzz/plist_fuzz.cpp platform/foundation/PropertyList.cpp \
    $(pkg-config --libs Qt6Core libplist-2.0) -o "$out/plist_fuzz"
printf '{"result":0,"msg":"ok","list":[{"name":"a"}]}' >"$out/corpus/object.json"
printf '[1,2,{"result":"9999"}]' >"$out/corpus/array.json"
printf '<html>500</html>' >"$out/corpus/html.txt"
cat >"$out/plist-corpus/defaults.plist" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>username</key><string>13800000001</string>
<key>is_auto_login</key><true/><key>count</key><integer>3</integer><key>r</key><real>2.5</real>
<key>d</key><data>AAEC</data><key>l</key><array><string>a</string><dict/></array></dict></plist>
PLIST
printf '<plist><array><array><array></array></array></array></plist>' >"$out/plist-corpus/nested.plist"
"$out/reply_fuzz" -max_total_time="$seconds" -max_len=4096 "$out/corpus"
"$out/plist_fuzz" -max_total_time="$seconds" -max_len=8192 "$out/plist-corpus"
