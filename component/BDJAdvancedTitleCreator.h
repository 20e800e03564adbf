#pragma once
// The service object that creates the advanced title of a calendar BD-J menu. It carries the
// interface SzfCreateBDJAdvancedTitle_Method; its one operation lives in AdvancedTitleRequest.cpp.

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"
#include "host/objects/ServiceObject.h"
#include "merrowkit/Services.h"

class CzfBDJAdvancedTitleCreator : public CzfServiceObject,
                                   public SzfCreateBDJAdvancedTitle_Method {
public:
    // Creator function of the component class table: a new object in *out.
    static bool CreateInstance(CzfServiceObject** out, CzfErrorInfo* error);

    CzfBDJAdvancedTitleCreator() = default;
    ~CzfBDJAdvancedTitleCreator() override = default;

    bool zfQueryService(const GUID* interfaceId, void** out, CzfErrorInfo* error) override;
    bool zfIsKindOf(const GUID* categoryId, int kind, bool* out, CzfErrorInfo* error) override;
    bool zfGetClassID(GUID* out, CzfErrorInfo* error) override;

    bool zfCreateBDJAdvancedTitle(CzfServiceObject** out, CzfServiceObject* source,
                                  CzfServiceObject* titleSource, CzfErrorInfo* error) override;
};
