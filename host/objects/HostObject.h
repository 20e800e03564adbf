#pragma once
// The base of the stand-in host's own objects: a readable, deterministic object identifier
// (class prefix and a serial counted per prefix) and interface lookup by identifier.

#include <string>

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"
#include "host/objects/ServiceObject.h"

namespace merrowhost {

class HostObject : public CzfServiceObject {
public:
    HostObject();
    ~HostObject() override;

    // The prefix of this class's identifiers, e.g. "track"; other characters than letters,
    // digits, '-' and '_' appear as '_' in the identifier.
    virtual const char* classPrefix() const;

    // The serial of this object among the objects of its prefix, from 1. It is taken when first
    // needed: objects made by CzfObjectFactory take it at creation, others on their first ask.
    unsigned serial() const;
    // Prefix, "_" and the serial with at least four digits: "track_0001".
    std::string objectId() const;
    // The serial alone with at least four digits: "0001".
    std::string objectNumber() const;

    // The interface with the given identifier, or null when the object has none.
    virtual void* queryInterface(const GUID& interfaceId);

    // Answers from queryInterface: *out is the interface, or null with the result false.
    bool zfQueryService(const GUID* interfaceId, void** out, CzfErrorInfo* error) override;

private:
    mutable unsigned serial_ = 0;
};

// The next serial of a prefix, counted from 1.
unsigned nextObjectSerial(const std::string& prefix);

// Starts every prefix's count again at 1 and forgets the serials given to objects that are
// not HostObjects. Objects keep the serials they already have.
void resetObjectSerials();

// The identifier of an object that is not a HostObject: "object_" and a serial given on the
// first ask (at least four digits), or the serial alone without the prefix.
std::string foreignObjectId(const CzfServiceObject* object, bool withClassPrefix);

// Drops the serial of a foreign object that is going away, so that a later object at the same
// address gets a new one.
void forgetForeignObject(const CzfServiceObject* object);

}  // namespace merrowhost
