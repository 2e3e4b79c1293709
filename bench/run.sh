#!/usr/bin/env bash
# Builds the benchmarks optimised and without sanitizers (build/bench) and runs each once.
# They print figures and ratios from that one run; none of them passes or fails on a time.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/scripts/install-deps.sh
tools/scripts/configure.sh bench
cmake --build build/bench -j"$(nproc)" >/dev/null
echo "=== tevtool on the largest files (native) ==="
bench/tevtool-huge.sh build/bench/tools/tevtool/tevtool build/bench/bench/make_huge_flights
for b in build/bench/bench/*_bench; do
  echo "=== $(basename "$b") ==="
  "$b"
done
echo "=== tevtool download (native) ==="
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) (2 cores; other people's builds count)"
bench/tevtool-download.sh "tevtool download (native)" $((30000 + ($$ % 100) * 10 + 7)) build/bench/tools/tevtool/tevtool \
  build/bench/tools/altimeter-sim/altimeter-sim

# The Windows benchmarks run under Wine on an Xvfb display.
tools/scripts/configure.sh mingw
cmake --build build/mingw -j"$(nproc)" --target plot_bench resize_bench capture_download_bench dialog_endurance_bench \
  tevtool TevUsb hid-bridge tevhid_driver hid_roundtrip_bench altimeter-sim >/dev/null
source tools/scripts/wine-env.sh --xvfb
trap tev_stop_xvfb EXIT
tev_new_wine_prefix
echo "=== plot_bench (Wine) ==="
wine build/mingw/bench/plot_bench.exe
echo "=== resize_bench (Wine) ==="
wine build/mingw/bench/resize_bench.exe
wineserver -w
echo "=== resize_bench (Wine, 192 DPI) ==="
bash tests/support/wine-test.sh --dpi 192 wine build/mingw/bench/resize_bench.exe
echo "=== capture download (Wine): the whole download in the program, Live Update off and on ==="
tev_stop_xvfb
bench/capture-download.sh build/mingw
echo "=== through the HID stack (Wine): the release programs' downloads and the report round trip ==="
bench/hid-download.sh build/mingw
echo "=== dialog endurance (Wine): private bytes, GDI and USER objects over 200 cycles of the five dialogs ==="
bench/demo-bench.sh dialog_endurance_bench build/mingw
