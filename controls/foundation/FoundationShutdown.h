#pragma once
// Program end for the family's process-wide services, in the order they depend on each other:
// option objects are saved (through the registry accessor) before anything else goes.
// Exceptions of saving are reported to the caller after everything was released.
void ShutdownFoundation();
