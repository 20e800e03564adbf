#pragma once
// The host's title source: the project's titles in order, walked through the title collection
// interface with a position cookie. Constructed directly by the host program and the tests;
// withoutInterface(kIidTitleCollection) makes a source without titles to offer.

#include <cstdint>
#include <memory>
#include <vector>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/Guid.h"
#include "host/objects/HostInterfaces.h"
#include "host/title/TitleItemObject.h"

namespace merrowhost {

class TitleSourceObject : public ConfigurableHostObject, public SzfTitleCollection {
public:
    struct Title {
        bool isUserTitle;
        GUID id;
    };

    TitleSourceObject();
    explicit TitleSourceObject(const std::vector<Title>& titles);
    ~TitleSourceObject() override;

    const char* classPrefix() const override { return "titlesource"; }

    // The first item, null when there is none; *cookie then holds the position of the next.
    // Null without a cookie.
    CzfServiceObject* zfGetFirstTitle(uint32_t* cookie, CzfErrorInfo* error) override;
    // The item at the cookie's position, moving the cookie on; null past the last item.
    CzfServiceObject* zfGetNextTitle(uint32_t* cookie, CzfErrorInfo* error) override;

    void addTitle(bool isUserTitle, const GUID& id);
    std::size_t size() const { return items_.size(); }
    TitleItemObject* item(std::size_t position) const;

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    std::vector<std::unique_ptr<TitleItemObject>> items_;
};

}  // namespace merrowhost
