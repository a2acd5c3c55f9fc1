#pragma once

// Whether the processor this runs on has AVX2: the vector paths of the fingerprint and of the
// server's comparisons are chosen by it at run time (the build itself targets plain x86-64).
bool fpHasAvx2();
