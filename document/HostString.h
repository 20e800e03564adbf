#pragma once
// Owns a new[] string handed out by the host and frees it with delete[].

#include <memory>
#include <string>

namespace Merrow {

class HostString {
public:
    HostString() = default;
    // Where the host writes the string. A string written earlier and not yet taken is freed.
    char** out() {
        adopt();
        value_.reset();
        return &raw_;
    }
    // Takes what the host wrote through out().
    const char* get() {
        adopt();
        return value_.get();
    }
    std::string str() {
        const char* text = get();
        return text ? std::string(text) : std::string();
    }

    HostString(const HostString&) = delete;
    HostString& operator=(const HostString&) = delete;
    ~HostString() { adopt(); }

private:
    void adopt() {
        if (raw_ != nullptr) {
            value_.reset(raw_);
            raw_ = nullptr;
        }
    }
    char* raw_ = nullptr;
    std::unique_ptr<char[]> value_;
};

}  // namespace Merrow
