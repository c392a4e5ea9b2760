#!/usr/bin/env bash
# Builds the reply fuzzer with clang's libFuzzer and runs it for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/fuzz
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fPIC -I. \
    $(pkg-config --cflags Qt6Core libplist-2.0) \
    fuzz/reply_fuzz.cpp platform/foundation/Json.cpp platform/foundation/Values.cpp \
    platform/foundation/PropertyList.cpp app/categories/BFDicUtils.cpp \
    $(pkg-config --libs Qt6Core libplist-2.0) -o "$out/reply_fuzz"
printf '{"result":0,"msg":"ok","list":[{"name":"a"}]}' >"$out/corpus/object.json"
printf '[1,2,{"result":"9999"}]' >"$out/corpus/array.json"
printf '<html>500</html>' >"$out/corpus/html.txt"
"$out/reply_fuzz" -max_total_time="${1:-20}" -max_len=4096 "$out/corpus"
