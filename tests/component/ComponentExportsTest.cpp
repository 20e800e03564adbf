// What the built component libraries show to the host: the factory under its plain name and the
// classes an embedder may use directly, and nothing of the internal builders or helpers.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/objects/ServiceObject.h"
#include "merrowkit/Services.h"

namespace {

const std::set<std::string> kExportedClasses = {
    "CBDJCalendarApplicationCreator",
    "CreatorSetToolBox",
    "ImageTrackCreator",
    "Merrow::XmlElementOperator",
    "Merrow::ImageTrackCreatorManager",
    "Merrow::BufferImageTrackCreatorManager",
    "Merrow::SampleFileImageTrackCreatorManager",
    "Merrow::BuildableElement",
    "Merrow::ElementBuilder",
    "Merrow::SizeableElementBuilder",
    "Merrow::ButtonElementBuilder",
    "Merrow::DecorationElementBuilder",
    "Merrow::CalendarCommandElementBuilder",
    "Merrow::ChapterMenuGroupElementBuilder",
    "Merrow::SceneGroupElementBuilder",
};

const char* const kFactory = "gzf_CreateComponent";

std::string libraryPath(const std::string& name) {
    return std::string(MERROWKIT_BIN_DIR) + "/lib" + name + ".so";
}

// The demangled names of the library's defined dynamic symbols, as nm lists them.
std::vector<std::string> exportedSymbols(const std::string& library) {
    std::vector<std::string> symbols;
    const std::string command = "nm -DC --defined-only '" + library + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return symbols;
    std::string line;
    char chunk[512];
    while (fgets(chunk, sizeof chunk, pipe) != nullptr) {
        line += chunk;
        if (line.empty() || line.back() != '\n') continue;
        line.pop_back();
        // "ADDRESS TYPE NAME"
        const size_t first = line.find(' ');
        const size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
        if (second != std::string::npos) symbols.push_back(line.substr(second + 1));
        line.clear();
    }
    pclose(pipe);
    return symbols;
}

std::string withoutTemplateArguments(const std::string& text) {
    std::string result;
    int depth = 0;
    for (char c : text) {
        if (c == '<') ++depth;
        if (depth == 0) result += c;
        if (c == '>' && depth > 0) --depth;
    }
    return result;
}

// The class (or free function) a symbol belongs to: "Merrow::ElementBuilder" for its members,
// vtable and typeinfo; the function's own name for a free function.
std::string ownerOf(std::string symbol) {
    bool wholeName = false;
    for (const char* prefix : {"typeinfo name for ", "typeinfo for ", "vtable for ", "VTT for ",
                               "construction vtable for ", "guard variable for "}) {
        if (symbol.rfind(prefix, 0) == 0) {
            symbol = symbol.substr(std::string(prefix).size());
            wholeName = std::string(prefix).find("guard") == std::string::npos;
            break;
        }
    }
    for (const char* prefix : {"non-virtual thunk to ", "virtual thunk to "}) {
        if (symbol.rfind(prefix, 0) == 0) symbol = symbol.substr(std::string(prefix).size());
    }
    symbol = withoutTemplateArguments(symbol.substr(0, symbol.find('(')));
    for (size_t tag; (tag = symbol.find("[abi:")) != std::string::npos;) {
        symbol.erase(tag, symbol.find(']', tag) + 1 - tag);
    }
    // A function template's demangled name starts with its return type.
    const size_t space = symbol.rfind(' ');
    if (space != std::string::npos) symbol = symbol.substr(space + 1);
    if (wholeName) return symbol;
    const size_t scope = symbol.rfind("::");
    return scope == std::string::npos ? symbol : symbol.substr(0, scope);
}

class ComponentExports : public ::testing::TestWithParam<std::string> {};

TEST_P(ComponentExports, OnlyTheFactoryAndThePublicClassesAreVisible) {
    const std::vector<std::string> symbols = exportedSymbols(libraryPath(GetParam()));
    ASSERT_FALSE(symbols.empty()) << "nm listed nothing for " << libraryPath(GetParam());

    std::map<std::string, int> perOwner;
    std::string strays;
    for (const std::string& symbol : symbols) {
        // The loader's own section markers.
        if (symbol == "_init" || symbol == "_fini") continue;
        // The address sanitizer's marker beside each exported global variable.
        if (symbol.rfind("__odr_asan.", 0) == 0) continue;
        const std::string owner = ownerOf(symbol);
        ++perOwner[owner];
        if (owner != kFactory && kExportedClasses.count(owner) == 0) strays += "\n  " + symbol;
    }
    EXPECT_EQ(strays, "") << "exported beyond the public classes";

    EXPECT_EQ(perOwner[kFactory], 1);
    for (const std::string& name : kExportedClasses) {
        EXPECT_GT(perOwner[name], 0) << name << " is not exported";
    }
    for (const char* internal :
         {"Merrow::FocusItemElementBuilder", "Merrow::TriggerElementBuilder",
          "Merrow::UseElementBuilder", "CzfBDJAdvancedTitleCreator",
          "CzfBDJPresentationDomOperator", "Merrow::ErrorReport", "Merrow::NodeList"}) {
        EXPECT_EQ(perOwner.count(internal), 0u) << internal << " is exported";
    }
}

TEST_P(ComponentExports, HostFindsTheFactoryByItsPlainName) {
    void* library = dlopen(libraryPath(GetParam()).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto factory = reinterpret_cast<gzf_CreateComponentFunction>(dlsym(library, kFactory));
    ASSERT_NE(factory, nullptr);

    CzfServiceObject* object = nullptr;
    EXPECT_TRUE(factory(&merrowkit::kClsidPresentationDomOperator, &object, nullptr));
    ASSERT_NE(object, nullptr);
    void* service = nullptr;
    EXPECT_TRUE(
        object->zfQueryService(&merrowkit::kIidOperateBDJPresentationDom, &service, nullptr));
    EXPECT_NE(service, nullptr);
    CzfObjectFactory::zfFreeObject(object);
    dlclose(library);
}

INSTANTIATE_TEST_SUITE_P(BothVariants, ComponentExports,
                         ::testing::Values("merrowkit", "merrowkit-older"),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             return param.param == "merrowkit" ? std::string("Current")
                                                               : std::string("Older");
                         });

}  // namespace
