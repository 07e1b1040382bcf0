#pragma once
// Measuring hooks for start-up and resize costs, switched on by environment variables (all off
// by default; bench/bench_startup.cpp drives them):
//   ZK_PROBE_START_NS      CLOCK_MONOTONIC nanoseconds at which the measuring parent started us
//   ZK_PROBE_FIRST_PAINT   when set, print "first-paint-ms <t>" and "peak-rss-kb <k>" once the
//                          window's first frame is painted (t counted from ZK_PROBE_START_NS, k the
//                          peak resident memory so far) and quit
//   ZK_PROBE_RESIZES=<n>   after the first frame, resize the window to n different sizes, each
//                          painted at once, print "rss-kb <before> <after>" and quit

class QWidget;

// Call once the window is shown; does nothing unless one of the variables is set.
void InstallStartupProbe(QWidget *window);
