#pragma once
// The window layer's side of THSPropStore: the close-query hook and the form placement.

// Fills in PropStoreFormServices; programs with forms call it once at start-up.
void InstallPropStoreForms();
