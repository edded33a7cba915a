#include "windows/freedmemory.h"

#include <malloc.h>

void returnFreedMemory()
{
    malloc_trim(0);
}
