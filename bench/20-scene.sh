# The Verivir scene: start-up with and without the text, frame cost with and
# without display lists, with one and two monitor viewports, peak working set.
exec wine "$VERIVIR_WIN_BUILD/bench/scene_bench.exe" 150
