#pragma once

// Hands memory that the program has freed back to the system, so that after
// a big library is replaced by a small one the process shrinks again.
void ReturnFreedMemoryToTheSystem();
