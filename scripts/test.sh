#!/usr/bin/env bash
# Installs what is missing, checks the formatting of changed files, builds, and runs every
# test through CTest on the offscreen platform; then builds again with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan, leak detection on) and runs every test there.
# Warnings are errors when CI is set. ORVANE_SANITIZERS=0 skips the sanitizer pass.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/check-format.sh

werror=OFF
if [ -n "${CI:-}" ]; then
    werror=ON
fi
export QT_QPA_PLATFORM=offscreen
export QTEST_DISABLE_STACK_DUMP=1

BUILD_DIR=${BUILD_DIR:-build} ./scripts/build.sh -DORVANE_WERROR="$werror" -DORVANE_SANITIZE=OFF
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure --timeout 300 -j "$(nproc)"

if [ "${ORVANE_SANITIZERS:-1}" != 0 ]; then
    BUILD_DIR=build-asan BUILD_TYPE=Sanitize ./scripts/build.sh -DORVANE_WERROR="$werror" -DORVANE_SANITIZE=ON
    suppressions="$(pwd)/tests/sanitizers"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=0 \
    LSAN_OPTIONS=suppressions="$suppressions/lsan.supp":print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ORVANE_HOSTILE_P99_MS=400 ORVANE_HOSTILE_RSS_MB=1024 \
        ctest --test-dir build-asan --output-on-failure --timeout 600 -j "$(nproc)"
fi
