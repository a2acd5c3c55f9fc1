# orvane_strict: one interface target that carries the strict Qt defines and the warnings,
# linked by every library and program of src/ and server/. The tests, benchmarks and tools
# link orvane_warnings: the same but for QT_NO_CAST_FROM_ASCII (tests spell their texts as
# plain literals).
#   ORVANE_WERROR    warnings are errors (CI)
#   ORVANE_SANITIZE  builds with AddressSanitizer and UndefinedBehaviorSanitizer
option(ORVANE_WERROR "Treat warnings as errors" OFF)
option(ORVANE_SANITIZE "Build with -fsanitize=address,undefined" OFF)

add_library(orvane_warnings INTERFACE)
target_compile_options(orvane_warnings INTERFACE
    -Wall -Wextra -Wno-unused-parameter -Wnon-virtual-dtor -Woverloaded-virtual
    $<$<BOOL:${ORVANE_WERROR}>:-Werror>)
# The same everywhere, so that inline code means the same in every translation unit.
target_compile_definitions(orvane_warnings INTERFACE
    QT_NO_KEYWORDS QT_NO_CAST_FROM_BYTEARRAY QT_USE_QSTRINGBUILDER QT_STRICT_ITERATORS)

add_library(orvane_strict INTERFACE)
target_link_libraries(orvane_strict INTERFACE orvane_warnings)
target_compile_definitions(orvane_strict INTERFACE QT_NO_CAST_FROM_ASCII)

if(ORVANE_SANITIZE)
    # For every target: the sanitizers must see the whole program. Light optimisation and
    # line tables only keep the build quick on two cores and the reports readable.
    # GCC's flow analysis is misled by the instrumentation (std::optional reads as "maybe
    # uninitialized"): that warning is left to the ordinary build.
    add_compile_options(-O1 -g1 -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined -Wno-maybe-uninitialized)
    add_link_options(-fsanitize=address,undefined)
endif()
