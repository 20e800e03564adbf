#pragma once
// A service object that records its own destruction, to see who frees what.

#include "host/objects/ServiceObject.h"

namespace hosttest {

class ProbeObject : public CzfServiceObject {
public:
    explicit ProbeObject(int* destroyed) : destroyed_(destroyed) {}
    ~ProbeObject() override { ++*destroyed_; }

private:
    int* destroyed_;
};

}  // namespace hosttest
