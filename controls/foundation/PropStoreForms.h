#pragma once
// The window layer's side of THSPropStore: the hooks on the end of its form or data module, and
// the form placement.

// Fills in PropStoreFormServices; programs with forms call it once at start-up.
void InstallPropStoreForms();
