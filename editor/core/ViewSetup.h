#pragma once
// The program's standard settings for the text models of its documents.

#include <cstdint>

class TCustomMemoSource;

// Tab stops from the settings and the editing options every document model has. -1 for null.
int32_t InitMemoSource(TCustomMemoSource* source, int32_t ignored);
