#pragma once
// Which version of the row kernels runs, chosen the same way for every
// family.
//
// A kernel with a vector version (written for AVX2) keeps a plain version
// beside it, compiled for any processor, that gives the very same bytes. The
// vector versions run when the processor has AVX2, unless the environment
// says ORVEX_FORCE_PLAIN=1; that is read once, the first time a kernel asks.
// The plain versions are what older machines run, so the exactness tests run
// once each way.

#if defined(__x86_64__) && defined(__GNUC__)
#define ORVEX_VECTOR_KERNELS 1
// Compiles one function, and what it inlines, for the vector instruction set.
#define ORVEX_VECTOR_TARGET __attribute__((target("avx2")))
#else
#define ORVEX_VECTOR_KERNELS 0
#endif

// True when the vector versions are to run.
bool UseVectorKernels();

// Test hook: true forces the plain versions from now on; false goes back to
// the choice made from the processor and the environment.
void ForcePlainKernels(bool force);
