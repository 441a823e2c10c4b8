// Marks a hot loop function for a second, AVX2 build chosen at run time on
// processors that have it. Only for code whose results do not depend on the
// vector width: the operations and their order stay the same (GCC does not
// fuse multiplies and adds in ISO mode, and AVX2 alone brings no FMA).
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define OMBRIK_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define OMBRIK_VECTOR_CLONES
#endif
