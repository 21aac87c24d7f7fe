#pragma once
// Whole-string conversions of the export unit: plain text through any writer, and plain text to
// escaped HTML.
#include <string>

#include "controls/memo/Exporter.h"

// Writes Text as one document of 10-point lines through the writer, a line break between lines.
void HSExportTo(THSExporter& Exporter, const std::string& Text);
// "<" and ">" escaped, line feeds as "<BR>", carriage returns dropped, runs of blanks kept visible.
std::string HSExportToHTML(const std::string& Text);
// Escapes "<" and ">" except in "<BR>", and shows each run of tabs as one " - " gap.
void HSProcessHTMLSysSymbols(std::string& Text);
