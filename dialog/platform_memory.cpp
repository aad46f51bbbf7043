// The one platform-specific place of the dialog. glibc keeps freed blocks of
// up to tens of megabytes in its heap for reuse; trimming gives them back.
// Elsewhere the C library decides alone.
#include "dialog/platform_memory.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReturnFreedMemoryToTheSystem() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
