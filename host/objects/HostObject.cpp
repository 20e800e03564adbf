// Object identifiers of the stand-in host: serials counted per class prefix.

#include "host/objects/HostObject.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>

namespace merrowhost {

namespace {

constexpr const char* kForeignPrefix = "object";

struct SerialState {
    std::mutex mutex;
    std::map<std::string, unsigned> counters;
    std::map<const CzfServiceObject*, unsigned> foreign;
};

// Kept for the whole process: objects destroyed during exit still unregister here.
SerialState& serialState() {
    static SerialState* state = new SerialState;
    return *state;
}

unsigned nextSerialLocked(SerialState& state, const std::string& prefix) {
    return ++state.counters[prefix];
}

std::string fourDigits(unsigned serial) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u", serial);
    return text;
}

}  // namespace

HostObject::HostObject() = default;
HostObject::~HostObject() = default;

const char* HostObject::classPrefix() const {
    return kForeignPrefix;
}

unsigned HostObject::serial() const {
    SerialState& state = serialState();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (serial_ == 0) {
        const char* prefix = classPrefix();
        serial_ = nextSerialLocked(state, prefix != nullptr ? prefix : "");
    }
    return serial_;
}

std::string HostObject::objectId() const {
    // The identifier doubles as a file name: anything but letters, digits, '-' and '_' in a
    // prefix becomes '_'.
    std::string prefix = classPrefix() != nullptr ? classPrefix() : "";
    for (char& c : prefix) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
    }
    return prefix + "_" + objectNumber();
}

std::string HostObject::objectNumber() const {
    return fourDigits(serial());
}

void* HostObject::queryInterface(const GUID&) {
    return nullptr;
}

bool HostObject::zfQueryService(const GUID* interfaceId, void** out, CzfErrorInfo* error) {
    if (out == nullptr) return false;
    *out = interfaceId != nullptr ? queryInterface(*interfaceId) : nullptr;
    if (*out != nullptr) return true;
    return CzfServiceObject::zfQueryService(interfaceId, out, error);
}

unsigned nextObjectSerial(const std::string& prefix) {
    SerialState& state = serialState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return nextSerialLocked(state, prefix);
}

void resetObjectSerials() {
    SerialState& state = serialState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.counters.clear();
    state.foreign.clear();
}

std::string foreignObjectId(const CzfServiceObject* object, bool withClassPrefix) {
    SerialState& state = serialState();
    unsigned serial = 0;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        auto found = state.foreign.find(object);
        if (found == state.foreign.end()) {
            found = state.foreign.emplace(object, nextSerialLocked(state, kForeignPrefix)).first;
        }
        serial = found->second;
    }
    const std::string number = fourDigits(serial);
    return withClassPrefix ? std::string(kForeignPrefix) + "_" + number : number;
}

void forgetForeignObject(const CzfServiceObject* object) {
    SerialState& state = serialState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.foreign.erase(object);
}

}  // namespace merrowhost
