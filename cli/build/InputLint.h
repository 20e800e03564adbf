#pragma once
// Checks of the reference document for mistakes the component passes over silently: attributes
// of the layout and navigation vocabulary that are misspelt, navigation data that contradicts
// the calendar (month and day indexes, weekdays, month lengths, totals that are not the sums of
// their parts, references that name nothing) and duplicate ids. Each finding is a warning at
// the element's line; none of them changes what the component makes.

#include <string>
#include <vector>

struct _xmlDoc;

namespace merrowcli {

struct ReferenceWarning {
    int line = 0;
    std::string problem;
    bool operator==(const ReferenceWarning&) const = default;
};

// The findings in document order.
std::vector<ReferenceWarning> checkReferenceDocument(_xmlDoc* doc);

}  // namespace merrowcli
