#pragma once
// A bound on what a document's internal entities expand to. The documents are parsed without
// substituting entities, so an entity reference stays in the tree and is expanded each time its
// text is read: a small document with one large entity used many times would make every reader
// of it slow and large. A document whose entity references expand to more than a small total is
// refused after parsing, in every reader.

#include <cstddef>

struct _xmlDoc;

namespace merrowhost {

// The most bytes that all entity references of one document may expand to together.
inline constexpr size_t kEntityExpansionLimit = size_t{1} << 20;

// The problem, as the readers report it.
inline constexpr const char* kEntityExpansionProblem =
    "its internal entities expand to more than 1 MiB; refused";

// True when the entity references of doc (in element content and attribute values) expand to
// at most limit bytes in all. Otherwise false with *line the line of the reference that passes
// the limit (0 when unknown).
bool entityExpansionWithin(const _xmlDoc* doc, size_t limit, int* line);

}  // namespace merrowhost
