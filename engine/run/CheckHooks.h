#pragma once
// The checks the document walk hands pieces to. Tag, attribute, closing-tag and entity checks
// are filled in separately; until then they accept everything.

#include <cstdint>
#include <string>

namespace zel::run {

class ValidateArgsClass;
class LineSink;

// The current tag (args.piece, name first). 1 checked, 0 on an internal failure.
int validateTagHook(ValidateArgsClass& args);
// The current closing tag (args.piece, beginning with "/"). 1 checked, 0 on an internal failure.
int validateCloseTagHook(ValidateArgsClass& args);
// An entity in text starting at the '&' at line[pos] (line number 1-based); returns the position
// at which the text scan goes on.
size_t checkEntityHook(ValidateArgsClass& args, const std::string& line, size_t pos, int32_t lineNumber);
// The structure listing into the sink with the listing flags (1 entities, 2 compact, 4 second
// store, 8 line numbers).
void writeStructureListingHook(ValidateArgsClass& args, LineSink& sink, int32_t flags);
// Number of configuration programs the run has run.
int32_t programsRunHook(const ValidateArgsClass& args);

} // namespace zel::run
