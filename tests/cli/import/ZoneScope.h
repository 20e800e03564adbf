#pragma once
// Sets TZ for the length of a scope (one test) and puts the earlier value back after.

#include <cstdlib>
#include <ctime>
#include <string>

namespace clitest {

class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        const char* previous = std::getenv("TZ");
        had_ = previous != nullptr;
        if (had_) saved_ = previous;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (had_) {
            setenv("TZ", saved_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

private:
    bool had_ = false;
    std::string saved_;
};

}  // namespace clitest
