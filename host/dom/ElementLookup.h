#pragma once
// Finding elements of a registry document by their "id" attribute, for the glue operations that
// name an element by identifier.

#include <string>

struct _xmlDoc;
struct _xmlNode;

namespace merrowhost {

// The first element in document order whose "id" attribute (without namespace) equals id
// exactly; null when there is none or id is null.
_xmlNode* findElementById(_xmlDoc* doc, const char* id);

// The value of the element's attribute without namespace; false when it has none.
bool elementAttribute(_xmlNode* element, const char* name, std::string* value);

}  // namespace merrowhost
