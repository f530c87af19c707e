#!/usr/bin/env bash
# Records tests/export/data/export_frames.txt: the hashes of the frames that exports drew one
# after another (the stage worker's passes), before exports drew frames in parallel. Run once
# from a build of that drawing (commit 0bc8aa2 and before); ExportFramesTest compares every
# later drawing against it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
ZENTRAVO_RECORD_EXPORT_FRAMES="$here/data/export_frames.txt" QT_QPA_PLATFORM=offscreen \
    "$build/bin/zentravo_export_tests" --gtest_filter='ExportFramesTest.*'
wc -l "$here/data/export_frames.txt"
