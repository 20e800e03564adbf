#pragma once
// title.xml: a small, stable description of the title object the component returned, for
// people and tests to read. Format 1 (documented in README.md, "title.xml"):
//
//   <title format="1" result="true|false" discFormat="N" [object="ID" guid="{...}"]>
//     [<settings applied="true|false" [discFormat="N"]/>]
//     [<clips object="ID">
//        <clip position="P" object="ID" class="clip1|clip2" mediaKind="1|2" [owner="ID"]>
//          <value slot="S" value="V"/>...
//          [<holder object="ID" [time="T"]>
//             <placement [first="A" second="B"] [option="O"]>
//               [<media object="ID" kind="PREFIX" [file="tracks/ID.png" width="W" height="H"]/>]
//             </placement>
//           </holder>]
//        </clip>...
//      </clips>]
//     [<presentation object="ID" [document="AppPresentation.xml"] tracks="N"/>]
//     [<error [category="{...}"] code="N" severity="N" [source="{...}"] method="N" location="N"/>]
//   </title>
//
// Attributes always come in this order; the same title gives the same bytes.

#include <cstdint>
#include <string>

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"

class CzfServiceObject;

namespace merrowcli {

class TitleDescription {
public:
    static constexpr int kFormat = 1;

    // result: what the service returned; discFormat: the project's disc format; title: the
    // returned object (may be null); error: the request's record, described when result is
    // false; documentFile: the file the presentation's document was written to (empty when
    // none was written).
    TitleDescription(bool result, int32_t discFormat, CzfServiceObject* title,
                     const CzfErrorInfo& error, std::string documentFile);

    // The whole title.xml text.
    std::string text() const;

    // The file a track is written to, relative to the output folder: "tracks/ID.png".
    static std::string trackFile(CzfServiceObject* track);
    // The host's object identifier text (zfGetObjectIDString with the class prefix).
    static std::string objectId(CzfServiceObject* object);
    // The host's text form of a 128-bit identifier (zfConvertToString2).
    static std::string guidText(const GUID& id);

private:
    bool result_;
    int32_t discFormat_;
    CzfServiceObject* title_;
    const CzfErrorInfo& error_;
    std::string documentFile_;
};

}  // namespace merrowcli
