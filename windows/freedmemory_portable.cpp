#include "windows/freedmemory.h"

// Other allocators give back free memory of their own accord, or have no call for it.
void returnFreedMemory() { }
