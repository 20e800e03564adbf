#pragma once
// The service object that writes a presentation document held by the host to an XML file. It
// carries the interface SzfOperateBDJPresentationDom.

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"
#include "host/objects/ServiceObject.h"
#include "merrowkit/Services.h"

class CzfBDJPresentationDomOperator : public CzfServiceObject, public SzfOperateBDJPresentationDom {
public:
    // Creator function of the component class table: a new object in *out.
    static bool CreateInstance(CzfServiceObject** out, CzfErrorInfo* error);

    CzfBDJPresentationDomOperator() = default;
    ~CzfBDJPresentationDomOperator() override = default;

    bool zfQueryService(const GUID* interfaceId, void** out, CzfErrorInfo* error) override;
    bool zfIsKindOf(const GUID* categoryId, int kind, bool* out, CzfErrorInfo* error) override;
    bool zfGetClassID(GUID* out, CzfErrorInfo* error) override;

    bool zfSavePresentationDom(unsigned domId, const char* path, CzfErrorInfo* error) override;
    bool zfUnsupportedOperation(void* first, void* second) override;
};
