#!/usr/bin/env bash
# Builds the fuzzers (reply reading, the counts and amounts read from replies, the settings
# reader, the sandbox's request framing) with clang's libFuzzer and runs each for a while
# (seconds per fuzzer as the first argument, default 60). The settings reader is given inputs
# of up to 4 MB from the start (deep nesting).
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/fuzz
seconds=${1:-60}
mkdir -p "$out/corpus" "$out/quantity-corpus" "$out/plist-corpus" "$out/framing-corpus"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fPIC -I.)
clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core libplist-2.0) \
    fuzz/reply_fuzz.cpp platform/foundation/Json.cpp platform/foundation/Values.cpp \
    platform/foundation/PropertyList.cpp platform/foundation/RegularFile.cpp \
    platform/foundation/Directories.cpp app/categories/BFDicUtils.cpp \
    $(pkg-config --libs Qt6Core libplist-2.0) -o "$out/reply_fuzz"
clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core) \
    fuzz/quantity_fuzz.cpp platform/foundation/Json.cpp platform/foundation/Values.cpp \
    $(pkg-config --libs Qt6Core) -o "$out/quantity_fuzz"
clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core libplist-2.0) \
    fuzz/plist_fuzz.cpp platform/foundation/PropertyList.cpp platform/foundation/RegularFile.cpp \
    platform/foundation/Directories.cpp \
    $(pkg-config --libs Qt6Core libplist-2.0) -o "$out/plist_fuzz"
clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core) \
    fuzz/framing_fuzz.cpp sandbox/RequestFraming.cpp \
    $(pkg-config --libs Qt6Core) -o "$out/framing_fuzz"
printf '{"result":0,"msg":"ok","list":[{"name":"a"}]}' >"$out/corpus/object.json"
printf '[1,2,{"result":"9999"}]' >"$out/corpus/array.json"
printf '<html>500</html>' >"$out/corpus/html.txt"
printf '{"list":[{"amount":-1,"total":9223372036854775807},{"amount":1.5e308,"total":"-1e308"}]}' \
    >"$out/quantity-corpus/overflow.json"
printf '{"percentage":33.3,"fee":9.9,"totalCost":"12.3abc","average":[1],"x":{"y":0.1}}' \
    >"$out/quantity-corpus/fractions.json"
cat >"$out/plist-corpus/defaults.plist" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>username</key><string>13800000001</string>
<key>is_auto_login</key><true/><key>count</key><integer>3</integer><key>r</key><real>2.5</real>
<key>d</key><data>AAEC</data><key>l</key><array><string>a</string><dict/></array></dict></plist>
PLIST
printf '<plist><array><array><array></array></array></array></plist>' >"$out/plist-corpus/nested.plist"
printf '\x05POST /pelvo/Login.do HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nnum=1' \
    >"$out/framing-corpus/length.txt"
printf '\x03\r\nPOST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n3;a=b\r\nnum\r\n0\r\nT: 1\r\n\r\nGET' \
    >"$out/framing-corpus/chunked.txt"
"$out/reply_fuzz" -max_total_time="$seconds" -max_len=4096 "$out/corpus"
"$out/quantity_fuzz" -max_total_time="$seconds" -max_len=4096 "$out/quantity-corpus"
"$out/plist_fuzz" -max_total_time="$seconds" -max_len=4194304 -len_control=0 "$out/plist-corpus"
"$out/framing_fuzz" -max_total_time="$seconds" -max_len=65536 "$out/framing-corpus"
