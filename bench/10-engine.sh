# Engine pacing and render-thread CPU, waiting loop against busy polling.
exec wine "$VERIVIR_WIN_BUILD/bench/engine_bench.exe" 10000
