#pragma once

// The per-block hot loops are built for wider vector units too on 64-bit Linux with GCC, and
// the loader picks the variant the processor runs; elsewhere they stay within SSE2. The
// analysis sources are compiled with contraction off, so every variant rounds as the
// portable build. Sanitizer runtimes are not ready when the loader resolves the variants, so
// sanitized builds keep the portable loops only.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__) && \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
#define MELVORA_PROCESSOR_VARIANTS 1
#define MELVORA_AVX2_VARIANTS __attribute__((target_clones("avx2", "default")))
#define MELVORA_AVX512_VARIANTS __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define MELVORA_AVX2_VARIANTS
#define MELVORA_AVX512_VARIANTS
#endif
