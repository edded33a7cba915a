#pragma once

// Gives the system back the whole pages that the memory allocator holds free, where the
// allocator can do so; elsewhere it does nothing.
void returnFreedMemory();
